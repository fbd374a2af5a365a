#!/usr/bin/env python3
"""CHANGELOG.md: its check against VERSION, and its Debian form.

  changelog.py check CHANGELOG.md VERSION
      The changelog has the "Keep a Changelog" shape (an Unreleased section
      first, then released versions, newest first, each with a date and
      sections of the usual kinds), and its newest released version is the
      one in VERSION.  Fails with a message naming the first problem.

  changelog.py debian CHANGELOG.md --package NAME --maintainer "NAME <MAIL>" -o FILE
      Writes the released entries as a Debian changelog, compressed as a
      Debian package ships it (gzip -9n: no name, no time stamp), so that
      the same tree gives the same bytes.
"""
import argparse
import datetime
import gzip
import io
import re
import sys
import textwrap

KINDS = ("Added", "Changed", "Deprecated", "Removed", "Fixed", "Security")
RELEASE = re.compile(r"^## \[(\d+\.\d+\.\d+)\] - (\d{4}-\d{2}-\d{2})$")


class Problem(Exception):
    pass


def parse(path):
    """[(version or None for Unreleased, date or None, [(kind, [item])])]."""
    entries = []
    kind = None
    with open(path, encoding="utf-8") as f:
        lines = f.read().splitlines()
    for number, line in enumerate(lines, 1):
        where = f"{path}:{number}"
        if line.startswith("## "):
            if line == "## [Unreleased]":
                if entries:
                    raise Problem(f"{where}: Unreleased must be the first section")
                entries.append((None, None, []))
            else:
                m = RELEASE.match(line)
                if not m:
                    raise Problem(f"{where}: a release heading reads '## [X.Y.Z] - YYYY-MM-DD', not '{line}'")
                date = datetime.date.fromisoformat(m.group(2))
                entries.append((m.group(1), date, []))
            kind = None
        elif line.startswith("### "):
            if not entries:
                raise Problem(f"{where}: '{line}' outside a version")
            name = line[4:]
            if name not in KINDS:
                raise Problem(f"{where}: '{name}' is not one of {', '.join(KINDS)}")
            kind = (name, [])
            entries[-1][2].append(kind)
        elif line.startswith("- "):
            if kind is None:
                raise Problem(f"{where}: an item outside a section")
            kind[1].append(line[2:].strip())
        elif line.startswith("  ") and kind is not None and kind[1]:
            kind[1][-1] += " " + line.strip()
        elif line.strip() and entries:
            raise Problem(f"{where}: unexpected line inside a version: '{line}'")
    if not entries or entries[0][0] is not None:
        raise Problem(f"{path}: no Unreleased section at the top")
    released = entries[1:]
    if not released:
        raise Problem(f"{path}: no released version")
    for newer, older in zip(released, released[1:]):
        if tuple(map(int, newer[0].split("."))) <= tuple(map(int, older[0].split("."))) or newer[1] < older[1]:
            raise Problem(f"{path}: {newer[0]} is listed above {older[0]} but is not newer")
    for version, _, kinds in released:
        if not any(items for _, items in kinds):
            raise Problem(f"{path}: release {version} lists no change")
    return entries


def check(changelog, version_file):
    with open(version_file, encoding="utf-8") as f:
        version = f.read().strip()
    entries = parse(changelog)
    top = entries[1][0]
    if top != version:
        raise Problem(f"{changelog}: the newest release is {top}, but {version_file} says {version}")
    print(f"{changelog}: newest release {top} = {version_file}; {len(entries) - 1} release(s)")


def plain(text):
    """Markdown inline markup out: `code` and [text](link) become text."""
    text = re.sub(r"\[([^\]]*)\]\([^)]*\)", r"\1", text)
    return text.replace("`", "")


def debian(changelog, package, maintainer, output):
    out = io.StringIO()
    for version, date, kinds in parse(changelog)[1:]:
        out.write(f"{package} ({version}) unstable; urgency=medium\n\n")
        for kind, items in kinds:
            if not items:
                continue
            out.write(f"  * {kind}:\n")
            for item in items:
                lines = textwrap.wrap(plain(item), width=74)
                out.write(f"    - {lines[0]}\n")
                for line in lines[1:]:
                    out.write(f"      {line}\n")
        stamp = datetime.datetime.combine(date, datetime.time(), datetime.timezone.utc)
        out.write(f"\n -- {maintainer}  {stamp.strftime('%a, %d %b %Y %H:%M:%S +0000')}\n\n")
    data = out.getvalue().rstrip("\n").encode("utf-8") + b"\n"
    with open(output, "wb") as raw:
        with gzip.GzipFile(filename="", mode="wb", compresslevel=9, fileobj=raw, mtime=0) as z:
            z.write(data)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    sub = parser.add_subparsers(dest="command", required=True)
    c = sub.add_parser("check")
    c.add_argument("changelog")
    c.add_argument("version_file")
    d = sub.add_parser("debian")
    d.add_argument("changelog")
    d.add_argument("--package", required=True)
    d.add_argument("--maintainer", required=True)
    d.add_argument("-o", "--output", required=True)
    args = parser.parse_args()
    try:
        if args.command == "check":
            check(args.changelog, args.version_file)
        else:
            debian(args.changelog, args.package, args.maintainer, args.output)
    except (Problem, OSError, ValueError) as e:
        print(f"changelog.py: {e}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
