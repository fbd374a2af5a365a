#!/usr/bin/env python3
"""Writes one library's exports, from the one list in src/exports.txt, in
the form its linker reads.

usage:
  exports.py version-script LIST SECTION OUT [options]
  exports.py def LIST SECTION OUT --dll NAME [--import-def OUT2]
             [--msvc-cxx CLANG --msvc-nm NM] [options]

options:
  -D NAME=VALUE   replaces @NAME@ in the section's lines (S, T)
  --cxx PATH      the compiler that builds the library
  --flag F        a flag for it (repeatable)
  --nm PATH       an nm that reads its object files

A C entry is exported under its name.  A C++ entry is exported under the
decorated name the library's compiler gives it: the script compiles a probe
that declares the entry and refers to it, and reads the one undefined symbol
of the probe's object.  With --msvc-cxx the same probe is compiled for the
MSVC ABI too, and the .def exports the entry a second time under MSVC's
decorated name, as an alias of the first.  The .def named by --import-def
lists every exported name once, for an import library.

version-script: an ELF version script, every listed name global, the rest
local.  def: a module-definition file for the GNU linker.
"""
import argparse
import os
import re
import subprocess
import sys
import tempfile

PROBE = """namespace std {{ using size_t = decltype(sizeof 0); }}
{declaration}
extern "C" const void* varnel_exports_probe() {{ return reinterpret_cast<const void*>({entity}); }}
"""


def read_section(path, section, defines):
    entries, current = [], None
    for raw in open(path, encoding="utf-8"):
        line = raw.strip()
        if not line or line.startswith("#"):
            continue
        m = re.fullmatch(r"\[(\w+)\]", line)
        if m:
            current = m.group(1)
            continue
        if current != section:
            continue
        for name, value in defines.items():
            line = line.replace(f"@{name}@", value)
        if "@" in re.sub(r"\"[^\"]*\"", "", line):
            sys.exit(f"{path}: unreplaced placeholder in: {line}")
        kind, _, rest = line.partition(" ")
        if kind == "c":
            entries.append(("c", rest.strip(), None))
        elif kind == "cxx":
            declaration, bar, entity = rest.partition("|")
            if not bar:
                sys.exit(f"{path}: a cxx entry needs '<declaration> | <entity>': {line}")
            entries.append(("cxx", declaration.strip(), entity.strip()))
        else:
            sys.exit(f"{path}: unknown entry kind {kind!r}")
    if not entries:
        sys.exit(f"{path}: no entries in section [{section}]")
    return entries


def decorated_name(compiler, flags, nm, declaration, entity, workdir, tag):
    source = os.path.join(workdir, f"probe_{tag}.cpp")
    obj = os.path.join(workdir, f"probe_{tag}.o")
    with open(source, "w", encoding="utf-8") as f:
        f.write(PROBE.format(declaration=declaration, entity=entity))
    cmd = compiler + flags + ["-std=c++17", "-O1", "-c", source, "-o", obj]
    run = subprocess.run(cmd, capture_output=True, text=True)
    if run.returncode != 0:
        sys.exit(f"probe failed to compile ({' '.join(cmd)}):\n{run.stderr}")
    out = subprocess.run(nm + ["-u", "--format=posix", obj], capture_output=True, text=True,
                         check=True).stdout
    # A position-independent object also refers to the GOT itself.
    names = [line.split()[0] for line in out.splitlines()
             if line.strip() and not line.startswith("_GLOBAL_OFFSET_TABLE_")]
    if len(names) != 1:
        sys.exit(f"probe for {entity} refers to {names}, expected exactly one symbol")
    return names[0]


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("form", choices=["version-script", "def"])
    ap.add_argument("list")
    ap.add_argument("section")
    ap.add_argument("out")
    ap.add_argument("-D", dest="defines", action="append", default=[])
    ap.add_argument("--cxx", required=True)
    ap.add_argument("--flag", dest="flags", action="append", default=[])
    ap.add_argument("--nm", default="nm")
    ap.add_argument("--dll")
    ap.add_argument("--import-def")
    ap.add_argument("--msvc-cxx")
    ap.add_argument("--msvc-nm")
    args = ap.parse_args()
    defines = dict(d.split("=", 1) for d in args.defines)
    entries = read_section(args.list, args.section, defines)

    names = []  # (exported name, alias of) in list order
    with tempfile.TemporaryDirectory() as work:
        for i, (kind, first, entity) in enumerate(entries):
            if kind == "c":
                names.append((first, None))
                continue
            native = decorated_name([args.cxx], args.flags, [args.nm], first, entity, work, i)
            names.append((native, None))
            if args.form == "def" and args.msvc_cxx:
                msvc = decorated_name([args.msvc_cxx, "--target=x86_64-pc-windows-msvc"], [],
                                      [args.msvc_nm or args.nm], first, entity, work, f"msvc{i}")
                names.append((msvc, native))

    lines = []
    if args.form == "version-script":
        lines += ["/* Generated by cmake/exports.py from src/exports.txt: do not edit. */", "{",
                  "  global:"]
        lines += [f"    {n};" for n, _ in names]
        lines += ["  local: *;", "};"]
    else:
        if not args.dll:
            sys.exit("def needs --dll")

        def quoted(n):
            return f'"{n}"' if re.search(r"[^\w]", n) else n

        head = ["; Generated by cmake/exports.py from src/exports.txt: do not edit.",
                f"LIBRARY {args.dll}", "EXPORTS"]
        lines = head + [f"  {quoted(n)}" + (f" = {a}" if a else "") for n, a in names]
        if args.import_def:
            with open(args.import_def, "w", encoding="utf-8") as f:
                f.write("\n".join(head + [f"  {quoted(n)}" for n, _ in names]) + "\n")
    text = "\n".join(lines) + "\n"
    # Rewritten only when it changes, so that an unchanged list relinks nothing.
    if not os.path.exists(args.out) or open(args.out, encoding="utf-8").read() != text:
        with open(args.out, "w", encoding="utf-8") as f:
            f.write(text)


if __name__ == "__main__":
    main()
