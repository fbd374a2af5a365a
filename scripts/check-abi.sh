#!/usr/bin/env bash
# The ABI guard of the Linux libraries: compares the ABI of each library of
# a build that has debugging information (DWARF; by default the Debug
# build, build/debug) with its baseline abi/<library>.abi, using
# libabigail's abidw and abidiff.  Any change of an exported function, of
# its parameter or return types, of the set of exported names or of the
# SONAME fails, with abidiff's report.
#
#   bash scripts/check-abi.sh [--update] [BUILD_DIR]
#
# --update rewrites the baselines from the build instead: do it in the same
# commit as a deliberate change of the ABI (and raise the major version in
# VERSION if the change is incompatible).  The baselines do not depend on
# the checkout or the build directory: no corpus path, no source locations,
# no compilation directory, source paths relative to the checkout, type ids
# from hashes.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
update=0
if [ "${1:-}" = "--update" ]; then
  update=1
  shift
fi
build=${1:-build/debug}
libraries=(src/math/c99/libvarnel_math_c99 src/math/c99/libvarnel_math_c99f src/math/c99/libvarnel_math_c99l
           src/math/batch/libvarnel_math_batch
           src/stacktrace/libvarnel_stacktrace_dump)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The ABI of one library as stored: abidw's XML without anything that
# depends on where the tree or the build lies.
describe() {
  abidw --no-corpus-path --no-show-locs --no-comp-dir-path --exported-interfaces-only --type-id-style hash "$1" |
    sed "s|path='$root/|path='|g"
}

failed=0
for library in "${libraries[@]}"; do
  name=$(basename "$library")
  file="$build/$library.so"
  baseline="abi/$name.abi"
  if [ ! -f "$file" ]; then
    echo "check-abi: $file is missing: build the Debug libraries first (cmake --workflow --preset debug)" >&2
    exit 1
  fi
  sections=$(readelf -S "$file")
  if ! grep -q '\.debug_info' <<<"$sections"; then
    echo "check-abi: $file has no debugging information: use a Debug or RelWithDebInfo build" >&2
    exit 1
  fi
  describe "$file" >"$work/$name.abi"
  if grep -q "$root" "$work/$name.abi"; then
    echo "check-abi: the ABI of $file still names the checkout $root" >&2
    exit 1
  fi
  if [ "$update" -eq 1 ]; then
    mkdir -p abi
    cp "$work/$name.abi" "$baseline"
    echo "check-abi: wrote $baseline"
    continue
  fi
  if [ ! -f "$baseline" ]; then
    echo "check-abi: no baseline $baseline (bash scripts/check-abi.sh --update writes it)" >&2
    exit 1
  fi
  # abidiff's status is 0 only when the two ABIs are the same; the
  # functions and variables, their types and the SONAME are compared.
  if abidiff --no-show-locs "$baseline" "$work/$name.abi" >"$work/$name.diff" 2>&1; then
    functions=$(grep -c '<elf-symbol ' "$baseline" || true)
    echo "check-abi: $name: as in $baseline ($functions exported symbols)"
  else
    echo "check-abi: $name differs from $baseline:"
    cat "$work/$name.diff"
    failed=1
  fi
done
if [ "$failed" -ne 0 ]; then
  echo "check-abi: the ABI changed; if that is intended, run bash scripts/check-abi.sh --update in the same commit" >&2
  exit 1
fi
