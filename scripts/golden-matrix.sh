#!/usr/bin/env bash
# Builds the libraries and the golden-digest test under GCC and Clang, at
# -O0, -O3 and -O3 -march=native, in both builds (platform: the C library's
# elementary functions; portable: the library's own), and runs the test in
# each: results must not depend on the compiler, the optimisation level or
# the instruction set (-ffp-contract=off keeps fused multiply-add out even
# where FMA exists).  The other platforms' portable digests are checked by
# their workflows (windows-portable under Wine, aarch64-portable and
# s390x-portable under QEMU), and tests/golden/digests.py check requires
# them to equal these wherever no platform fact explains a difference.
set -euo pipefail
cd "$(dirname "$0")/.."
for elementary in platform portable; do
  for compiler in gcc clang; do
    case $compiler in gcc) cc=gcc cxx=g++ ;; clang) cc=clang cxx=clang++ ;; esac
    for flags in "-O0" "-O3" "-O3 -march=native"; do
      tag=$(echo "$elementary-$compiler$flags" | tr -c 'a-zA-Z0-9\n' '-')
      dir=build/golden-$tag
      echo "=== golden digest: $elementary, $compiler $flags ==="
      cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=None -DVARNEL_BUILD_TESTS=ON \
        -DVARNEL_BUILD_CLI=OFF -DVARNEL_MATH_ELEMENTARY=$elementary \
        -DCMAKE_C_COMPILER=$cc -DCMAKE_CXX_COMPILER=$cxx \
        -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" >/dev/null
      cmake --build "$dir" -j2 --target golden_test >/dev/null
      "$dir/tests/golden_test" --gtest_brief=1
    done
  done
done
