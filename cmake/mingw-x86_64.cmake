# mingw-x86_64.cmake: 64-bit Windows, with MinGW-w64 (Debian:
# g++-mingw-w64-x86-64-posix, binutils-mingw-w64-x86-64). Wine runs these
# here, where 32-bit programs cannot run, so the tests are built for it.
set(MINGW_TRIPLET x86_64-w64-mingw32)
set(MINGW_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
