#!/usr/bin/env bash
# Installs what a fresh machine lacks for building, testing and benchmarking
# (Debian packages).  Does nothing when everything is present.
set -euo pipefail

need=()
command -v cmake >/dev/null || need+=(cmake)
command -v ninja >/dev/null || need+=(ninja-build)
command -v g++ >/dev/null || need+=(g++)
command -v clang++ >/dev/null || need+=(clang)
command -v pkg-config >/dev/null || need+=(pkg-config)
command -v python3 >/dev/null || need+=(python3)
command -v nm >/dev/null || need+=(binutils)
command -v clang-format >/dev/null || need+=(clang-format)
[ -f /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
[ -f /usr/include/benchmark/benchmark.h ] || need+=(libbenchmark-dev)
ls /usr/lib/llvm-14/lib/clang/14*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1 || need+=(libclang-rt-14-dev)
python3 -c 'import mpmath' 2>/dev/null || need+=(python3-mpmath)
# MPFR: the reference of the elementary functions' accuracy test.
[ -f /usr/include/mpfr.h ] || need+=(libmpfr-dev)
# Packages: .deb (dependencies read by dpkg-shlibdeps), .zip checked unpacked.
command -v dpkg-shlibdeps >/dev/null || need+=(dpkg-dev)
command -v unzip >/dev/null || need+=(unzip)
# The .deb must pass lintian; the manual pages are linted by groff and mandoc.
command -v lintian >/dev/null || need+=(lintian)
command -v groff >/dev/null || need+=(groff-base)
command -v mandoc >/dev/null || need+=(mandoc)
# The ABI of the Linux libraries against its baseline (scripts/check-abi.sh).
command -v abidiff >/dev/null || need+=(abigail-tools)
# The Windows build: MinGW-w64 cross compilers, Wine to run the results,
# and LLVM's tools for the MSVC side (import libraries, Clang's MSVC
# decorations, the MSVC-ABI test program's linker).
command -v x86_64-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-x86-64-posix)
command -v wine >/dev/null || need+=(wine64 wine)
command -v llvm-dlltool >/dev/null || need+=(llvm)
command -v llvm-undname >/dev/null || command -v llvm-undname-14 >/dev/null || need+=(llvm-14)
command -v lld-link >/dev/null || need+=(lld)
[ -d /usr/src/googletest ] || need+=(googletest)
# The Linux AArch64 and s390x builds: Debian's cross compilers (with the
# target's C library), QEMU's user-mode emulation to run the results
# (cmake/linux/qemu-run.sh); GoogleTest comes from /usr/src/googletest.
command -v aarch64-linux-gnu-g++ >/dev/null || need+=(crossbuild-essential-arm64)
command -v s390x-linux-gnu-g++ >/dev/null || need+=(crossbuild-essential-s390x)
command -v qemu-aarch64 >/dev/null && command -v qemu-s390x >/dev/null || need+=(qemu-user)

if [ ${#need[@]} -gt 0 ]; then
  echo "installing: ${need[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "missing packages and not root: run as root or install them yourself" >&2
    exit 1
  fi
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${need[@]}"
fi
