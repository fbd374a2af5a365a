#!/usr/bin/env bash
# Builds the libFuzzer target with clang (ASan + UBSan) and runs it for a
# bounded time: every export gets arbitrary argument bytes.
# usage: scripts/fuzz.sh [SECONDS]   (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
log="$corpus.log"
status=0
build/fuzz/tests/fuzz_exports -max_total_time="$seconds" -print_final_stats=1 "$corpus" >"$log" 2>&1 || status=$?
grep -E '^(stat::|Done)' "$log" || true
if [ "$status" -ne 0 ]; then
  tail -n 40 "$log"
  echo "fuzz_exports failed with status $status"
  exit "$status"
fi
echo "corpus: $(ls "$corpus" | wc -l) inputs"
rm -f "$log"
