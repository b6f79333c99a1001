# mingw.cmake: what the two MinGW-w64 toolchain files share. They set
# MINGW_TRIPLET and MINGW_PROCESSOR, then include this file.
#
# The -posix compilers: their libstdc++ has std::thread, std::mutex and the
# rest on winpthreads, which the tests use. Everything links statically, so a
# program imports nothing but the system's own DLLs.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${MINGW_PROCESSOR})

set(CMAKE_C_COMPILER ${MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLET}-windres)
# Resource scripts are UTF-8, as every other source.
set(CMAKE_RC_FLAGS_INIT "--codepage=65001")

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Headers and libraries from the target's tree only; programs from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
