# The part the Linux cross toolchain files share; each sets
# CMAKE_SYSTEM_PROCESSOR, the CPU of the Debian archive's triplet
# <cpu>-linux-gnu and of qemu-user's qemu-<cpu>, and includes this.
set(CMAKE_SYSTEM_NAME Linux)

set(QNDL_CROSS_TRIPLET ${CMAKE_SYSTEM_PROCESSOR}-linux-gnu)
set(CMAKE_C_COMPILER ${QNDL_CROSS_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${QNDL_CROSS_TRIPLET}-g++)

set(CMAKE_FIND_ROOT_PATH /usr/${QNDL_CROSS_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static C and C++ runtimes: qemu needs no target libraries to run them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# ctest and test discovery run the binaries under qemu.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-${CMAKE_SYSTEM_PROCESSOR})
