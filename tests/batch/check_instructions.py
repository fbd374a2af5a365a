#!/usr/bin/env python3
"""Checks the instructions of the built batch library.

usage: check_instructions.py LIBRARY [OBJDUMP]

Fails when the disassembly holds a fused multiply-add (results would differ
from the scalar code's separate roundings), a reciprocal or reciprocal
square-root estimate (their results differ between processors), or, in a
Windows DLL, an aligned 32- or 64-byte load or store relative to the stack
or frame pointer (GCC cannot keep 32-byte stack alignment on Windows, so
such a spill can fault).  Fails too when no vector instruction of the
widest level is found at all: then the check would see nothing.
"""
import re
import shutil
import subprocess
import sys

FMA = re.compile(r"\bv?f(n)?m(add|sub|addsub|subadd)(132|213|231)?[ps][sd]\b")
ESTIMATE = re.compile(r"\bv?(rcp|rsqrt)(14|28)?[ps]s\b")
ALIGNED_STACK = re.compile(r"\bv(movapd|movaps|movdqa|movdqa32|movdqa64)\b[^\n]*%[yz]mm\d+[^\n]*\((%rsp|%rbp)\)"
                           r"|\bv(movapd|movaps|movdqa|movdqa32|movdqa64)\b[^\n]*\((%rsp|%rbp)\)[^\n]*%[yz]mm\d+")


def main(argv):
    if len(argv) < 2:
        sys.exit(__doc__)
    library = argv[1]
    objdump = argv[2] if len(argv) > 2 and argv[2] else shutil.which("objdump")
    text = subprocess.run([objdump, "-d", "--no-show-raw-insn", library], check=True, capture_output=True,
                          text=True).stdout
    lines = text.splitlines()
    problems = []
    for line in lines:
        if FMA.search(line):
            problems.append(f"fused multiply-add: {line.strip()}")
        elif ESTIMATE.search(line):
            problems.append(f"estimate: {line.strip()}")
        elif library.lower().endswith(".dll") and ALIGNED_STACK.search(line):
            problems.append(f"aligned vector access to the stack: {line.strip()}")
    x86 = "x86-64" in subprocess.run([objdump, "-f", library], capture_output=True, text=True).stdout
    wide = sum(1 for line in lines if "%zmm" in line)
    if x86 and wide == 0:
        problems.append("no 512-bit instruction found: the library has no AVX-512F level, or this check reads "
                        "the wrong file")
    for p in problems[:20]:
        print(p)
    print(f"{library}: {len(lines)} lines, {wide} with 512-bit registers, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
