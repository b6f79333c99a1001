# The on-screen front end (Qt 6 Widgets), and the program's entry point on Linux.
find_package(Qt6 REQUIRED COMPONENTS Widgets)
add_library(w32display STATIC
  ${CMAKE_CURRENT_LIST_DIR}/textmap.cpp
  ${CMAKE_CURRENT_LIST_DIR}/textview.cpp
  ${CMAKE_CURRENT_LIST_DIR}/charformat.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mirror.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frontend.cpp)
target_include_directories(w32display PUBLIC ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(w32display PUBLIC w32core Qt6::Widgets)
bytescribe_own_target(w32display)
set(W32_ENTRY_SOURCE ${CMAKE_CURRENT_LIST_DIR}/entry.cpp CACHE INTERNAL "the program's main() on Linux")
