# Linux on AArch64 (64-bit ARM), cross-built with Debian's
# aarch64-linux-gnu-g++ (crossbuild-essential-arm64), tested under
# qemu-aarch64.
#
#   cmake --preset aarch64           (or -DCMAKE_TOOLCHAIN_FILE=<this file>)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(VARNEL_CROSS_TRIPLE aarch64-linux-gnu)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
