# ControlNames.cmake: the drivers' table of control names, made from the
# "#define IDC_" lines of ui/resource.h so that no name is written twice.
#   bytescribe_control_names(OUTPUT) writes OUTPUT, a C++ fragment of
#   {"IDC_NAME", id}, lines for an array of w32::ControlName.
function(bytescribe_control_names output)
  set(header ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../ui/resource.h)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${header})
  file(STRINGS ${header} definitions REGEX "^#define[ \t]+IDC_[A-Z0-9_]+[ \t]+[0-9]+")
  set(names "")
  foreach(definition IN LISTS definitions)
    string(REGEX MATCH "IDC_[A-Z0-9_]+" name "${definition}")
    string(REGEX MATCH "[0-9]+$" id "${definition}")
    string(APPEND names "    {\"${name}\", ${id}},\n")
  endforeach()
  file(WRITE ${output}.new "// Generated from ui/resource.h by cmake/ControlNames.cmake; do not edit.\n${names}")
  file(COPY_FILE ${output}.new ${output} ONLY_IF_DIFFERENT)
endfunction()
