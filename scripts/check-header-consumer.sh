#!/usr/bin/env bash
# The installed headers keep their bits for consumers: builds
# examples/header_consumer (which instantiates the family templates and
# compares every result and errno with the libraries') against an installed
# prefix, with -O3 -march=native and the compilers' default GNU dialect,
# under GCC and Clang, and runs it.  A control build of the same program
# without the package's compile options, with contraction into fused
# multiply-add forced on, must differ where the processor has FMA: that
# shows the check would see the options go missing.
#
# usage: check-header-consumer.sh [PREFIX]   (default: out/prefix, as
#        scripts/demo.sh installs it)
set -euo pipefail
cd "$(dirname "$0")/.."
prefix=$(realpath "${1:-out/prefix}")
if [ ! -f "$prefix/lib/cmake/varnel_math/varnel_mathConfig.cmake" ]; then
  echo "check-header-consumer: no installed package under $prefix (run scripts/demo.sh first)" >&2
  exit 1
fi

for cxx in g++ clang++; do
  build=build/header-consumer-$cxx
  rm -rf "$build"
  cmake -S examples/header_consumer -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_CXX_FLAGS="-O3 -march=native" \
    -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
  cmake --build "$build" >/dev/null
  echo "--- $cxx -O3 -march=native, through find_package(varnel_math) ---"
  "$build/varnel-header-consumer" | tail -n 1
done

if grep -q -w fma /proc/cpuinfo; then
  control=build/header-consumer-control
  mkdir -p "$control"
  g++ -std=gnu++17 -O3 -march=native -ffp-contract=fast -I"$prefix/include" \
    examples/header_consumer/main.cpp -o "$control/varnel-header-consumer" \
    -L"$prefix/lib" -Wl,-rpath,"$prefix/lib" -lvarnel_math_c99 -lvarnel_math_c99f
  if "$control/varnel-header-consumer" >"$control/out.txt"; then
    echo "check-header-consumer: the control build with contraction gave the libraries' bits too," >&2
    echo "so this check could not see the compile options go missing" >&2
    exit 1
  fi
  echo "--- control: g++ -O3 -march=native -ffp-contract=fast without the package's options ---"
  echo "$(tail -n 1 "$control/out.txt") (as expected)"
fi
echo "check-header-consumer: the installed headers give the libraries' bits"
