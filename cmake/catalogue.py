#!/usr/bin/env python3
"""Reads src/catalogue.toml, the one hand-written list of the functions, and
writes what is derived from it.

usage:
  catalogue.py header CATALOGUE OUT          catalogue.generated.h for the
                                             tools and tests (rewritten only
                                             when it changes)
  catalogue.py names CATALOGUE               the function names, ';'-separated
                                             (a CMake list)
  catalogue.py twin-header CATALOGUE OUT     the prototypes of the C exports
                                             under the names
                                             varnel_portable_* (the portable
                                             twin, cmake/VarnelPortableTwin.cmake)
  catalogue.py accuracy-table CATALOGUE      the accuracy table as Markdown
  catalogue.py check-accuracy-table CATALOGUE DOC
                                             fails unless DOC holds that table
                                             between its two marker lines
  catalogue.py check-header CATALOGUE HEADER [math|batch]
                                             fails unless the C header (c99.h,
                                             or batch.h) declares every member
                                             of every function, and nothing
                                             else

As a module: load(path) returns the checked catalogue; exports(catalogue,
section, defines) the entries of one library for cmake/exports.py.
"""
import os
import re
import sys
import tomllib

SHAPES = ("unary", "binary", "toward", "to_long", "to_llong")
ROADS = ("narrowed", "rounded", "native")
PRECISIONS = ("double", "float")
MEASURES = ("ulp", "absolute", "ulp_of_one", "zero")
ERRNOS = ("EDOM", "ERANGE")
SUFFIXES = {"": "double", "f": "float", "l": "long double"}

TABLE_BEGIN = "<!-- accuracy table: written by cmake/catalogue.py accuracy-table from src/catalogue.toml -->"
TABLE_END = "<!-- end of accuracy table -->"


class CatalogueError(Exception):
    pass


def _fail(path, message):
    raise CatalogueError(f"{path}: {message}")


def _check_keys(path, where, table, required, optional=()):
    for key in required:
        if key not in table:
            _fail(path, f"{where}: '{key}' is missing")
    for key in table:
        if key not in required and key not in optional:
            _fail(path, f"{where}: unknown key '{key}'")


def _check_domains(path, fn, key):
    domains = fn.get(key)
    if domains is None:
        return
    if not domains:
        _fail(path, f"{fn['name']}: {key} is empty")
    two = fn["shape"] in ("binary", "toward")
    for d in domains:
        _check_keys(path, f"{fn['name']}: {key}", d, ("label", "x") + (("y",) if two else ()), ("log",))
        for axis in ("x", "y") if two else ("x",):
            lo, hi = d[axis]
            if not lo < hi:
                _fail(path, f"{fn['name']}: {key} {d['label']}: {axis} must be an increasing pair")
        if d.get("log") and d["x"][0] <= 0:
            _fail(path, f"{fn['name']}: {key} {d['label']}: a log-uniform domain needs positive bounds")


def _check_accuracy(path, fn):
    entries = fn.get("accuracy", [])
    seen = set()
    for e in entries:
        where = f"{fn['name']}: accuracy"
        _check_keys(path, where, e, ("precision",), ("range", "bound", "measure", "errno"))
        if e["precision"] not in PRECISIONS:
            _fail(path, f"{where}: precision must be one of {PRECISIONS}")
        measure = e.get("measure", "ulp")
        if measure not in MEASURES:
            _fail(path, f"{where}: measure must be one of {MEASURES}")
        if (measure == "zero") == ("bound" in e):
            _fail(path, f"{where}: every measure but zero needs a bound, zero takes none")
        if e.get("errno", "EDOM") not in ERRNOS:
            _fail(path, f"{where}: errno must be one of {ERRNOS}")
        key = (e["precision"], e.get("range"))
        if key in seen:
            _fail(path, f"{where}: two entries for {key}")
        seen.add(key)
    for precision in PRECISIONS:
        if entries and (precision, None) not in seen:
            _fail(path, f"{fn['name']}: accuracy needs an entry for every range of {precision}")


