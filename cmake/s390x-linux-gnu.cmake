# Cross build of qndl for s390x Linux, a big-endian CPU, with the compilers
# of the Debian archive (g++-s390x-linux-gnu), its tests run under qemu-user:
#
#   cmake -S . -B build-s390x -DCMAKE_TOOLCHAIN_FILE=cmake/s390x-linux-gnu.cmake
set(CMAKE_SYSTEM_PROCESSOR s390x)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
