#!/usr/bin/env python3
"""Checks the dynamic symbol table of one library of the project.

usage: check_exports.py LIBRARY VERSION_SCRIPT [--complete]

Fails when the library exports a symbol outside its specified surface (for a
math library the 20 C functions and the 6 classification instantiations of
its precision, for the stack-frame capture library its 3 functions), when a
name of the version script is missing from the library, or when the version
script lists a name outside the surface.  With --complete every name of the
surface must be exported.
"""
import re
import subprocess
import sys

C_FUNCTIONS = """acosh asinh atanh cbrt copysign erf erfc expm1 fmax fmin hypot lgamma
llround log1p lround nextafter nexttoward round tgamma trunc""".split()
CLASSIFICATION = [("int", "fpclassify"), ("bool", "isfinite"), ("bool", "isinf"),
                  ("bool", "isnan"), ("bool", "isnormal"), ("bool", "signbit")]
PRECISIONS = {"varnel_math_c99": ("", "double"),
              "varnel_math_c99f": ("f", "float"),
              "varnel_math_c99l": ("l", "long double")}
STACKTRACE = {
    "varnel_stacktrace_dump": {
        "varnel::stacktrace::detail::this_thread_frames::collect"
        "(void const**, unsigned long, unsigned long)",
        "varnel::stacktrace::detail::dump(void*, void const* const*, unsigned long)",
        "varnel::stacktrace::detail::dump(char const*, void const* const*, unsigned long)",
    }
}


def surface(stem):
    if stem in STACKTRACE:
        return set(STACKTRACE[stem])
    suffix, type_ = PRECISIONS[stem]
    names = {f"varnel_{f}{suffix}" for f in C_FUNCTIONS}
    names |= {f"{r} varnel::math::tr1::{f}<{type_}>({type_})" for r, f in CLASSIFICATION}
    return names


def demangle(names):
    out = subprocess.run(["c++filt"], input="\n".join(names), check=True,
                         capture_output=True, text=True).stdout.splitlines()
    return set(out)


def exported(library):
    out = subprocess.run(["nm", "-D", "--defined-only", "--format=posix", library],
                         check=True, capture_output=True, text=True).stdout
    return demangle([line.split()[0] for line in out.splitlines() if line.strip()])


def scripted(version_script):
    text = re.sub(r"/\*.*?\*/", "", open(version_script).read(), flags=re.S)
    listed = text.split("global:", 1)[1].split("local:", 1)[0]
    return demangle(re.findall(r"([^\s;]+)\s*;", listed))


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    complete = "--complete" in sys.argv
    library, version_script = args
    stem = re.search(r"lib(varnel_math_c99[fl]?|varnel_stacktrace_dump)\.so", library).group(1)
    spec, have, listed = surface(stem), exported(library), scripted(version_script)
    problems = []
    problems += [f"exported but not part of the surface: {n}" for n in sorted(have - spec)]
    problems += [f"listed in the version script but not part of the surface: {n}"
                 for n in sorted(listed - spec)]
    problems += [f"listed in the version script but not exported: {n}"
                 for n in sorted(listed - have)]
    if complete:
        problems += [f"missing from the surface: {n}" for n in sorted(spec - have)]
    for p in problems:
        print(f"{stem}: {p}")
    print(f"{stem}: {len(have)} exported, {len(spec)} in the surface")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
