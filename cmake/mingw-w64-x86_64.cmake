# Cross build of a native 64-bit Windows qndl.exe with the mingw-w64
# compilers of the Debian archive (g++-mingw-w64-x86-64-posix):
#
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#
# The -posix variants are used because qndl's writer thread and GoogleTest
# need std::thread and std::mutex, which the default win32 thread model does
# not provide.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QNDL_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QNDL_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QNDL_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${QNDL_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QNDL_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static C, C++ and thread runtimes: qndl.exe needs no DLL beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# ctest and test discovery run the .exe files under wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
