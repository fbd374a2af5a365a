#!/usr/bin/env python3
"""Writes the golden digests of the portable build (VARNEL_MATH_ELEMENTARY=
portable) from its two platforms' outputs.

usage: merge_portable.py LINUX_OUTPUT WINDOWS_OUTPUT WINDOWS_DIGESTS > digests-portable.txt

LINUX_OUTPUT and WINDOWS_OUTPUT are what golden_digest prints in the
portable build on each platform (under Wine for Windows); WINDOWS_DIGESTS is
tests/golden/digests-windows.txt, whose fourth column says why an export of
the platform build may differ between the platforms.  In the portable build
the C runtime's transcendental functions are out of the picture, so an
export may differ only where the width of long, the format of long double
or fpclassify's class values change its answer by definition; anything
else that differs is an error.  Exports that agree get one line, the others
one line per platform, marked linux or windows.
"""
import sys

BY_DEFINITION = {"long", "long double", "class values"}


def read(path):
    rows = {}
    for line in open(path, encoding="utf-8"):
        line = line.rstrip("\r\n")
        if line and not line.startswith("#"):
            fields = line.split("\t")
            rows[fields[0]] = fields[1:4]
    return rows


def main():
    linux, windows, reasons = read(sys.argv[1]), read(sys.argv[2]), read(sys.argv[3])
    if list(linux) != list(windows):
        sys.exit("the two outputs list different exports")
    out = ["# export\tFNV-1a 64 of results and errno\tinputs\t[platform]",
           "#",
           "# The portable build (VARNEL_MATH_ELEMENTARY=portable): the same on Linux",
           "# and Windows, under GCC and Clang at every optimisation level.  A line",
           "# marked linux or windows holds on that platform only: there the width of",
           "# long, the format of long double or fpclassify's classes change the",
           "# answers by definition.  Written by tests/golden/merge_portable.py."]
    bad = []
    for name, record in linux.items():
        if record == windows[name]:
            out.append("\t".join([name] + record))
            continue
        reason = reasons.get(name, [None, None, None])[2]
        if reason not in BY_DEFINITION:
            bad.append(f"{name} differs between the platforms ({reason or 'no reason to'})")
        out.append("\t".join([name] + record + ["linux"]))
        out.append("\t".join([name] + windows[name] + ["windows"]))
    if bad:
        sys.exit("\n".join(bad))
    print("\n".join(out))


if __name__ == "__main__":
    main()
