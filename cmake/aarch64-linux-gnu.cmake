# Cross build of qndl for 64-bit ARM Linux with the compilers of the Debian
# archive (g++-aarch64-linux-gnu), its tests run under qemu-user:
#
#   cmake -S . -B build-aarch64 -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake
set(CMAKE_SYSTEM_PROCESSOR aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
