#!/usr/bin/env bash
# Fails when a C or C++ file of the repository differs from what
# clang-format makes of it (the style is .clang-format at the root).
# Generated files (named *.generated.*) are left as their generator writes
# them.  With --fix, reformats the files instead.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=(--dry-run --Werror)
[ "${1:-}" = "--fix" ] && mode=(-i)

mapfile -t files < <(git ls-files '*.c' '*.cpp' '*.h' '*.hpp' | grep -v -E '\.generated\.|/elementary_tables\.hpp$')
if [ ${#files[@]} -eq 0 ]; then
  echo "check-format: no C or C++ files found" >&2
  exit 1
fi
clang-format "${mode[@]}" "${files[@]}"
echo "check-format: ${#files[@]} files in the project's style"
