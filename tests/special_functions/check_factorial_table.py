#!/usr/bin/env python3
"""Checks factorial_table in gamma.hpp against exact integer arithmetic:
171 entries, entry k the binary64 nearest to k! (ties to even), and the
decimal written beside each entry naming the same number.

usage: check_factorial_table.py GAMMA_HEADER
"""
import math
import re
import sys
from fractions import Fraction


def nearest_binary64(n):
    """k! rounded to nearest binary64, ties to even, by exact arithmetic."""
    e = n.bit_length() - 53          # scale so that the significand has 53 bits
    if e <= 0:
        return float(n)             # exact
    q, r = divmod(n, 1 << e)
    half = 1 << (e - 1)
    if r > half or (r == half and q & 1):
        q += 1
    return math.ldexp(float(q), e)  # q < 2^54, exact


def main():
    text = open(sys.argv[1]).read()
    body = re.search(r"factorial_table\[171\]\s*=\s*\{(.*?)\n\};", text, re.S)
    if not body:
        print("factorial_table[171] not found")
        return 1
    entries = re.findall(r"^\s*(0x[0-9a-fA-F.]+p[+-]\d+),\s*//\s*(\d+)! = (\S+)$", body.group(1), re.M)
    problems = []
    if len(entries) != 171:
        problems.append("expected 171 entries, found %d" % len(entries))
    for k, (hex_text, index, decimal) in enumerate(entries):
        value = float.fromhex(hex_text)
        if int(index) != k:
            problems.append("entry %d is labelled %s!" % (k, index))
        expected = nearest_binary64(math.factorial(k))
        if value != expected:
            problems.append("entry %d: %s, nearest binary64 to %d! is %s"
                            % (k, hex_text, k, expected.hex()))
        if float(decimal) != value:
            problems.append("entry %d: comment %s names another number than %s" % (k, decimal, hex_text))
        if k <= 22 and Fraction(value) != math.factorial(k):
            problems.append("entry %d should be exact" % k)
    for p in problems:
        print(p)
    print("%d entries checked" % len(entries))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
