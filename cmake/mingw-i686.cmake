# mingw-i686.cmake: the program's own target, 32-bit Windows, with MinGW-w64
# (Debian: g++-mingw-w64-i686-posix, binutils-mingw-w64-i686).
set(MINGW_TRIPLET i686-w64-mingw32)
set(MINGW_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
