#!/usr/bin/env bash
# Checks the Linux packages of another processor as a user there would meet
# them, on this machine, with the cross compiler and QEMU:
#
#   bash scripts/check-package-cross.sh aarch64     (or s390x)
#
# builds and packs them (cmake --workflow --preset package-PROCESSOR: the
# .tar.gz and the .deb from one CPack command), then
#   - the .deb is for Debian's architecture of the processor, and every
#     library and program in both packages is an ELF file for it;
#   - both hold what the x86-64 packages hold (scripts/check-package.sh),
#     with SONAMEs and versioned file names, and lintian finds no error and
#     no warning beyond those cmake/debian/lintian-suppressed-tags lists;
#   - the public headers compile under the cross compiler with strict
#     warnings (C++17 and C99);
#   - installed, that is unpacked, each package's varnel-math report runs
#     under QEMU from outside the source and build trees and finds its
#     reference data beside itself;
#   - the example consumers, built by the cross compiler against the
#     unpacked .tar.gz (the CMake package, and the C one through
#     pkg-config), run under QEMU and report the expected errors.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/package-report.sh
processor=${1:-}
case "$processor" in
  aarch64) triple=aarch64-linux-gnu deb_arch=arm64 machine="AArch64" ;;
  s390x) triple=s390x-linux-gnu deb_arch=s390x machine="IBM S/390" ;;
  *)
    echo "usage: check-package-cross.sh aarch64|s390x" >&2
    exit 2
    ;;
esac
run="$PWD/cmake/linux/qemu-run.sh"
toolchain="$PWD/cmake/toolchains/$triple.cmake"

rm -f out/packages/varnel-math_*_"$deb_arch".deb out/packages/varnel-math-*-linux-"$processor".tar.gz
cmake --workflow --preset "package-$processor" >/dev/null
debs=(out/packages/varnel-math_*_"$deb_arch".deb)
tgzs=(out/packages/varnel-math-*-linux-"$processor".tar.gz)
if [ ! -f "${debs[0]}" ] || [ ! -f "${tgzs[0]}" ]; then
  echo "cpack --preset $processor wrote no .deb and .tar.gz for $processor" >&2
  exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

[ "$(dpkg-deb -f "${debs[0]}" Architecture)" = "$deb_arch" ] ||
  { echo "${debs[0]}: architecture $(dpkg-deb -f "${debs[0]}" Architecture), not $deb_arch"; exit 1; }
dpkg-deb -x "${debs[0]}" "$work/deb"
mkdir -p "$work/tgz"
tar -xzf "${tgzs[0]}" -C "$work/tgz"
tgz_prefix=$(echo "$work"/tgz/varnel-math-*)

deb=$(dpkg-deb -c "${debs[0]}")
tgz=$(tar -tzf "${tgzs[0]}")
for f in usr/lib/libvarnel_math_c99.so.1 usr/include/varnel/math/c99.h usr/bin/varnel-math \
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
for prefix in "$work/deb/usr" "$tgz_prefix"; do
  for lib in varnel_math_c99 varnel_math_c99f varnel_math_c99l varnel_stacktrace_dump varnel_math_batch; do
    file="$prefix/lib/lib$lib.so"
    [ -e "$file" ] || { echo "$file: missing"; exit 1; }
    soname=$(readelf -d "$file" | sed -n 's/.*SONAME.*\[\(.*\)\]/\1/p')
    [ "$soname" = "lib$lib.so.1" ] || { echo "$file: SONAME is '$soname'"; exit 1; }
    ls "$prefix"/lib/lib$lib.so.1.* >/dev/null || { echo "$lib: no versioned file"; exit 1; }
  done
  for file in "$prefix"/lib/lib*.so.1.* "$prefix/bin/varnel-math"; do
    readelf -h "$file" | grep -q "Machine: *$machine" || { echo "$file: not an ELF file for $machine"; exit 1; }
  done
done
echo "release packages (.deb $deb_arch, .tar.gz): contents, SONAMEs and $machine files ok"

lintian_out=$(lintian --no-cfg --suppress-tags-from-file cmake/debian/lintian-suppressed-tags "${debs[0]}" 2>&1 |
  grep -v '^running with root privileges' || true)
if grep -q '^[EW]: ' <<<"$lintian_out"; then
  echo "lintian on ${debs[0]}:"
  echo "$lintian_out"
  exit 1
fi
echo "lintian: no errors, no warnings"

for h in $(cd "$tgz_prefix/include" && find varnel -name '*.hpp'); do
  printf '#include <%s>\nint main() { return 0; }\n' "$h" >"$work/h.cpp"
  "$triple-g++" -std=c++17 -Wall -Wextra -pedantic -Werror -I"$tgz_prefix/include" -c "$work/h.cpp" -o "$work/h.o" ||
    { echo "header $h does not compile cleanly for $processor"; exit 1; }
done
printf '#include <varnel/math/c99.h>\nint main(void) { return 0; }\n' >"$work/h.c"
"$triple-gcc" -std=c99 -Wall -Wextra -pedantic -Werror -I"$tgz_prefix/include" -c "$work/h.c" -o "$work/h.o"
echo "public headers under $triple-g++ -std=c++17 / -std=c99 with -Wall -Wextra -pedantic: ok"

# varnel-math report from each unpacked package under QEMU, run from a
# directory outside the source and build trees.
for program in "$work/deb/usr/bin/varnel-math" "$tgz_prefix/bin/varnel-math"; do
  data="$(dirname "$(dirname "$program")")/share/varnel-math/reference"
  report_from_package "$processor: $program (QEMU)" "$data" "^Against the reference data in $data:" "$work" "$run" "$program"
done

# The example consumers against the unpacked .tar.gz: the CMake package
# (C and C++), and the C program through pkg-config.
cmake -S examples/consumer -B "$work/consumer" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" -Dvarnel_math_DIR="$tgz_prefix/lib/cmake/varnel_math" >/dev/null
cmake --build "$work/consumer" >/dev/null
echo "--- example consumer (C, $processor, installed package, under QEMU) ---"
"$run" "$work/consumer/varnel-demo" | tee "$work/demo.txt"
grep -q '^varnel_acosh(0.5) .* EDOM$' "$work/demo.txt"
grep -q '^varnel_tgammaf(35.05f) .* ERANGE$' "$work/demo.txt"
echo "--- example consumer (C++) ---"
"$run" "$work/consumer/varnel-demo-cxx"
PKG_CONFIG_PATH="$tgz_prefix/lib/pkgconfig" PKG_CONFIG_LIBDIR="$tgz_prefix/lib/pkgconfig" \
  pkg-config --cflags --libs varnel_math_c99 varnel_math_c99f varnel_math_c99l >"$work/flags"
# shellcheck disable=SC2046
"$triple-gcc" -std=c99 -Wall -Wextra -pedantic -Werror examples/consumer/main.c -o "$work/demo-c" $(cat "$work/flags") \
  -Wl,-rpath,"$tgz_prefix/lib"
"$run" "$work/demo-c" >"$work/demo-c.txt"
cmp -s "$work/demo.txt" "$work/demo-c.txt" || { echo "the pkg-config consumer prints otherwise:"; cat "$work/demo-c.txt"; exit 1; }
echo "$processor consumers through find_package and pkg-config, under QEMU: ok"
