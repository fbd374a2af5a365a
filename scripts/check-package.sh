#!/usr/bin/env bash
# Checks the installed package as a user would meet it: versioned library
# files with SONAMEs, a C consumer built through pkg-config, and public
# headers that compile cleanly under strict warnings; then the release
# packages: what each must hold, lintian on the .deb, and varnel-math report
# run from the unpacked .deb and .tar.gz outside the source and build trees.
# Expects scripts/demo.sh to have installed into ./out/prefix and
# cpack --preset linux to have written out/packages.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/package-report.sh
prefix="$PWD/out/prefix"
libdir="$prefix/lib"
[ -d "$libdir" ] || libdir="$prefix/lib64"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for lib in varnel_math_c99 varnel_math_c99f varnel_math_c99l varnel_math_batch varnel_stacktrace_dump; do
  [ -e "$libdir/lib$lib.so" ] || { echo "$lib: not installed"; exit 1; }
  soname=$(readelf -d "$libdir/lib$lib.so" | sed -n 's/.*SONAME.*\[\(.*\)\]/\1/p')
  [ "$soname" = "lib$lib.so.1" ] || { echo "$lib: SONAME is '$soname'"; exit 1; }
  ls "$libdir"/lib$lib.so.1.* >/dev/null || { echo "$lib: no versioned file"; exit 1; }
done
echo "SONAMEs and versioned file names: ok"

export PKG_CONFIG_PATH="$libdir/pkgconfig"
cc -std=c99 -Wall -Wextra -pedantic -Werror examples/consumer/main.c -o "$work/demo-c" \
  $(pkg-config --cflags --libs varnel_math_c99 varnel_math_c99f varnel_math_c99l)
LD_LIBRARY_PATH="$libdir" "$work/demo-c" >/dev/null
cc -std=c99 -Wall -Wextra -pedantic -Werror examples/consumer/batch.c -o "$work/demo-batch" \
  $(pkg-config --cflags --libs varnel_math_batch varnel_math_c99)
LD_LIBRARY_PATH="$libdir" "$work/demo-batch" >/dev/null
echo "C consumers through pkg-config: ok"

for h in $(cd "$prefix/include" && find varnel -name '*.hpp'); do
  printf '#include <%s>\nint main() { return 0; }\n' "$h" > "$work/h.cpp"
  c++ -std=c++17 -Wall -Wextra -pedantic -Werror -I"$prefix/include" -c "$work/h.cpp" -o "$work/h.o" \
    || { echo "header $h does not compile cleanly"; exit 1; }
done
for h in varnel/math/c99.h varnel/math/batch.h varnel/math/config.h; do
  printf '#include <%s>\nint main(void) { return 0; }\n' "$h" > "$work/h.c"
  cc -std=c99 -Wall -Wextra -pedantic -Werror -I"$prefix/include" -c "$work/h.c" -o "$work/h.o" \
    || { echo "header $h does not compile cleanly as C99"; exit 1; }
done
echo "public headers under -std=c99 / -std=c++17 with -Wall -Wextra -pedantic: ok"

# The .deb and .tar.gz of the Linux release (cpack --preset linux) hold the
# same installed tree, the .deb with its documents in Debian's forms.
debs=(out/packages/varnel-math_*_amd64.deb)
tgzs=(out/packages/varnel-math-*-linux-x86_64.tar.gz)
if [ ! -f "${debs[0]}" ] || [ ! -f "${tgzs[0]}" ]; then
  echo "no release packages in out/packages: run cpack --preset linux first" >&2
  exit 1
fi
deb=$(dpkg-deb -c "${debs[0]}")
tgz=$(tar -tzf "${tgzs[0]}")
for f in usr/lib/libvarnel_math_c99.so.1 usr/lib/libvarnel_math_batch.so.1 usr/include/varnel/math/c99.h \
         usr/include/varnel/math/batch.h usr/bin/varnel-math \
         usr/lib/cmake/varnel_math/varnel_mathConfig.cmake usr/share/varnel-math/reference/tgamma.tsv \
         usr/share/man/man1/varnel-math.1.gz usr/share/man/man3/varnel_erf.3.gz usr/share/man/man3/varnel_erfcf.3.gz; do
  grep -q " \./$f" <<<"$deb" || { echo ".deb lacks $f"; exit 1; }
  grep -q "/${f#usr/}$" <<<"$tgz" || { echo ".tar.gz lacks $f"; exit 1; }
done
for f in usr/share/doc/varnel-math/copyright usr/share/doc/varnel-math/changelog.gz; do
  grep -q " \./$f$" <<<"$deb" || { echo ".deb lacks $f"; exit 1; }
done
for f in share/doc/varnel-math/LICENSE share/doc/varnel-math/CHANGELOG.md; do
  grep -q "/$f$" <<<"$tgz" || { echo ".tar.gz lacks $f"; exit 1; }
done
echo "release packages (.deb, .tar.gz): contents ok"

# lintian: no error, and no warning except those cmake/debian/lintian-suppressed-tags
# lists with the reason why they do not apply.
lintian_out=$(lintian --no-cfg --suppress-tags-from-file cmake/debian/lintian-suppressed-tags "${debs[0]}" 2>&1 |
  grep -v '^running with root privileges' || true)
if grep -q '^[EW]: ' <<<"$lintian_out"; then
  echo "lintian on ${debs[0]}:"
  echo "$lintian_out"
  exit 1
fi
echo "lintian: no errors, no warnings"

# varnel-math report from each unpacked package, run from a directory
# outside the source and build trees: it must find its reference data
# beside itself and report the accuracy of every function that has data.
dpkg-deb -x "${debs[0]}" "$work/deb"
mkdir -p "$work/tgz"
tar -xzf "${tgzs[0]}" -C "$work/tgz"
for program in "$work/deb/usr/bin/varnel-math" "$work"/tgz/varnel-math-*/bin/varnel-math; do
  data="$(dirname "$(dirname "$program")")/share/varnel-math/reference"
  report_from_package "$program" "$data" "^Against the reference data in $data:" "$work" "$program"
done
