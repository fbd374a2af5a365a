#!/usr/bin/env python3
"""The golden digest files of every platform: writes them, and checks that
the platforms agree.

usage: digests.py write [OUTPUT]
       digests.py check [DIR]

write   reads what golden_digest prints (OUTPUT, a file, or standard input)
        and writes the digest file of the platform and build its facts line
        names, in the directory of this script.  Each line gets the reasons
        why its export may differ between platforms, from the rules below;
        the file opens with the command that writes it again.
check   reads every digest file of DIR (default: this script's directory)
        and fails unless each is exactly what write makes of its own lines
        (no reason typed by hand, none missing), every platform and build
        of the table below has its file, all list the same exports in the
        same order, and any two lines of an export are equal wherever the
        two files agree on every fact that the lines' reasons name.  So the
        families that call no platform function give the same bits and
        errno on every platform in both builds, and every double and float
        export of the portable build gives the same bits everywhere, apart
        from what the width of long, the format of long double and the
        class values change by definition.

The reasons, and the fact each one names:
  platform functions  the family calls exp, log, pow, sin, expm1 or log1p,
                      which are the C runtime's in the platform build (its
                      header includes elementary/elementary.hpp): fact
                      "elementary", the C runtime of the platform, or
                      "portable" in the portable build, where the reason
                      never appears
  long                the export returns long (shape to_long): fact "long"
  long double         a long double member, or an argument that is long
                      double (shape toward): fact "long-double"
  class values        the classification templates: fact "classes"
"""
import os
import re
import sys
import tomllib

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))

# Every platform and build that has a digest file: its file and how its
# golden_digest runs (from the source directory, after the preset's build).
PLATFORMS = {
    "linux-x86_64": ("", "", ""),
    "windows-x86_64": ("-windows", "cmake/windows/wine-run.sh ", ".exe"),
    "linux-aarch64": ("-aarch64", "cmake/linux/qemu-run.sh ", ""),
    "linux-s390x": ("-s390x", "cmake/linux/qemu-run.sh ", ""),
}
PRESETS = {
    ("linux-x86_64", "platform"): "release",
    ("linux-x86_64", "portable"): "portable",
    ("windows-x86_64", "platform"): "windows",
    ("windows-x86_64", "portable"): "windows-portable",
    ("linux-aarch64", "platform"): "aarch64",
    ("linux-aarch64", "portable"): "aarch64-portable",
    ("linux-s390x", "platform"): "s390x",
    ("linux-s390x", "portable"): "s390x-portable",
}
FACT_NAMES = ["platform", "build", "long", "long-double", "classes"]
REASON_FACTS = {"platform functions": "elementary", "long": "long", "long double": "long-double",
                "class values": "classes"}
HEADER = "# export\tFNV-1a 64 of results and errno\tinputs\twhy it may differ between platforms"


def file_name(platform, build):
    return "digests" + ("-portable" if build == "portable" else "") + PLATFORMS[platform][0] + ".txt"


def program(platform, build):
    _, launcher, suffix = PLATFORMS[platform]
    subdir = "bin" if platform.startswith("windows") else "tests"
    return f"{launcher}build/{PRESETS[(platform, build)]}/{subdir}/golden_digest{suffix}"


def catalogue():
    with open(os.path.join(ROOT, "src", "catalogue.toml"), "rb") as f:
        return {fn["name"]: fn["shape"] for fn in tomllib.load(f)["function"]}


def includes_elementary(name, seen=None):
    """Whether the family header of name includes elementary/elementary.hpp,
    directly or through the library's other headers."""
    seen = set() if seen is None else seen
    path = os.path.join(ROOT, "include", name)
    if name in seen or not os.path.exists(path):
        return False
    seen.add(name)
    for included in re.findall(r'#include <(varnel/[^>]+)>', open(path, encoding="utf-8").read()):
        if included == "varnel/math/elementary/elementary.hpp" or includes_elementary(included, seen):
            return True
    return False


def reasons(export, build, shapes):
    """Why the digest of export may differ between platforms, as the rules
    of the docstring give it."""
    if export.startswith("tr1<"):
        return (["long double"] if export == "tr1<long double>" else []) + ["class values"]
    name = export.removeprefix("varnel_")
    if name in shapes:
        family, precision = name, "d"
    elif name[:-1] in shapes and name[-1] in "fl":
        family, precision = name[:-1], name[-1]
    else:
        sys.exit(f"{export}: no function of the catalogue")
    out = []
    if build == "platform" and includes_elementary(f"varnel/math/special_functions/{family}.hpp"):
        out.append("platform functions")
    if shapes[family] == "to_long":
        out.append("long")
    if precision == "l" or shapes[family] == "toward":
        out.append("long double")
    return out


def parse_facts(line):
    m = re.fullmatch(r"# facts:((?: [a-z-]+=\S+)+)", line)
    if not m:
        return None
    facts = dict(item.split("=", 1) for item in m.group(1).split())
    if list(facts) != FACT_NAMES or facts["platform"] not in PLATFORMS or facts["build"] not in ("platform",
                                                                                                    "portable"):
        return None
    return facts


