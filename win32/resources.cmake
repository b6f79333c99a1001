# resources.cmake: links a compiled resource script into a Linux target, where
# the stand-in's resource reader (user/resources.h) finds it, as the platform
# finds a program's resource section.
#
#   w32_embed_resources(<target> <rcfile>)
#
# windres (the same compiler as for the Windows target) makes a .res file;
# this file, run as a script (cmake -DRES=... -DOUT=... -P resources.cmake),
# then turns it into a C++ source defining w32_resource_data and
# w32_resource_size, which is added to the target.

if(CMAKE_SCRIPT_MODE_FILE)
  file(READ "${RES}" hex HEX)
  string(LENGTH "${hex}" digits)
  math(EXPR size "${digits} / 2")
  if(size EQUAL 0)
    set(bytes "0")  # an array needs one element; the size stays 0
  else()
    string(REGEX REPLACE "(..)" "0x\\1," bytes "${hex}")
    string(REPEAT "0x..," 16 line)  # CMake's regular expressions have no {n}
    string(REGEX REPLACE "(${line})" "\\1\n  " bytes "${bytes}")
  endif()
  get_filename_component(res_name "${RES}" NAME)
  file(WRITE "${OUT}"
    "// Generated from ${res_name} by win32/resources.cmake; do not edit.\n"
    "extern \"C\" const unsigned char w32_resource_data[] = {\n  ${bytes}\n};\n"
    "extern \"C\" const unsigned long w32_resource_size = ${size};\n")
  return()
endif()

find_program(W32_WINDRES NAMES i686-w64-mingw32-windres)
if(NOT W32_WINDRES)
  message(FATAL_ERROR
    "i686-w64-mingw32-windres not found. The Linux build compiles the resource "
    "script with it too: install binutils-mingw-w64-i686 (tools/dev does).")
endif()

function(w32_embed_resources target rcfile)
  get_filename_component(rc "${rcfile}" ABSOLUTE)
  get_filename_component(rcdir "${rc}" DIRECTORY)
  set(base "${CMAKE_CURRENT_BINARY_DIR}/${target}_resources")

  # Headers reach the depfile through the preprocessor; files that resource
  # statements name (the icon) do not, so take them from the script, and read
  # it again when it changes.
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${rc}")
  file(STRINGS "${rc}" statements
    REGEX "^[ \t]*[A-Za-z0-9_]+[ \t]+(ICON|CURSOR|BITMAP|RCDATA|HTML)[ \t]+\"[^\"]+\"")
  set(named_files "")
  foreach(statement IN LISTS statements)
    string(REGEX REPLACE ".*\"([^\"]+)\".*" "\\1" name "${statement}")
    list(APPEND named_files "${rcdir}/${name}")
  endforeach()

  # The host C compiler preprocesses: windres's default is the MinGW one, which
  # the Linux build does not need.
  add_custom_command(
    OUTPUT "${base}.res"
    COMMAND "${W32_WINDRES}" --codepage=65001 -O res
      "--preprocessor=${CMAKE_C_COMPILER}"
      --preprocessor-arg=-E --preprocessor-arg=-xc --preprocessor-arg=-DRC_INVOKED
      --preprocessor-arg=-MD "--preprocessor-arg=-MF${base}.d"
      "--preprocessor-arg=-MT${base}.res"
      -I "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/include" -I "${rcdir}"
      -i "${rc}" -o "${base}.res"
    DEPENDS "${rc}" ${named_files}
    DEPFILE "${base}.d"
    WORKING_DIRECTORY "${rcdir}"
    COMMENT "Compiling resources ${rcfile} for ${target}"
    VERBATIM)
  add_custom_command(
    OUTPUT "${base}.cpp"
    COMMAND "${CMAKE_COMMAND}" "-DRES=${base}.res" "-DOUT=${base}.cpp"
      -P "${CMAKE_CURRENT_FUNCTION_LIST_FILE}"
    DEPENDS "${base}.res" "${CMAKE_CURRENT_FUNCTION_LIST_FILE}"
    VERBATIM)
  target_sources(${target} PRIVATE "${base}.cpp")
endfunction()
