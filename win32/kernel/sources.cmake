# sources of win32/kernel
target_sources(w32core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/events.cpp
  ${CMAKE_CURRENT_LIST_DIR}/faults.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file_status.cpp
  ${CMAKE_CURRENT_LIST_DIR}/files.cpp
  ${CMAKE_CURRENT_LIST_DIR}/handles.cpp
  ${CMAKE_CURRENT_LIST_DIR}/heap.cpp
  ${CMAKE_CURRENT_LIST_DIR}/last_error.cpp
  ${CMAKE_CURRENT_LIST_DIR}/libraries.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mappings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/process_memory.cpp
  ${CMAKE_CURRENT_LIST_DIR}/share_modes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/std_handles.cpp
  ${CMAKE_CURRENT_LIST_DIR}/threads.cpp
  ${CMAKE_CURRENT_LIST_DIR}/trace.cpp
  ${CMAKE_CURRENT_LIST_DIR}/waitable.cpp
)
