#!/usr/bin/env python3
"""Checks the export table of one library of the project.

usage: check_exports.py LIBRARY LINKER_LIST [--complete]

LIBRARY is an ELF shared object or a Windows DLL; LINKER_LIST is the
version script or the .def file the build wrote for it.  Fails when the
library exports a symbol outside its surface (for a math library the 20 C
functions and the 6 classification instantiations of its precision, for
the batch library the 40 array functions and varnel_batch_isa, for the
stack-frame capture library its 3 functions), when a
name of the linker list is missing from the library, or when the list names
something outside the surface.  With --complete every name of the surface
must be exported.

A DLL exports each C++ function twice, under its Itanium (MinGW) name and
under its MSVC name, both at the same address; the MSVC name must decorate
the same declaration.
"""
import re
import shutil
import subprocess
import sys

C_FUNCTIONS = """acosh asinh atanh cbrt copysign erf erfc expm1 fmax fmin hypot lgamma
llround log1p lround nextafter nexttoward round tgamma trunc""".split()
CLASSIFICATION = [("int", "fpclassify"), ("bool", "isfinite"), ("bool", "isinf"),
                  ("bool", "isnan"), ("bool", "isnormal"), ("bool", "signbit")]
PRECISIONS = {"varnel_math_c99": ("", "double"),
              "varnel_math_c99f": ("f", "float"),
              "varnel_math_c99l": ("l", "long double")}
STACKTRACE = ["varnel::stacktrace::detail::this_thread_frames::collect"
              "(void const**, SIZE, SIZE)",
              "varnel::stacktrace::detail::dump(void*, void const* const*, SIZE)",
              "varnel::stacktrace::detail::dump(char const*, void const* const*, SIZE)"]


def surface(stem, size_type, long_double="long double"):
    if stem == "varnel_math_batch":
        return {f"varnel_{f}{s}_n" for f in C_FUNCTIONS for s in ("", "f")} | {"varnel_batch_isa"}
    if stem == "varnel_stacktrace_dump":
        return {s.replace("SIZE", size_type) for s in STACKTRACE}
    suffix, type_ = PRECISIONS[stem]
    type_ = long_double if type_ == "long double" else type_
    names = {f"varnel_{f}{suffix}" for f in C_FUNCTIONS}
    names |= {f"{r} varnel::math::tr1::{f}<{type_}>({type_})" for r, f in CLASSIFICATION}
    return names


def tool(*candidates):
    for c in candidates:
        if shutil.which(c):
            return c
    sys.exit(f"none of {candidates} found")


def demangle(names):
    out = subprocess.run([tool("c++filt", "llvm-cxxfilt")], input="\n".join(names), check=True,
                         capture_output=True, text=True).stdout.splitlines()
    return out


def msvc_declaration(name):
    """The declaration an MSVC-decorated name stands for, written the way
    c++filt writes Itanium names (from the qualified name on)."""
    text = subprocess.run([tool("llvm-undname", "llvm-undname-14"), name], check=True,
                          capture_output=True, text=True).stdout.strip().splitlines()[-1]
    text = text.replace("unsigned __int64", "unsigned long long").replace("__int64", "long long")
    return text[text.index("varnel::"):]


def comparable(declaration):
    """From the qualified name on, with no spaces around '*' (the two
    demanglers space pointers differently)."""
    if "varnel::" in declaration:
        declaration = declaration[declaration.index("varnel::"):]
    return re.sub(r"\s*\*\s*", "*", declaration)


def elf_exports(library):
    out = subprocess.run(["nm", "-D", "--defined-only", "--format=posix", library],
                         check=True, capture_output=True, text=True).stdout
    return set(demangle([line.split()[0] for line in out.splitlines() if line.strip()])), []


def pe_exports(library):
    out = subprocess.run([tool("llvm-readobj", "llvm-readobj-14"), "--coff-exports", library],
                         check=True, capture_output=True, text=True).stdout
    table = re.findall(r"Name: (\S+)\s+RVA: (0x[0-9A-Fa-f]+)", out)
    problems, have = [], set()
    plain = {n: rva for n, rva in table if not n.startswith("?")}
    msvc = {n: rva for n, rva in table if n.startswith("?")}
    readable = dict(zip(plain, demangle(list(plain))))
    have |= set(readable.values())
    for n, rva in msvc.items():
        twins = [readable[p] for p, r in plain.items() if r == rva and p.startswith("_Z")]
        declared = msvc_declaration(n)
        if not any(comparable(t) == comparable(declared) for t in twins):
            problems.append(f"MSVC name {n} ({declared}) is not an alias of the same function "
                            f"under its MinGW name ({twins})")
    for p, r in plain.items():
        if p.startswith("_Z") and list(msvc.values()).count(r) != 1:
            problems.append(f"{readable[p]}: expected exactly one MSVC-decorated alias")
    return have, problems


def listed(linker_list):
    text = open(linker_list, encoding="utf-8").read()
    if linker_list.endswith(".def"):
        body = text.split("EXPORTS", 1)[1]
        names = [re.sub(r'"', "", line.split("=")[0]).strip()
                 for line in body.splitlines() if line.strip() and not line.startswith(";")]
        return set(demangle([n for n in names if not n.startswith("?")]))
    text = re.sub(r"/\*.*?\*/", "", text, flags=re.S)
    names = text.split("global:", 1)[1].split("local:", 1)[0]
    return set(demangle(re.findall(r"([^\s;]+)\s*;", names)))


def long_double_spelling(library):
    """long double as c++filt writes the C++ names of the library: GCC
    mangles s390x's binary128 long double as 'g' (to tell it from the
    binary64 one of older ABIs), which demanglers print as __float128; every
    other ELF platform here mangles it 'e'."""
    header = open(library, "rb").read(20)
    if header[:4] != b"\x7fELF":
        return "long double"
    machine = int.from_bytes(header[18:20], "big" if header[5] == 2 else "little")
    return "__float128" if machine == 22 else "long double"  # EM_S390


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    complete = "--complete" in sys.argv
    library, linker_list = args
    stem = re.search(r"(varnel_math_c99[fl]?|varnel_math_batch|varnel_stacktrace_dump)\.(so|dll)", library).group(1)
    is_pe = open(library, "rb").read(2) == b"MZ"
    have, problems = pe_exports(library) if is_pe else elf_exports(library)
    # std::size_t is unsigned long on 64-bit Linux, unsigned long long on Windows.
    expected = surface(stem, "unsigned long long" if is_pe else "unsigned long", long_double_spelling(library))
    names = listed(linker_list)
    problems += [f"exported but not part of the surface: {n}" for n in sorted(have - expected)]
    problems += [f"listed for the linker but not part of the surface: {n}"
                 for n in sorted(names - expected)]
    problems += [f"listed for the linker but not exported: {n}" for n in sorted(names - have)]
    if complete:
        problems += [f"missing from the surface: {n}" for n in sorted(expected - have)]
    for p in problems:
        print(f"{stem}: {p}")
    print(f"{stem}: {len(have)} exported, {len(expected)} in the surface")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
