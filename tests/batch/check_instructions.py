#!/usr/bin/env python3
"""Checks the instructions of the built batch library (or, with --scalar,
of a scalar math library).

usage: check_instructions.py [--scalar] LIBRARY [OBJDUMP]

Fails when the disassembly holds a fused multiply-add (results would differ
from the scalar code's separate roundings), a reciprocal or reciprocal
square-root estimate (their results differ between processors), or, in a
Windows DLL, an aligned 32- or 64-byte load or store relative to the stack
or frame pointer (GCC cannot keep 32-byte stack alignment on Windows, so
such a spill can fault).  Fails too when no vector instruction of the
widest level is found at all on x86-64: then the check would see nothing
(not with --scalar, for the libraries that have no vector levels).
The instructions are each processor's: x86-64, AArch64 (where compilers
fuse by default) and s390x; a library for another processor fails, since
the check would not know what to look for.
"""
import re
import shutil
import subprocess
import sys

# objdump -f names the architecture; each has its fused multiply-adds and
# estimates.
X86_64 = "i386:x86-64"
FMA = {
    X86_64: re.compile(r"\bv?f(n)?m(add|sub|addsub|subadd)(132|213|231)?[ps][sd]\b"),
    # fmadd, fmsub, fnmadd, fnmsub (scalar), fmla, fmls (vector), and the
    # Newton steps frecps, frsqrts, which fuse too.
    "aarch64": re.compile(r"\b(f(n)?m(add|sub)|fml[as]|frecps|frsqrts)\b"),
    # madbr, msdbr, maebr ... (binary floating point) and the vector forms
    # vfmadb, wfmsdb, wfnmasb ...
    "s390:64-bit": re.compile(r"\b(m[as][de]br?|[vw]fn?m[as][sdx]b)\b"),
}
ESTIMATE = {
    X86_64: re.compile(r"\bv?(rcp|rsqrt)(14|28)?[ps]s\b"),
    "aarch64": re.compile(r"\bf(recpe|rsqrte|recpx)\b"),
    "s390:64-bit": None,  # no estimate instructions
}
ALIGNED_STACK = re.compile(r"\bv(movapd|movaps|movdqa|movdqa32|movdqa64)\b[^\n]*%[yz]mm\d+[^\n]*\((%rsp|%rbp)\)"
                           r"|\bv(movapd|movaps|movdqa|movdqa32|movdqa64)\b[^\n]*\((%rsp|%rbp)\)[^\n]*%[yz]mm\d+")


def main(argv):
    scalar = "--scalar" in argv
    argv = [a for a in argv if a != "--scalar"]
    if len(argv) < 2:
        sys.exit(__doc__)
    library = argv[1]
    objdump = argv[2] if len(argv) > 2 and argv[2] else shutil.which("objdump")
    header = subprocess.run([objdump, "-f", library], check=True, capture_output=True, text=True).stdout
    found = re.search(r"architecture: ([^,\s]+)", header)
    arch = found.group(1) if found else "unknown"
    if arch not in FMA:
        sys.exit(f"{library}: architecture {arch}: no list of its fused multiply-adds here")
    text = subprocess.run([objdump, "-d", "--no-show-raw-insn", library], check=True, capture_output=True,
                          text=True).stdout
    lines = text.splitlines()
    fma, estimate = FMA[arch], ESTIMATE[arch]
    problems = []
    for line in lines:
        # The mnemonic only: symbol names in <...> could spell anything.
        code = re.sub(r"<[^>]*>", "", line.split("\t", 1)[1]) if "\t" in line else ""
        if fma.search(code):
            problems.append(f"fused multiply-add: {line.strip()}")
        elif estimate and estimate.search(code):
            problems.append(f"estimate: {line.strip()}")
        elif library.lower().endswith(".dll") and ALIGNED_STACK.search(code):
            problems.append(f"aligned vector access to the stack: {line.strip()}")
    x86 = arch == X86_64
    wide = sum(1 for line in lines if "%zmm" in line)
    if x86 and wide == 0 and not scalar:
        problems.append("no 512-bit instruction found: the library has no AVX-512F level, or this check reads "
                        "the wrong file")
    for p in problems[:20]:
        print(p)
    print(f"{library} ({arch}): {len(lines)} lines, {wide} with 512-bit registers, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
