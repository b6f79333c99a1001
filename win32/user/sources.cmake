# sources of win32/user
target_sources(w32core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/codepage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/resources.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uilock.cpp
  ${CMAKE_CURRENT_LIST_DIR}/threads.cpp
  ${CMAKE_CURRENT_LIST_DIR}/window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/message.cpp
  ${CMAKE_CURRENT_LIST_DIR}/button.cpp
  ${CMAKE_CURRENT_LIST_DIR}/textstore.cpp
  ${CMAKE_CURRENT_LIST_DIR}/edit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/status.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/screen.cpp)
