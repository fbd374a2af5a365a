#!/usr/bin/env bash
# Checks the Windows package as a user would meet it: builds it (preset
# windows), packs it (.zip), unpacks it, and then
#   - every DLL imports from the Universal CRT and kernel32 only: no
#     msvcrt.dll, and no libstdc++, libgcc or winpthread DLL beside it;
#   - the licence, the changelog and the report's reference data are in it,
#     and varnel-math.exe report finds that data when run under Wine from
#     outside the source and build trees;
#   - the example consumer, a MinGW project with the toolchain's default
#     80-bit long double, finds the package with find_package, links the
#     MinGW import libraries and runs under Wine with the DLLs of the
#     package's bin directory.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/package-report.sh
cmake --preset windows >/dev/null
cmake --build --preset windows
rm -f out/packages/varnel-math-*-windows-x64.zip
cpack --preset windows >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unzip -q out/packages/varnel-math-*-windows-x64.zip -d "$work"
prefix=$(echo "$work"/varnel-math-*-windows-x64)

for dll in "$prefix"/bin/*.dll; do
  imports=$(x86_64-w64-mingw32-objdump -p "$dll" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u | tr '\n' ' ')
  for name in $imports; do
    case "$name" in
      ucrtbase.dll | kernel32.dll) ;;
      *) echo "$(basename "$dll") imports $name"; exit 1 ;;
    esac
  done
  echo "$(basename "$dll"): imports $imports"
done
for lib in varnel_math_c99 varnel_math_c99f varnel_math_c99l varnel_math_batch varnel_stacktrace_dump; do
  for f in "lib/lib$lib.dll.a" "lib/$lib.lib" "bin/$lib.dll"; do
    [ -f "$prefix/$f" ] || { echo "missing $f"; exit 1; }
  done
done
echo "DLLs, MinGW and MSVC import libraries, imports: ok"
for f in LICENSE CHANGELOG.md bin/varnel-math.exe share/varnel-math/reference/tgamma.tsv; do
  [ -f "$prefix/$f" ] || { echo "the .zip lacks $f"; exit 1; }
done
echo "licence, changelog, varnel-math.exe and its reference data: ok"

# varnel-math report from the unpacked .zip, run under Wine from a directory
# outside the source and build trees: it must find its data beside itself
# and report the accuracy of every double function that has data.
report_from_package "varnel-math.exe from the unpacked .zip" "$prefix/share/varnel-math/reference" \
  '^Against the reference data in .*share.varnel-math.reference:' "$work" \
  "$PWD/cmake/windows/wine-run.sh" "$prefix/bin/varnel-math.exe"

cmake -S examples/consumer -B "$work/consumer" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchains/mingw-w64-x86_64.cmake" \
  -Dvarnel_math_DIR="$prefix/lib/cmake/varnel_math" \
  -DCMAKE_EXE_LINKER_FLAGS=-static >/dev/null
cmake --build "$work/consumer" >/dev/null
export WINEPATH="Z:$prefix/bin"
echo "--- example consumer (C, MinGW, installed package) ---"
cmake/windows/wine-run.sh "$work/consumer/varnel-demo.exe" | tr -d '\r' | tee "$work/demo.txt"
grep -q '^varnel_acosh(0.5) .* EDOM$' "$work/demo.txt"
grep -q '^varnel_tgammaf(35.05f) .* ERANGE$' "$work/demo.txt"
echo "--- example consumer (C++) ---"
cmake/windows/wine-run.sh "$work/consumer/varnel-demo-cxx.exe" | tr -d '\r'
echo "MinGW consumer through find_package: ok"
