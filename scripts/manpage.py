#!/usr/bin/env python3
"""A manual page as installed: docs/man/<page> with @VERSION@ (from VERSION)
and @DATE@ (the date of that version in CHANGELOG.md) filled in.

  manpage.py SOURCE OUTPUT [--gzip] --version-file VERSION --changelog CHANGELOG.md

With --gzip the page is compressed as Debian ships manual pages (gzip -9n:
no name, no time stamp).
"""
import argparse
import gzip
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import changelog  # noqa: E402


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("source")
    parser.add_argument("output")
    parser.add_argument("--gzip", action="store_true")
    parser.add_argument("--version-file", required=True)
    parser.add_argument("--changelog", required=True)
    args = parser.parse_args()
    try:
        with open(args.version_file, encoding="utf-8") as f:
            version = f.read().strip()
        dates = {v: d for v, d, _ in changelog.parse(args.changelog)[1:]}
        if version not in dates:
            raise changelog.Problem(f"{args.changelog} has no release {version}")
        with open(args.source, encoding="utf-8") as f:
            text = f.read()
        if "@VERSION@" not in text or "@DATE@" not in text:
            raise changelog.Problem(f"{args.source}: no @VERSION@ and @DATE@ in its .TH line")
        data = text.replace("@VERSION@", version).replace("@DATE@", dates[version].isoformat()).encode("utf-8")
        if args.gzip:
            with open(args.output, "wb") as raw:
                with gzip.GzipFile(filename="", mode="wb", compresslevel=9, fileobj=raw, mtime=0) as z:
                    z.write(data)
        else:
            with open(args.output, "wb") as f:
                f.write(data)
    except (changelog.Problem, OSError, ValueError) as e:
        print(f"manpage.py: {e}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
