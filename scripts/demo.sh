#!/usr/bin/env bash
# Builds the libraries, installs them into ./out/prefix, builds the example
# consumers against the installed CMake package and runs them, then runs the
# installed varnel-math: one call beside the platform libm, and the accuracy
# and speed report (Markdown, also kept in out/report.md, plots in out/plots).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release
cmake --install build/release --prefix "$PWD/out/prefix" >/dev/null
cmake -S examples/consumer -B build/consumer -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_PREFIX_PATH="$PWD/out/prefix" >/dev/null
cmake --build build/consumer
echo "--- example consumer (C, installed package) ---"
build/consumer/varnel-demo
echo "--- example consumer (C++) ---"
build/consumer/varnel-demo-cxx
echo "--- example consumer (C, the batch library) ---"
build/consumer/varnel-demo-batch
echo "--- varnel-math (installed) ---"
out/prefix/bin/varnel-math --compare tgamma 4.5
out/prefix/bin/varnel-math report --plots out/plots | tee out/report.md
