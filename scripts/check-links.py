#!/usr/bin/env python3
"""Checks every link of the project's Markdown files (README.md, docs/ and
the others outside build and output directories): a relative link must
name a file or directory of the tree, and a #fragment a heading or an
<a id="..."> anchor of the page it points to.  Links leave the repository
nowhere: CI has no network, so a link to a web address fails too.

  check-links.py [ROOT]

Fails when a link does not resolve, and when there is nothing to check
(no Markdown file, or no link at all).
"""
import os
import re
import sys

SKIP_DIRS = {".git", "out", "node_modules"}
LINK = re.compile(r"(?<!!)\[([^\]]*)\]\(([^)\s]+)\)")
IMAGE = re.compile(r"!\[([^\]]*)\]\(([^)\s]+)\)")
ANCHOR = re.compile(r'<a\s+(?:id|name)="([^"]+)"')


def markdown_files(root):
    for directory, dirs, files in os.walk(root):
        dirs[:] = sorted(d for d in dirs if d not in SKIP_DIRS and not d.startswith("build"))
        for name in sorted(files):
            if name.endswith(".md"):
                yield os.path.join(directory, name)


def without_code(text):
    """The text with fenced blocks and inline code blanked (links there are examples)."""
    text = re.sub(r"^```.*?^```", lambda m: "\n" * m.group(0).count("\n"), text, flags=re.S | re.M)
    return re.sub(r"`[^`\n]*`", "", text)


def slug(heading):
    """A heading's anchor as the common Markdown renderers form it."""
    s = re.sub(r"<[^>]+>", "", heading).strip().lower()
    s = re.sub(r"[`*_]", "", s)
    s = re.sub(r"[^\w\- ]", "", s)
    return s.replace(" ", "-")


_anchors = {}


def anchors(path):
    if path not in _anchors:
        with open(path, encoding="utf-8") as f:
            text = f.read()
        found, seen = set(ANCHOR.findall(text)), {}
        for line in without_code(text).splitlines():
            m = re.match(r"^(#{1,6})\s+(.*?)\s*#*\s*$", line)
            if m:
                s = slug(m.group(2))
                n = seen.get(s, 0)
                seen[s] = n + 1
                found.add(s if n == 0 else f"{s}-{n}")
        _anchors[path] = found
    return _anchors[path]


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), ".."))
    files = list(markdown_files(root))
    problems, links = [], 0
    for path in files:
        rel = os.path.relpath(path, root)
        with open(path, encoding="utf-8") as f:
            text = without_code(f.read())
        for number, line in enumerate(text.splitlines(), 1):
            for _, target in LINK.findall(line) + IMAGE.findall(line):
                links += 1
                where = f"{rel}:{number}: {target}"
                if re.match(r"^[a-z][a-z0-9+.-]*:", target):
                    problems.append(f"{where}: leaves the repository (not checkable without a network)")
                    continue
                file_part, _, fragment = target.partition("#")
                destination = os.path.normpath(os.path.join(os.path.dirname(path), file_part)) if file_part else path
                if not os.path.exists(destination):
                    problems.append(f"{where}: no such file")
                    continue
                if not os.path.realpath(destination).startswith(root + os.sep) and os.path.realpath(destination) != root:
                    problems.append(f"{where}: outside the repository")
                    continue
                if fragment:
                    if not destination.endswith(".md"):
                        problems.append(f"{where}: a fragment of a file that is not Markdown")
                    elif fragment not in anchors(destination):
                        problems.append(f"{where}: no heading or anchor '{fragment}' there")
    for p in problems:
        print(p)
    if not files or links == 0:
        print(f"check-links: nothing to check under {root} ({len(files)} Markdown files, {links} links)")
        return 1
    if problems:
        print(f"check-links: {len(problems)} of {links} links do not resolve")
        return 1
    print(f"check-links: {links} links in {len(files)} Markdown files resolve")
    return 0


if __name__ == "__main__":
    sys.exit(main())
