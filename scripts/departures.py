#!/usr/bin/env python3
"""Writes the departures from C99 into the documentation, from the one table
of special cases that tests/departures/departures_test runs.

  departures.py [--check] [--root DIR]

Reads tests/departures/cases.txt and rewrites what lies between the
markers
  <!-- departures:begin -->  ...  <!-- departures:end -->      docs/departures.md
  .\\" departures:begin      ...  .\\" departures:end          docs/man/*.3
A manual page names the functions whose rows it shows on a line
  .\\" departures of: erf erfc
before its markers.  Every function with a departure must be shown by
exactly one page.  With --check nothing is written: the script fails if any
file differs from what it would write (a test runs it so).
"""
import argparse
import difflib
import glob
import os
import re
import sys

TYPE_NAMES = {"d": "double", "f": "float", "l": "long double"}
SUFFIX = {"d": "", "f": "f", "l": "l"}
CLASSIFICATION = ("fpclassify", "isfinite", "isinf", "isnan", "isnormal", "signbit")
# The long double formats a row may be limited to, as the documentation
# names them.
FORMATS = {"": "", "wide": "x87 or binary128", "x87": "x87", "binary128": "binary128"}


class Problem(Exception):
    pass


def read_cases(path):
    """(rows, reasons): rows as dicts, reasons as id -> (title, text)."""
    rows, reasons, last = [], {}, None
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            text = line.strip()
            if not text or text.startswith("#"):
                continue
            if text.startswith("@ "):
                if last is None:
                    raise Problem(f"{path}:{number}: a reason line before any reason")
                title, body = reasons[last]
                reasons[last] = (title, (body + " " + text[2:].strip()).strip())
                continue
            if text.startswith("@"):
                ident, _, title = text[1:].partition(" ")
                if ident in reasons:
                    raise Problem(f"{path}:{number}: reason {ident} twice")
                reasons[ident] = (title.strip(), "")
                last = ident
                continue
            cells = [c.strip() for c in text.split("|")]
            if len(cells) != 7:
                raise Problem(f"{path}:{number}: {len(cells)} cells, not 7")
            function, types, args, expected, ours, glibc, reason = cells
            fmt, _, letters = types.rpartition(":")
            if fmt not in FORMATS:
                raise Problem(f"{path}:{number}: unknown long double format {fmt}")
            processor, _, outcome = glibc.rpartition(":")
            if processor not in ("", "x86-64"):
                raise Problem(f"{path}:{number}: glibc measured on {processor}, not x86-64")
            rows.append(dict(line=number, function=function, types=letters, format=fmt,
                             args=args.split(), expected=expected, ours=ours, glibc=outcome,
                             glibc_where=" on x86-64" if processor else "", reason=reason))
    for r in rows:
        if (r["ours"] == "=") != (r["reason"] == ""):
            raise Problem(f"{path}:{r['line']}: a departure needs a reason, and only a departure has one")
        if r["reason"] and r["reason"] not in reasons:
            raise Problem(f"{path}:{r['line']}: unknown reason {r['reason']}")
    return rows, reasons


# --- rendering -------------------------------------------------------------------

def members(row):
    """The exports a row applies to, e.g. erf, erff, erfl."""
    if row["function"] in CLASSIFICATION:
        names = [f"{row['function']}<{TYPE_NAMES[t]}>" for t in row["types"]]
    else:
        names = [row["function"] + SUFFIX[t] for t in row["types"]]
    return names


def where(row):
    return f" ({FORMATS[row['format']]} long double)" if row["format"] else ""


WORDS = {
    "nan": "NaN", "-nan": "-NaN", "any": "unspecified",
    "+normal": "normal, > 0", "-normal": "normal, < 0",
    "+subnormal": "subnormal, > 0", "-subnormal": "subnormal, < 0",
}


def outcome_words(cell):
    value, error = cell.split()
    value = WORDS.get(value, value)
    return value if error == "-" else f"{value}, {error}"


def markdown(rows, reasons, cases_name):
    departures = [r for r in rows if r["reason"]]
    functions = []
    for r in departures:
        if r["function"] not in functions:
            functions.append(r["function"])
    calls = sum(len(r["types"]) for r in rows)
    out = [
        f"{len(rows)} special cases ({calls} calls over the three precisions) are checked; "
        f"{len(departures)} rows below depart, in {len(functions)} functions, for {len(reasons)} reasons. "
        f"Written by `scripts/departures.py` from `{cases_name}`.",
        "",
    ]
    number = {ident: i for i, ident in enumerate(reasons, 1)}
    for function in functions:
        out += [f"### {function}", "",
                "| members | arguments | C99, glibc | Varnel math | why |",
                "|---|---|---|---|---|"]
        for r in (r for r in departures if r["function"] == function):
            expected = outcome_words(r["expected"])
            if r["glibc"] != "=":
                expected += f" (glibc{r['glibc_where']}: {outcome_words(r['glibc'])})"
            out.append(f"| {', '.join(members(r))}{where(r)} | `{', '.join(r['args'])}` | {expected} "
                       f"| {outcome_words(r['ours'])} | [{number[r['reason']]}](#{r['reason']}) |")
        out.append("")
    out += ["## Reasons", ""]
    for ident, (title, text) in reasons.items():
        out += [f'<a id="{ident}"></a>{number[ident]}. **{title}.** {text}', ""]
    return "\n".join(out)


