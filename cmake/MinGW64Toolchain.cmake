# Cross build for 64-bit Windows with Debian's MinGW-w64 compilers:
#   cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/MinGW64Toolchain.cmake
# The POSIX thread model gives std::thread and std::mutex; the runtime is linked statically, so
# the executables need no MinGW DLLs beside them. Tests run under Wine when it is installed.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VANTRELO_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VANTRELO_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VANTRELO_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VANTRELO_MINGW_TRIPLET}-windres)

# Libraries and headers of the target only (zlib from libz-mingw-w64-dev lives here).
set(CMAKE_FIND_ROOT_PATH /usr/${VANTRELO_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ZLIB_USE_STATIC_LIBS ON)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")

find_program(VANTRELO_WINE NAMES wine wine64)
if(VANTRELO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VANTRELO_WINE})
endif()
