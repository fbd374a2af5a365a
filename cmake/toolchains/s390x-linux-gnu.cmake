# Linux on IBM Z (s390x, big-endian), cross-built with Debian's
# s390x-linux-gnu-g++ (crossbuild-essential-s390x), tested under
# qemu-s390x.
#
#   cmake --preset s390x             (or -DCMAKE_TOOLCHAIN_FILE=<this file>)
set(CMAKE_SYSTEM_PROCESSOR s390x)
set(VARNEL_CROSS_TRIPLE s390x-linux-gnu)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