def load(path):
    with open(path, "rb") as f:
        try:
            data = tomllib.load(f)
        except tomllib.TOMLDecodeError as e:
            _fail(path, str(e))
    _check_keys(path, "top level", data, ("library", "function"))
    functions = data["function"]
    names = []
    for fn in functions:
        _check_keys(path, fn.get("name", "a function"), fn, ("name", "shape", "summary", "float", "domains"),
                    ("float_domains", "accuracy"))
        if not re.fullmatch(r"[a-z][a-z0-9]*", fn["name"]):
            _fail(path, f"{fn['name']!r} is not a C99 function name")
        if fn["shape"] not in SHAPES:
            _fail(path, f"{fn['name']}: shape must be one of {SHAPES}")
        if fn["float"] not in ROADS:
            _fail(path, f"{fn['name']}: float must be one of {ROADS}")
        _check_domains(path, fn, "domains")
        _check_domains(path, fn, "float_domains")
        _check_accuracy(path, fn)
        names.append(fn["name"])
    if len(set(names)) != len(names):
        _fail(path, "a function is listed twice")
    if names != sorted(names):
        _fail(path, "functions must be listed alphabetically")
    for section, lib in data["library"].items():
        _check_keys(path, f"library.{section}", lib, (), ("c", "cxx"))
        for entry in lib.get("cxx", []):
            if len(entry) != 2:
                _fail(path, f"library.{section}: a C++ entry is [declaration, entity]")
    return data


def exports(catalogue, section, defines):
    """The entries of one library, placeholders filled: ("c", name, None) or
    ("cxx", declaration, entity), in list order."""
    if section not in catalogue["library"]:
        raise CatalogueError(f"no library section {section!r}")

    def fill(text):
        for name, value in defines.items():
            text = text.replace(f"@{name}@", value)
        if "@" in text:
            raise CatalogueError(f"unreplaced placeholder in: {text}")
        return text

    entries = []
    if section == "math":
        suffix = defines.get("S", "")
        entries += [("c", f"varnel_{fn['name']}{suffix}", None) for fn in catalogue["function"]]
    elif section == "batch":
        for fn in catalogue["function"]:
            entries += [("c", f"varnel_{fn['name']}_n", None), ("c", f"varnel_{fn['name']}f_n", None)]
    lib = catalogue["library"][section]
    entries += [("c", fill(name), None) for name in lib.get("c", [])]
    entries += [("cxx", fill(d), fill(e)) for d, e in lib.get("cxx", [])]
    return entries


def cxx_entity_name(entity):
    """The qualified name an entity expression refers to:
    '&varnel::math::tr1::isnan<double>' -> 'varnel::math::tr1::isnan<double>'."""
    m = re.search(r"&\s*([\w:]+(?:<[^()]*>)?)\)?$", entity)
    if not m:
        raise CatalogueError(f"cannot read the name of {entity!r}")
    return m.group(1)


# --------------------------------------------------------------------------
# catalogue.generated.h


def _cxx_double(v):
    text = repr(float(v))
    return text if any(c in text for c in ".en") else text + ".0"


def _domain_array(ident, fn, domains):
    rows = []
    for d in domains:
        y = d.get("y", [0, 0])
        rows.append("{%s, %s, %s, %s, %s, %s}" % (
            '"%s"' % d["label"], _cxx_double(d["x"][0]), _cxx_double(d["x"][1]), _cxx_double(y[0]),
            _cxx_double(y[1]), "true" if d.get("log") else "false"))
    return f"inline constexpr domain {ident}[] = {{{', '.join(rows)}}};"