def read_output(lines, what):
    """The facts and the records (export -> (digest, inputs)) of
    golden_digest's output or of a digest file."""
    facts, records = None, {}
    for line in lines:
        line = line.rstrip("\r\n")
        if line.startswith("# facts:"):
            facts = parse_facts(line)
            if facts is None:
                sys.exit(f"{what}: malformed facts line: {line}")
            continue
        if not line or line.startswith("#"):
            continue
        fields = line.split("\t")
        if len(fields) not in (3, 4) or not re.fullmatch(r"[0-9a-f]+", fields[1]) or not fields[2].isdigit():
            sys.exit(f"{what}: malformed line: {line}")
        if fields[0] in records:
            sys.exit(f"{what}: {fields[0]} twice")
        records[fields[0]] = (fields[1], fields[2])
    if facts is None:
        sys.exit(f"{what}: no facts line: not the output of golden_digest")
    if not records:
        sys.exit(f"{what}: no digests")
    return facts, records


def render(facts, records, shapes):
    platform, build = facts["platform"], facts["build"]
    out = [
        f"# Golden digests of {platform}, {build} build: the results and errno of every export",
        "# over fixed inputs (tests/golden/digest.cpp).  Written by tests/golden/digests.py",
        "# from the output of golden_digest; after a deliberate change, regenerate with",
        f"#   {program(platform, build)} | python3 tests/golden/digests.py write",
        "# (after cmake --workflow --preset " + PRESETS[(platform, build)] + ").  Never edited by hand.",
        "# The fourth column says why a line may differ from another platform's",
        "# (python3 tests/golden/digests.py check compares the platforms).",
        "# facts: " + " ".join(f"{k}={facts[k]}" for k in FACT_NAMES),
        HEADER,
    ]
    for name, (digest, inputs) in records.items():
        why = ", ".join(reasons(name, build, shapes))
        out.append("\t".join([name, digest, inputs] + ([why] if why else [])))
    return "\n".join(out) + "\n"


def write(argv):
    source = argv[0] if argv and argv[0] != "-" else None
    text = open(source, encoding="utf-8").read() if source else sys.stdin.read()
    facts, records = read_output(text.splitlines(), source or "standard input")
    path = os.path.join(HERE, file_name(facts["platform"], facts["build"]))
    with open(path, "w", encoding="utf-8") as f:
        f.write(render(facts, records, catalogue()))
    print(f"wrote {os.path.relpath(path, ROOT)} ({len(records)} exports)")
    return 0


def fact(facts, reason):
    """The value of the fact a reason names."""
    if reason == "platform functions":
        return "portable" if facts["build"] == "portable" else facts["platform"]
    return facts[REASON_FACTS[reason]]


def check(argv):
    directory = argv[0] if argv else HERE
    shapes = catalogue()
    problems = []
    files = {}
    for platform, build in PRESETS:
        path = os.path.join(directory, file_name(platform, build))
        if not os.path.exists(path):
            problems.append(f"{file_name(platform, build)}: missing")
            continue
        text = open(path, encoding="utf-8").read()
        facts, records = read_output(text.splitlines(), path)
        if (facts["platform"], facts["build"]) != (platform, build):
            problems.append(f"{file_name(platform, build)}: holds the digests of {facts['platform']}, "
                            f"{facts['build']} build")
            continue
        if text != render(facts, records, shapes):
            problems.append(f"{file_name(platform, build)}: not as digests.py writes it (a reason or the "
                            "header edited by hand?): write it again")
        files[file_name(platform, build)] = (facts, records)
    for extra in sorted(set(os.listdir(directory)) - {file_name(p, b) for p, b in PRESETS}):
        if re.fullmatch(r"digests.*\.txt", extra):
            problems.append(f"{extra}: a digest file of no platform digests.py knows")
    names = list(files)
    exports = {n: list(files[n][1]) for n in names}
    for n in names[1:]:
        if exports[n] != exports[names[0]]:
            problems.append(f"{n} and {names[0]} list different exports (or in another order)")
    compared = equal = 0
    for i, a in enumerate(names):
        for b in names[i + 1:]:
            facts_a, records_a = files[a]
            facts_b, records_b = files[b]
            for export in records_a:
                if export not in records_b:
                    continue
                why = set(reasons(export, facts_a["build"], shapes)) | set(reasons(export, facts_b["build"], shapes))
                if any(fact(facts_a, r) != fact(facts_b, r) for r in why):
                    continue
                compared += 1
                if records_a[export] != records_b[export]:
                    problems.append(f"{export}: {' '.join(records_a[export])} in {a}, "
                                    f"{' '.join(records_b[export])} in {b}"
                                    + (f" (they agree on {', '.join(sorted(why))})" if why else ""))
                else:
                    equal += 1
    for p in problems:
        print(p)
    print(f"{len(files)} digest files; {compared} pairs of lines that must agree, {equal} do")
    return 1 if problems or compared == 0 else 0


def main(argv):
    if len(argv) < 2 or argv[1] not in ("write", "check"):
        sys.exit(__doc__)
    return write(argv[2:]) if argv[1] == "write" else check(argv[2:])


if __name__ == "__main__":
    sys.exit(main(sys.argv))
