# sources of win32/shell
target_sources(w32core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/browse.cpp
  ${CMAKE_CURRENT_LIST_DIR}/drop.cpp)