def roff_text(s):
    return s.replace("\\", "\\e").replace("-", "\\-")


def roff(rows, reasons, functions):
    departures = [r for r in rows if r["reason"] and r["function"] in functions]
    if not departures:
        return "None: every special case of these functions gives what C99 gives."
    used = []
    for r in departures:
        if r["reason"] not in used:
            used.append(r["reason"])
    out = ["These calls give another value or errno than C99's Annex F (or glibc, where C99 leaves the",
           "choice to the implementation); docs/departures.md of the sources has the whole list.",
           "max, min and tmin are the largest finite, smallest normal and smallest subnormal value",
           "of the member's type."]
    for r in departures:
        expected = outcome_words(r["expected"])
        if r["glibc"] != "=":
            expected += f" (glibc{r['glibc_where']}: {outcome_words(r['glibc'])})"
        x87 = f", {FORMATS[r['format']]} long double" if r["format"] else ""
        out += [".TP",
                "\\fB" + roff_text(f"{', '.join(members(r))}") + "\\fP" + roff_text(f" ({', '.join(r['args'])}){x87}"),
                roff_text(f"C99: {expected}.  Here: {outcome_words(r['ours'])}.  [{used.index(r['reason']) + 1}]")]
    out += [".PP", "Why:"]
    for i, ident in enumerate(used, 1):
        title, text = reasons[ident]
        out += [f'.IP [{i}] 5', roff_text(f"{title}.  {text}")]
    return "\n".join(out)


# --- the files -------------------------------------------------------------------

def replace_between(text, begin, end, body, name):
    i, j = text.find(begin), text.find(end)
    if i < 0 or j < i:
        raise Problem(f"{name}: no '{begin}' ... '{end}' markers")
    return text[:i + len(begin)] + "\n" + body + "\n" + text[j:]


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--check", action="store_true", help="fail if a file is not as it would be written")
    parser.add_argument("--root", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
    args = parser.parse_args()
    root = os.path.abspath(args.root)
    cases = os.path.join(root, "tests", "departures", "cases.txt")
    try:
        rows, reasons = read_cases(cases)
        if not [r for r in rows if r["reason"]]:
            raise Problem(f"{cases}: no departure rows")
        files = {}
        page = os.path.join(root, "docs", "departures.md")
        with open(page, encoding="utf-8") as f:
            text = f.read()
        files[page] = (text, replace_between(text, "<!-- departures:begin -->", "<!-- departures:end -->",
                                             markdown(rows, reasons, "tests/departures/cases.txt"), page))
        shown = {}
        for man in sorted(glob.glob(os.path.join(root, "docs", "man", "*.3"))):
            with open(man, encoding="utf-8") as f:
                text = f.read()
            m = re.search(r'^\.\\" departures of: (.*)$', text, re.M)
            if not m:
                continue
            functions = m.group(1).split()
            for fn in functions:
                if fn in shown:
                    raise Problem(f"{man}: {fn} is shown by {shown[fn]} too")
                shown[fn] = man
            body = roff(rows, reasons, functions)
            files[man] = (text, replace_between(text, '.\\" departures:begin', '.\\" departures:end', body, man))
        missing = sorted({r["function"] for r in rows if r["reason"]} - set(shown))
        if missing:
            raise Problem(f"no manual page shows the departures of {', '.join(missing)}")
        stale = []
        for name, (old, new) in files.items():
            if old == new:
                continue
            if args.check:
                stale.append(name)
                sys.stdout.writelines(difflib.unified_diff(old.splitlines(True), new.splitlines(True), name,
                                                           name + " (from cases.txt)", n=1))
            else:
                with open(name, "w", encoding="utf-8") as f:
                    f.write(new)
                print(f"wrote {os.path.relpath(name, root)}")
        if stale:
            raise Problem(f"out of date with cases.txt: {', '.join(os.path.relpath(s, root) for s in stale)} "
                          "(run scripts/departures.py)")
        if args.check:
            print(f"docs/departures.md and {len(files) - 1} manual pages show the "
                  f"{len([r for r in rows if r['reason']])} departure rows of cases.txt")
    except (Problem, OSError) as e:
        print(f"departures.py: {e}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
