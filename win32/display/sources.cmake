# The program's entry point on Linux, in front of the on-screen front end.
add_library(w32display STATIC ${CMAKE_CURRENT_LIST_DIR}/entry.cpp)
target_link_libraries(w32display PUBLIC w32core)
bytescribe_own_target(w32display)
