#!/usr/bin/env bash
# Checks the installed package as a user would meet it: versioned library
# files with SONAMEs, a C consumer built through pkg-config, a C++ consumer
# built through find_package, and public headers that compile cleanly under
# strict warnings.  Expects scripts/demo.sh to have installed into
# ./out/prefix.
set -euo pipefail
cd "$(dirname "$0")/.."
prefix="$PWD/out/prefix"
libdir="$prefix/lib"
[ -d "$libdir" ] || libdir="$prefix/lib64"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for lib in varnel_math_c99 varnel_math_c99f varnel_math_c99l varnel_stacktrace_dump; do
  [ -e "$libdir/lib$lib.so" ] || continue
  soname=$(readelf -d "$libdir/lib$lib.so" | sed -n 's/.*SONAME.*\[\(.*\)\]/\1/p')
  [ "$soname" = "lib$lib.so.1" ] || { echo "$lib: SONAME is '$soname'"; exit 1; }
  ls "$libdir"/lib$lib.so.1.* >/dev/null || { echo "$lib: no versioned file"; exit 1; }
done
echo "SONAMEs and versioned file names: ok"

export PKG_CONFIG_PATH="$libdir/pkgconfig"
cc -std=c99 -Wall -Wextra -pedantic -Werror examples/consumer/main.c -o "$work/demo-c" \
  $(pkg-config --cflags --libs varnel_math_c99 varnel_math_c99f varnel_math_c99l)
LD_LIBRARY_PATH="$libdir" "$work/demo-c" >/dev/null
echo "C consumer through pkg-config: ok"

for h in $(cd "$prefix/include" && find varnel -name '*.hpp'); do
  printf '#include <%s>\nint main() { return 0; }\n' "$h" > "$work/h.cpp"
  c++ -std=c++17 -Wall -Wextra -pedantic -Werror -I"$prefix/include" -c "$work/h.cpp" -o "$work/h.o" \
    || { echo "header $h does not compile cleanly"; exit 1; }
done
printf '#include <varnel/math/c99.h>\nint main(void) { return 0; }\n' > "$work/h.c"
cc -std=c99 -Wall -Wextra -pedantic -Werror -I"$prefix/include" -c "$work/h.c" -o "$work/h.o"
echo "public headers under -std=c99 / -std=c++17 with -Wall -Wextra -pedantic: ok"

# The .deb and .tar.gz of the Linux release (cpack --preset linux) hold the
# same installed tree.
if ls out/packages/varnel-math_*_amd64.deb >/dev/null 2>&1; then
  deb=$(dpkg-deb -c out/packages/varnel-math_*_amd64.deb)
  tgz=$(tar -tzf out/packages/varnel-math-*-linux-x86_64.tar.gz)
  for f in usr/lib/libvarnel_math_c99.so.1 usr/include/varnel/math/c99.h usr/bin/varnel-math \
           usr/lib/cmake/varnel_math/varnel_mathConfig.cmake; do
    grep -q " \./$f" <<<"$deb" || { echo ".deb lacks $f"; exit 1; }
    grep -q "/${f#usr/}$" <<<"$tgz" || { echo ".tar.gz lacks $f"; exit 1; }
  done
  echo "release packages (.deb, .tar.gz): ok"
fi
