#!/usr/bin/env python3
"""Compares the golden digests of two platforms.

usage: check_platforms.py LINUX_DIGESTS OTHER_DIGESTS

Both files list the same exports.  A line of OTHER_DIGESTS without a fourth
column (the reason it may differ: platform functions, long double, long,
class values) must record exactly the Linux line's digest and input count:
those exports call nothing of the platform that differs, so every result
bit and every errno must agree.
"""
import sys

REASONS = {"platform functions", "long double", "long", "class values"}


def read(path):
    entries = {}
    for line in open(path, encoding="utf-8"):
        line = line.rstrip("\n")
        if not line or line.startswith("#"):
            continue
        fields = line.split("\t")
        entries[fields[0]] = (fields[1:3], fields[3] if len(fields) > 3 else None)
    return entries


def main():
    linux, other = read(sys.argv[1]), read(sys.argv[2])
    problems = []
    if set(linux) != set(other):
        problems.append(f"the files list different exports: {sorted(set(linux) ^ set(other))}")
    shared = 0
    for name, (record, reason) in other.items():
        if reason is not None:
            if reason not in REASONS:
                problems.append(f"{name}: unknown reason {reason!r}")
            continue
        shared += 1
        if name in linux and linux[name][0] != record:
            problems.append(f"{name}: {record} here, {linux[name][0]} on Linux")
    for p in problems:
        print(p)
    print(f"{shared} exports shared, {len(other) - shared} differing by design")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
