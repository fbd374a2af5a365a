#!/usr/bin/env bash
# Varnel math added to another project (examples/subproject): builds only
# the libraries, adds no tests, installs and packs nothing, and the program
# beside it links and runs.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/subproject
rm -rf "$build"
cmake -S examples/subproject -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
targets=$(cmake --build "$build" --target help)
for unwanted in varnel-math varnel_bench golden_digest package install; do
  if grep -q -E "^(\.\.\. )?$unwanted(:|$)" <<<"$targets"; then
    echo "check-subproject: the parent project got the target '$unwanted'" >&2
    exit 1
  fi
done
if [ -f "$build/varnel_math/CTestTestfile.cmake" ]; then
  echo "check-subproject: the parent project got Varnel math's tests" >&2
  exit 1
fi
cmake --build "$build" >/dev/null
"$build/varnel-subproject-demo"
echo "check-subproject: only the libraries, and they work"
