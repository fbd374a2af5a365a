# Sourced by the package checks (check-package.sh, check-package-cross.sh,
# check-package-windows.sh): varnel-math report --quick from an unpacked
# package, run from a directory outside the source and build trees, must
# find the reference data installed beside the program and report the
# accuracy of every double function that has data.
#
# report_from_package LABEL DATA HEADER WORK COMMAND...
#   DATA    the package's share/varnel-math/reference
#   HEADER  a grep pattern for the line that says where the report found it
#   WORK    a scratch directory
#   COMMAND the program, with its emulator in front where it needs one
report_from_package() {
  local label=$1 data=$2 header=$3 work=$4
  shift 4
  mkdir -p "$work/elsewhere"
  (cd "$work/elsewhere" && "$@" report --quick >"$work/report.md" 2>"$work/report.err") ||
    { echo "$label report failed:"; cat "$work/report.err"; exit 1; }
  # Under Wine the program writes CRLF line ends.
  tr -d '\r' <"$work/report.md" >"$work/report.txt"
  # The double functions with data: the files X.tsv beside an Xf.tsv.
  local expected measured
  expected=$(cd "$data" && for f in *.tsv; do if [ -f "${f%.tsv}f.tsv" ]; then echo "${f%.tsv}"; fi; done | sort)
  measured=$(awk '/^## Accuracy/ { a = 1 } /^## Speed/ { a = 0 } a && /^\| [a-z0-9]+ \| / && $2 != "function" { print $2 }' \
    "$work/report.txt" | sort -u)
  if ! grep -q "$header" "$work/report.txt" || [ -z "$expected" ] || [ "$expected" != "$measured" ]; then
    echo "$label report: accuracy of [$(echo $measured)], expected [$(echo $expected)] from $data"
    cat "$work/report.txt"
    exit 1
  fi
  echo "$label report --quick: $(tr -d '\r' <"$work/report.err" | tail -1)"
}
