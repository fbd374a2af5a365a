# Cross-compiling for Linux on another processor with Debian's cross
# compilers (crossbuild-essential-<arch>), running the results under QEMU's
# user-mode emulation (qemu-user).  Included by the toolchain file of each
# processor, which sets VARNEL_CROSS_TRIPLE and CMAKE_SYSTEM_PROCESSOR.
set(CMAKE_SYSTEM_NAME Linux)

set(CMAKE_C_COMPILER ${VARNEL_CROSS_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${VARNEL_CROSS_TRIPLE}-g++)
set(CMAKE_AR ${VARNEL_CROSS_TRIPLE}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${VARNEL_CROSS_TRIPLE}-ranlib CACHE FILEPATH "")
set(CMAKE_NM ${VARNEL_CROSS_TRIPLE}-nm CACHE FILEPATH "")
set(CMAKE_OBJDUMP ${VARNEL_CROSS_TRIPLE}-objdump CACHE FILEPATH "")
set(CMAKE_STRIP ${VARNEL_CROSS_TRIPLE}-strip CACHE FILEPATH "")

# The target's C library and headers (Debian's cross toolchain installs
# them under /usr/<triple>); nothing of the build machine's is linked.
set(CMAKE_FIND_ROOT_PATH /usr/${VARNEL_CROSS_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests and tools run under QEMU; the wrapper picks the emulator from the
# program's ELF header and points it at the target's dynamic loader.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../linux/qemu-run.sh)
