#!/usr/bin/env python3
"""Checks from the include lines that the layers run one way.

Headers under include/varnel/math: a header includes only headers of its own
layer or a lower one, lowest first:

  config.h                          platform facts
  tools/, constants.hpp             limits, bit layouts and bit tools
  policies/                         error actions, narrow_result
  elementary/                       exp, log, pow, sin, expm1, log1p
  special_functions/                the families
  c99.h, tr1.hpp, batch.h           the interfaces

The programs: cli/, bench/ and tests/ share common/ and never include from
one another's folder (nor do their CMake files add such a folder to the
include path).

usage: check-layers.py [REPO]   (default: the repository holding this script)
"""
import os
import re
import sys

LAYERS = [("config.h", 0), ("tools/", 1), ("constants.hpp", 1), ("policies/", 2), ("elementary/", 3),
          ("special_functions/", 4), ("c99.h", 5), ("tr1.hpp", 5), ("batch.h", 5)]
INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^>"]+)[>"]', re.M)
ROOMS = ("cli", "bench", "tests")


def layer_of(path):
    """The layer of a path relative to include/varnel/math, or None."""
    for prefix, rank in LAYERS:
        if path == prefix or (prefix.endswith("/") and path.startswith(prefix)):
            return rank
    return None


def check_headers(root, problems):
    base = os.path.join(root, "include", "varnel", "math")
    count = 0
    for dirpath, _, files in os.walk(base):
        for name in files:
            path = os.path.join(dirpath, name)
            rel = os.path.relpath(path, base).replace(os.sep, "/")
            own = layer_of(rel)
            if own is None:
                problems.append(f"include/varnel/math/{rel}: in no layer (add it to scripts/check-layers.py)")
                continue
            count += 1
            for target in INCLUDE.findall(open(path, encoding="utf-8").read()):
                if not target.startswith("varnel/math/"):
                    continue
                other = layer_of(target[len("varnel/math/"):])
                if other is None:
                    continue  # generated beside the interfaces (the build's include directory)
                if other > own:
                    problems.append(f"include/varnel/math/{rel} includes {target}, a higher layer")
    return count


def check_rooms(root, problems):
    count = 0
    for room in ROOMS:
        others = [r for r in ROOMS if r != room]
        for dirpath, _, files in os.walk(os.path.join(root, room)):
            for name in files:
                path = os.path.join(dirpath, name)
                rel = os.path.relpath(path, root)
                text = open(path, encoding="utf-8", errors="replace").read()
                if name.endswith((".c", ".cpp", ".h", ".hpp")):
                    count += 1
                    for target in INCLUDE.findall(text):
                        parts = target.split("/")
                        if ".." in parts or parts[0] in others:
                            problems.append(f"{rel} includes {target}, from outside {room}/ and common/")
                            continue
                        # Found beside the file, in its own room or in common/: fine.  Found only
                        # in another room: that room is on the include path.
                        if any(os.path.exists(os.path.join(d, target))
                               for d in (dirpath, os.path.join(root, room), os.path.join(root, "common"))):
                            continue
                        for r in others:
                            if os.path.exists(os.path.join(root, r, target)):
                                problems.append(f"{rel} includes {target}, which only {r}/ has")
                if name == "CMakeLists.txt":
                    for r in others:
                        if re.search(r"\$\{(PROJECT|CMAKE)_SOURCE_DIR\}/" + r + r"\b", text):
                            problems.append(f"{rel} names the folder {r}/")
    return count


def main(argv):
    root = argv[1] if len(argv) > 1 else os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    problems = []
    headers = check_headers(root, problems)
    files = check_rooms(root, problems)
    if headers == 0 or files == 0:
        sys.exit(f"check-layers: found {headers} headers and {files} program files under {root}: nothing to check")
    for p in problems:
        print(p)
    print(f"check-layers: {headers} headers and {files} files of cli/, bench/, tests/: "
          f"{'every include runs one way' if not problems else f'{len(problems)} problems'}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