def header_text(catalogue, source):
    fns = catalogue["function"]
    out = [
        f"/* Generated by cmake/catalogue.py from {source} when CMake configures;",
        " * do not edit.  Regenerate by hand with",
        " *   python3 cmake/catalogue.py header src/catalogue.toml OUT",
        " * The functions of the catalogue for varnel-math, the benchmarks and the",
        " * tests (common/catalogue.hpp reads it). */",
        "#ifndef VARNEL_CATALOGUE_GENERATED_H",
        "#define VARNEL_CATALOGUE_GENERATED_H",
        "",
        "/* X(name, shape, float_road) for every function, alphabetical. */",
        "#define VARNEL_CATALOGUE_FUNCTIONS(X) \\",
    ]
    out += [f"  X({fn['name']}, {fn['shape']}, {fn['float']}) \\" for fn in fns]
    out.append("")
    for shape in SHAPES:
        out.append(f"/* The {shape} functions: X(name, float_road). */")
        out.append(f"#define VARNEL_CATALOGUE_{shape.upper()}(X) \\")
        out += [f"  X({fn['name']}, {fn['float']}) \\" for fn in fns if fn["shape"] == shape]
        out.append("")
    out += [f"#define VARNEL_CATALOGUE_FUNCTION_COUNT {len(fns)}", ""]

    out += ["#ifdef __cplusplus", "#include <cerrno>", "", "namespace varnel_catalogue {", "",
            "// Where speed is measured and random arguments are drawn: x uniform on",
            "// [x_lo, x_hi] (log-uniform when log_uniform), y likewise for two arguments.",
            "struct domain {", "  const char* label;", "  double x_lo, x_hi;", "  double y_lo, y_hi;",
            "  bool log_uniform;", "};", ""]
    for fn in fns:
        out.append(_domain_array(f"{fn['name']}_domains", fn, fn["domains"]))
        out.append(_domain_array(f"{fn['name']}_float_domains", fn, fn.get("float_domains", fn["domains"])))
    out += ["", "struct function_info {", "  const char* name;", "  const char* summary;",
            "  const domain* domains;  // double and long double members", "  int domain_count;",
            "  const domain* float_domains;", "  int float_domain_count;", "};", "",
            "inline constexpr function_info functions[] = {"]
    for fn in fns:
        n = fn["name"]
        out.append(f'    {{"{n}", "{fn["summary"]}", {n}_domains, {len(fn["domains"])}, {n}_float_domains, '
                   f'{len(fn.get("float_domains", fn["domains"]))}}},')
    out += ["};", "",
            "// Accuracy bounds against the reference data.  range nullptr: every range",
            "// of the table, unless an entry names the range.",
            "enum class measure { ulp, absolute, ulp_of_one, zero };", "",
            "struct accuracy_bound {", "  const char* function;", "  bool is_float;", "  const char* range;",
            "  measure how;", "  double bound;", "  int expected_errno;", "};", "",
            "inline constexpr accuracy_bound accuracy_bounds[] = {"]
    for fn in fns:
        for e in fn.get("accuracy", []):
            rng = '"%s"' % e["range"] if "range" in e else "nullptr"
            out.append(f'    {{"{fn["name"]}", {"true" if e["precision"] == "float" else "false"}, {rng}, '
                       f'measure::{e.get("measure", "ulp")}, {_cxx_double(e.get("bound", 0))}, '
                       f'{e.get("errno", "0")}}},')
    out += ["};", "", "}  // namespace varnel_catalogue", "#endif", "", "#endif", ""]
    return "\n".join(out)


def write_if_changed(path, text):
    if os.path.exists(path) and open(path, encoding="utf-8").read() == text:
        return
    os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


# --------------------------------------------------------------------------
# The accuracy table of the documentation


def _number(v):
    return f"{v:g}"


def _bound_text(e):
    measure = e.get("measure", "ulp")
    text = {"ulp": lambda: _number(e["bound"]),
            "absolute": lambda: f"{_number(e['bound'])} absolute",
            "ulp_of_one": lambda: f"{_number(e['bound'])} ulp of max(\\|result\\|, 1)",
            "zero": lambda: "+0"}[measure]()
    if "errno" in e:
        text += f" with {e['errno']}"
    return text


def accuracy_table(catalogue):
    rows = ["| function | double and long double | float |", "|---|---|---|"]
    for fn in catalogue["function"]:
        entries = fn.get("accuracy")
        if not entries:
            continue
        cells = []
        for precision in PRECISIONS:
            general = [e for e in entries if e["precision"] == precision and "range" not in e]
            ranged = [e for e in entries if e["precision"] == precision and "range" in e]
            text = _bound_text(general[0])
            if ranged:
                text += "; " + ", ".join(f"{e['range']} {_bound_text(e)}" for e in ranged)
            cells.append(text)
        rows.append(f"| {fn['name']} | {cells[0]} | {cells[1]} |")
    return "\n".join(rows) + "\n"


def check_accuracy_table(catalogue, doc):
    text = open(doc, encoding="utf-8").read()
    begin, end = text.find(TABLE_BEGIN), text.find(TABLE_END)
    if begin < 0 or end < begin:
        raise CatalogueError(f"{doc}: no accuracy table between the marker lines\n  {TABLE_BEGIN}\n  {TABLE_END}")
    shown = text[begin + len(TABLE_BEGIN):end].strip() + "\n"
    wanted = accuracy_table(catalogue)
    if shown != wanted:
        raise CatalogueError(f"{doc}: the accuracy table differs from the catalogue's; it should read\n{wanted}"
                             f"(python3 cmake/catalogue.py accuracy-table src/catalogue.toml writes it)")


# --------------------------------------------------------------------------
# The C header against the catalogue


def expected_declarations(catalogue, interface="math"):
    """{name: (result, [parameter types])} of every C function the header
    of the math libraries (c99.h) or of the batch library (batch.h)
    declares, with L for the interface's long double."""
    out = {}
    for fn in catalogue["function"]:
        shape = fn["shape"]
        if interface == "math":
            for suffix, t in (("", "double"), ("f", "float"), ("l", "L")):
                result = {"to_long": "long", "to_llong": "long long"}.get(shape, t)
                params = {"unary": [t], "to_long": [t], "to_llong": [t], "binary": [t, t], "toward": [t, "L"]}[shape]
                out[f"varnel_{fn['name']}{suffix}"] = (result, params)
        else:
            for suffix, t in (("", "double"), ("f", "float")):
                result = {"to_long": "long", "to_llong": "long long"}.get(shape, t)
                inputs = {"binary": [t, t], "toward": [t, "L"]}.get(shape, [t])
                params = ["size_t"] + [f"const {i}*" for i in inputs] + [f"{result}*", "int*"]
                out[f"varnel_{fn['name']}{suffix}_n"] = ("size_t", params)
    if interface == "batch":
        for name in catalogue["library"]["batch"].get("c", []):
            out[name] = None  # declared, any signature: checked by the library's own tests
    return out


