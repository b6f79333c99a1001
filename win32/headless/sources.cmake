# The headless driver: plays a user against a program from a script.
add_library(w32headless STATIC
  ${CMAKE_CURRENT_LIST_DIR}/frontend.cpp
  ${CMAKE_CURRENT_LIST_DIR}/script.cpp
  ${CMAKE_CURRENT_LIST_DIR}/driver.cpp)
target_include_directories(w32headless PRIVATE ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(w32headless PUBLIC w32core)
bytescribe_own_target(w32headless)
