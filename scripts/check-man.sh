#!/usr/bin/env bash
# Lints every manual page of docs/man as it is installed (version and date
# filled in): groff with every warning on, and mandoc's linter at warning
# level.  Fails on any message, and when there is no page to lint.
set -euo pipefail
cd "$(dirname "$0")/.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
pages=(docs/man/*.[1-9])
if [ ! -f "${pages[0]}" ]; then
  echo "check-man: no manual pages in docs/man" >&2
  exit 1
fi
failed=0
for page in "${pages[@]}"; do
  out="$work/$(basename "$page")"
  python3 scripts/manpage.py "$page" "$out" --version-file VERSION --changelog CHANGELOG.md
  messages=$( { groff -man -ww -z "$out" 2>&1; mandoc -T lint -W warning "$out" 2>&1; } | sed "s|$work/||g" || true)
  if [ -n "$messages" ]; then
    echo "$page:"
    echo "$messages"
    failed=1
  fi
done
[ "$failed" -eq 0 ] || exit 1
echo "check-man: ${#pages[@]} manual pages, no warnings from groff -man -ww or mandoc -T lint"