def _type_of(declaration):
    """The type of a parameter declaration: its name dropped, spaces
    normalised, the interface's long double as L."""
    t = " ".join(declaration.replace("*", " * ").split())
    words = t.split(" ")
    if len(words) > 1 and re.fullmatch(r"[A-Za-z_]\w*", words[-1]) and words[-1] not in (
            "double", "float", "long", "int", "char", "size_t", "VARNEL_MATH_LONG_DOUBLE", "void"):
        words = words[:-1]
    t = " ".join(words).replace(" *", "*").replace("VARNEL_MATH_LONG_DOUBLE", "L")
    return t


def check_header(catalogue, header, interface="math"):
    text = open(header, encoding="utf-8").read()
    text = re.sub(r"/\*.*?\*/", " ", text, flags=re.S)
    found = {}
    for m in re.finditer(r"VARNEL_MATH_API\s+([\w *]+?)\s*\b(varnel_\w+)\s*\(([^)]*)\)\s*;", text):
        result, name, params = m.groups()
        params = params.strip()
        types = [] if params in ("", "void") else [_type_of(p) for p in params.split(",")]
        found[name] = (_type_of(result), types)
    wanted = expected_declarations(catalogue, interface)
    problems = [f"{header}: no declaration of {n}" + (f" (wanted: {w[0]} {n}({', '.join(w[1])}))" if w else "")
                for n, w in sorted(wanted.items()) if n not in found]
    problems += [f"{header}: {n} is declared as {found[n]}, the catalogue says {wanted[n]}"
                 for n in sorted(wanted) if n in found and wanted[n] is not None and found[n] != wanted[n]]
    problems += [f"{header}: declares {n}, which the catalogue does not list" for n in sorted(found)
                 if n not in wanted]
    if problems:
        raise CatalogueError("\n".join(problems))
    return len(found)


def twin_header_text(catalogue):
    out = ["/* Generated by cmake/catalogue.py from src/catalogue.toml when CMake configures; do not",
           "   edit.  The C exports of the portable build under the names varnel_portable_*",
           "   (cmake/VarnelPortableTwin.cmake), with the prototypes of c99.h. */",
           "#ifndef VARNEL_PORTABLE_TWIN_H", "#define VARNEL_PORTABLE_TWIN_H", "",
           "#include <varnel/math/config.h>", "", "#ifdef __cplusplus", 'extern "C" {', "#endif"]
    for name, (result, params) in expected_declarations(catalogue, "math").items():
        t = lambda x: "VARNEL_MATH_LONG_DOUBLE" if x == "L" else x
        out.append(f"{t(result)} {name.replace('varnel_', 'varnel_portable_', 1)}("
                   f"{', '.join(t(p) for p in params)});")
    out += ["#ifdef __cplusplus", "}", "#endif", "", "#endif", ""]
    return "\n".join(out)


def main(argv):
    if len(argv) < 3:
        sys.exit(__doc__)
    command, path = argv[1], argv[2]
    try:
        catalogue = load(path)
        if command == "header" and len(argv) == 4:
            write_if_changed(argv[3], header_text(catalogue, "src/catalogue.toml"))
        elif command == "twin-header" and len(argv) == 4:
            write_if_changed(argv[3], twin_header_text(catalogue))
        elif command == "names" and len(argv) == 3:
            print(";".join(fn["name"] for fn in catalogue["function"]))
        elif command == "accuracy-table" and len(argv) == 3:
            sys.stdout.write(accuracy_table(catalogue))
        elif command == "check-accuracy-table" and len(argv) == 4:
            check_accuracy_table(catalogue, argv[3])
            print(f"{argv[3]}: the accuracy table is the catalogue's")
        elif command == "check-header" and len(argv) in (4, 5):
            n = check_header(catalogue, argv[3], argv[4] if len(argv) == 5 else "math")
            print(f"{argv[3]}: {n} declarations, every member of every function in the catalogue")
        else:
            sys.exit(__doc__)
    except CatalogueError as e:
        sys.exit(str(e))


if __name__ == "__main__":
    main(sys.argv)
