#!/usr/bin/env python3
"""Checks every table value of the library against the decimal beside it.

usage: check_tables.py [--regenerate SCRIPT HEADER] HEADER...

Tables and constants are typed once, as exact binary64 (or binary32) hex
literals, with the decimal they stand for in the comment beside them.  On
every line where a hex literal is followed by a comment, the first number in
that comment (after a label such as "5! =") must be exactly the literal's
value: a one-bit slip in either fails.  A literal that ends an array
element (a comma follows it) must have such a comment.  With --regenerate,
HEADER must also be exactly what the generator SCRIPT prints (needs
mpmath).
"""
import re
import subprocess
import sys

HEX = r"-?0x[0-9a-fA-F]+(?:\.[0-9a-fA-F]*)?p[+-]?\d+"
# A hex literal (float suffix allowed), then only punctuation up to the end
# of the line or to a comment.
LITERAL = re.compile(r"(" + HEX + r")[fFlL]?([\s,;{}()]*)(//\s*(.*))?$")
NUMBER = re.compile(r"^[-+]?(\d+\.?\d*|\.\d+)([eE][-+]?\d+)?$|^[-+]?inf$")


def first_number(comment):
    for token in comment.replace(",", " ").split()[:4]:
        if NUMBER.match(token):
            return token
    return None


def check(path):
    problems, count = [], 0
    for n, text in enumerate(open(path, encoding="utf-8"), 1):
        code = text.rstrip("\n")
        m = LITERAL.search(code)
        if not m or code.lstrip().startswith("//"):
            continue
        literal, between, comment = m.group(1), m.group(2), m.group(4)
        if comment is None:
            if "," in between:
                problems.append(f"{path}:{n}: table value {literal} has no decimal beside it")
            continue
        count += 1
        decimal = first_number(comment)
        if decimal is None:
            problems.append(f"{path}:{n}: the comment after {literal} names no decimal")
        elif float(decimal) != float.fromhex(literal):
            problems.append(f"{path}:{n}: {literal} is {float.fromhex(literal)!r}, "
                            f"the comment says {decimal}")
    return count, problems


def main(argv):
    args = argv[1:]
    regenerate = None
    if len(args) >= 3 and args[0] == "--regenerate":
        regenerate, args = (args[1], args[2]), args[3:]
    problems, total = [], 0
    for path in args:
        count, p = check(path)
        total += count
        problems += p
    if regenerate is not None:
        script, header = regenerate
        r = subprocess.run([sys.executable, script, "--check", header], capture_output=True, text=True)
        if r.returncode != 0:
            problems.append((r.stdout + r.stderr).strip() or f"{header} differs from {script}'s output")
    for p in problems:
        print(p)
    print(f"{total} table values checked in {len(args)} headers")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
