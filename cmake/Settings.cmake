# Shared build settings: warnings for our own code, and the program's narrow
# strings compiled to code page 936 from UTF-8 sources.

# Warnings are errors where we build (the presets turn this on, and so CI),
# never in a packager's plain build, whose compiler may warn of new things.
option(BYTESCRIBE_WERROR "Treat compiler warnings in the project's own code as errors" OFF)
set(BYTESCRIBE_WARNINGS -Wall -Wextra)
if(BYTESCRIBE_WERROR)
  list(APPEND BYTESCRIBE_WARNINGS -Werror)
endif()

# Application code (engine/, loader/, run/, ui/): the platform's ANSI strings.
function(bytescribe_app_target target)
  target_compile_options(${target} PRIVATE ${BYTESCRIBE_WARNINGS}
    -finput-charset=UTF-8 -fexec-charset=CP936)
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  if(NOT WIN32)
    target_link_libraries(${target} PUBLIC w32core)
  endif()
endfunction()

# Our other code (the stand-in, tests, tools): UTF-8 throughout.
function(bytescribe_own_target target)
  target_compile_options(${target} PRIVATE ${BYTESCRIBE_WARNINGS})
endfunction()

# The programs a person runs stand at the top of the build folder
# (build/linux/bytescribe, build/windows-i686/bytescribe.exe), beside nothing
# else that is run by hand.
function(bytescribe_program target)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
endfunction()
