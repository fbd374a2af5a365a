// varnel-math: evaluates the exports of the three math libraries at given
// arguments, optionally beside the platform libm, and produces the accuracy
// and speed report.  All arguments are checked before the first line goes
// to stdout, so an error never leaves partial output behind.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli.hpp"
#include "function_table.hpp"
#include "numbers.hpp"

#include <varnel/math/elementary/elementary.hpp>
#include <varnel/math/tools/layouts.hpp>

namespace varnel_cli {

namespace {

const char usage_line[] =
    "usage: varnel-math [--float|--long-double] [--compare] [--bits] FUNCTION (X... | --range A B N [Y]) | "
    "varnel-math report [--float|--long-double] [--data DIR] [--plots DIR] [--reps N] [--quick] [FUNCTION...] | "
    "varnel-math --help | varnel-math --version";

const char* precision_flag(precision p) {
  return p == precision::single ? "--float" : p == precision::dbl ? "--double" : "--long-double";
}

std::string arguments_of(const function_entry& fn) {
  switch (fn.shape) {
    case signature::binary:
    case signature::toward:
      return "x y";
    default:
      return "x";
  }
}

std::string result_of(const function_entry& fn) {
  switch (fn.shape) {
    case signature::to_long:
      return "long";
    case signature::to_llong:
      return "long long";
    default:
      return "T";
  }
}

void print_help() {
  const std::string default_data = default_data_dir();
  std::printf(
      "varnel-math: evaluate the Varnel math functions, compare them with the platform libm,\n"
      "and report their accuracy and speed.\n"
      "\n"
      "usage:\n"
      "  varnel-math [OPTIONS] FUNCTION X...               evaluate at each X (X Y pairs for two arguments)\n"
      "  varnel-math [OPTIONS] FUNCTION --range A B N [Y]  evaluate at N evenly spaced x from A to B\n"
      "  varnel-math report [OPTIONS] [FUNCTION...]        accuracy and speed report, Markdown on stdout\n"
      "  varnel-math --help                                this text\n"
      "  varnel-math --version                             the version, and which build of the libraries\n"
      "\n"
      "options:\n"
      "  --double, --float, --long-double\n"
      "                 the library to call: varnel_math_c99 (default), varnel_math_c99f, varnel_math_c99l\n"
      "  --compare      also call the platform libm function of the same name, show its result,\n"
      "                 errno and the distance in ulps\n"
      "  --bits         arguments are bit patterns: 0x and at most 8 (float), 16 (double) or\n"
      "                 %s hex digits\n"
      "  --range A B N  N evenly spaced arguments from A to B (both included)\n"
      "report options:\n"
      "  --data DIR     reference data directory (default %s)\n"
      "  --plots DIR    write one SVG plot of error against x per function into DIR\n"
      "  --reps N       timing repetitions, of which the median is reported (default 21)\n"
      "  --quick        fewer repetitions and inputs, for a first look\n"
      "\n"
      "Arguments are read as the type of their parameter: decimal (2.5, -1e-300), hex float\n"
      "(0x1.8p+1), inf, -inf, nan.  Each call prints one line:\n"
      "  copysign(2, -0) = -2  -0x1p+1  ok\n"
      "the shortest decimal that reads back as the result, the hex float, and errno after the\n"
      "call (ok, EDOM or ERANGE; errno is cleared before each call).  lround and llround print\n"
      "the integer.\n"
      "\n"
      "functions (T is the library's type):\n",
      varnel::math::tools::long_double_is_x87 ? "20 (long double: sign and exponent, then the 64-bit significand)"
      : varnel::math::tools::long_double_is_binary128 ? "32 (long double: sign and exponent, then the 112-bit fraction)"
                                                      : "16 (long double, binary64 here)",
      default_data.empty() ? "unknown here: give --data" : default_data.c_str());
  for (const function_entry& fn : functions) {
    const std::string call = std::string(fn.name) + " " + arguments_of(fn);
    std::printf("  %-24s %-10s %s\n", call.c_str(), result_of(fn).c_str(), fn.summary);
  }
}

struct options {
  precision prec = precision::dbl;
  const char* prec_flag = nullptr;
  bool help = false;
  bool version = false;
  bool compare = false;
  bool bits = false;
  bool range = false;
  std::string range_a, range_b, range_n;
  const char* data_dir = nullptr;
  const char* plots_dir = nullptr;
  const char* reps = nullptr;
  bool quick = false;
  std::vector<std::string> evaluation_only;  // option names given, for the report's check
  std::vector<std::string> report_only;
  std::vector<std::string> positional;
};

options parse_options(int argc, char** argv) {
  options o;
  bool options_done = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&](const char* what) -> const char* {
      if (i + 1 >= argc) usage_error("missing argument: " + a + " needs " + what);
      return argv[++i];
    };
    if (options_done || a.size() < 2 || a[0] != '-' || (a[1] != '-' && a != "-h")) {
      o.positional.push_back(a);
    } else if (a == "--") {
      options_done = true;
    } else if (a == "--help" || a == "-h") {
      o.help = true;
    } else if (a == "--version") {
      o.version = true;
    } else if (a == "--float" || a == "--double" || a == "--long-double") {
      const precision p = a == "--float" ? precision::single : a == "--double" ? precision::dbl : precision::extended;
      if (o.prec_flag != nullptr && p != o.prec) {
        usage_error(std::string("conflicting precision flags ") + o.prec_flag + " and " + a);
      }
      o.prec = p;
      o.prec_flag = precision_flag(p);
    } else if (a == "--compare") {
      o.compare = true;
      o.evaluation_only.push_back(a);
    } else if (a == "--bits") {
      o.bits = true;
      o.evaluation_only.push_back(a);
    } else if (a == "--range") {
      if (i + 3 >= argc) usage_error("missing argument: --range needs A B N");
      o.range = true;
      o.range_a = argv[++i];
      o.range_b = argv[++i];
      o.range_n = argv[++i];
      o.evaluation_only.push_back(a);
    } else if (a == "--data") {
      o.data_dir = value("a directory");
      o.report_only.push_back(a);
    } else if (a == "--plots") {
      o.plots_dir = value("a directory");
      o.report_only.push_back(a);
    } else if (a == "--reps") {
      o.reps = value("a count");
      o.report_only.push_back(a);
    } else if (a == "--quick") {
      o.quick = true;
      o.report_only.push_back(a);
    } else if (a.rfind("--single", 0) == 0 || a.rfind("--quad", 0) == 0 || a.rfind("--half", 0) == 0 ||
               a.rfind("--extended", 0) == 0 || a.rfind("--long", 0) == 0 || a.rfind("--prec", 0) == 0) {
      usage_error("unknown precision flag '" + a + "' (use --float, --double or --long-double)");
    } else {
      usage_error("unknown option '" + a + "'");
    }
  }
  return o;
}

const function_entry& function_named(const std::string& name) {
  const function_entry* fn = find_function(name.c_str());
  if (fn == nullptr) usage_error("unknown function '" + name + "' (varnel-math --help lists them)");
  return *fn;
}

struct call {
  long double x = 0, y = 0;
};

// One output line as cells; columns are padded to a common width so that a
// table lines up, and a single line comes out with two spaces between cells.
using row = std::vector<std::string>;

void print_rows(const std::vector<row>& rows) {
  std::vector<std::size_t> width;
  for (const row& r : rows) {
    if (width.size() < r.size()) width.resize(r.size(), 0);
    for (std::size_t c = 0; c < r.size(); ++c) width[c] = std::max(width[c], r[c].size());
  }
  for (const row& r : rows) {
    std::string line;
    for (std::size_t c = 0; c < r.size(); ++c) {
      if (c > 0) line += c == 1 || r[c - 1] == "=" || r[c - 1] == "libm" ? " " : "  ";
      line += r[c];
      if (c + 1 < r.size()) line.append(width[c] - r[c].size(), ' ');
    }
    std::printf("%s\n", line.c_str());
  }
}

void add_result(row& r, const outcome& out, const function_entry& fn, scalar s) {
  if (integer_result(fn.shape)) {
    r.push_back(std::to_string(out.integer));
  } else {
    r.push_back(shortest(out.value, s));
    r.push_back(hex(out.value, s));
  }
  r.push_back(errno_name(out.error));
}

template <class T> T mix(long double a, long double b, long double t) {
  const T u = static_cast<T>(t);
  return (T(1) - u) * static_cast<T>(a) + u * static_cast<T>(b);
}

int evaluate(const options& o) {
  const function_entry& fn = function_named(o.positional[0]);
  if (o.data_dir || o.plots_dir || o.reps || o.quick) {
    usage_error("option " + o.report_only.front() + " applies to report only");
  }
  const scalar sx = scalar_of(o.prec);
  const scalar sy = fn.shape == signature::toward ? scalar::long_double : sx;
  const int arity = arity_of(fn.shape);
  const std::vector<std::string> args(o.positional.begin() + 1, o.positional.end());
  const std::string takes = fn.name + std::string(" takes ") + (arity == 2 ? "2 arguments (x y)" : "1 argument (x)");

  auto number = [&](const std::string& text, scalar s) {
    long double v = 0;
    const std::string problem = parse_number(text, s, o.bits, v);
    if (!problem.empty()) usage_error(problem);
    return v;
  };

  std::vector<call> calls;
  if (o.range) {
    if (static_cast<int>(args.size()) < arity - 1) usage_error("missing argument: " + takes + "; give y after --range");
    if (static_cast<int>(args.size()) > arity - 1)
      usage_error("unexpected argument '" + args[arity - 1] + "' with --range");
    const long double a = number(o.range_a, sx);
    const long double b = number(o.range_b, sx);
    long n = 0;
    if (!parse_count(o.range_n, 1000000, n)) usage_error("malformed count '" + o.range_n + "' (1 to 1000000)");
    const long double y = arity == 2 ? number(args[0], sy) : 0;
    for (long i = 0; i < n; ++i) {
      // Computed in the argument's own type as (1 - t) A + t B: the ends
      // are exactly A and B, every point is a value of that type, and B - A
      // never has to exist (-1e308 to 1e308 would overflow it).
      long double x = i == n - 1 ? b : a;
      if (i > 0 && i < n - 1) {
        const long double t = static_cast<long double>(i) / static_cast<long double>(n - 1);
        switch (sx) {
          case scalar::binary32:
            x = mix<float>(a, b, t);
            break;
          case scalar::binary64:
            x = mix<double>(a, b, t);
            break;
          case scalar::long_double:
            x = mix<long double>(a, b, t);
            break;
        }
      }
      calls.push_back({x, y});
    }
  } else {
    if (args.empty() || static_cast<int>(args.size()) % arity != 0) usage_error("missing argument: " + takes);
    for (std::size_t i = 0; i < args.size(); i += arity) {
      call c;
      c.x = number(args[i], sx);
      if (arity == 2) c.y = number(args[i + 1], sy);
      calls.push_back(c);
    }
  }

  const eval_fn ours = eval_of(fn, o.prec, false);
  const eval_fn theirs = eval_of(fn, o.prec, true);
  const scalar sr = sx;  // results have the library's type (or are integers)
  const std::string name = member_name(fn, o.prec);

  std::vector<row> rows;
  for (const call& c : calls) {
    row r;
    std::string text = name + "(" + shortest(c.x, sx);
    if (arity == 2) text += ", " + shortest(c.y, sy);
    r.push_back(text + ")");
    r.push_back("=");
    const outcome mine = ours(c.x, c.y);
    add_result(r, mine, fn, sr);
    if (o.compare) {
      const outcome platform = theirs(c.x, c.y);
      r.push_back("libm");
      add_result(r, platform, fn, sr);
      if (integer_result(fn.shape)) {
        const unsigned long long d =
            mine.integer > platform.integer
                ? static_cast<unsigned long long>(mine.integer) - static_cast<unsigned long long>(platform.integer)
                : static_cast<unsigned long long>(platform.integer) - static_cast<unsigned long long>(mine.integer);
        r.push_back("diff " + std::to_string(d));
      } else {
        r.push_back("diff " + ulp_distance(mine.value, platform.value, sr));
      }
    }
    rows.push_back(r);
  }
  print_rows(rows);
  return 0;
}

int report(const options& o) {
  if (!o.evaluation_only.empty()) usage_error("option " + o.evaluation_only.front() + " does not apply to report");
  report_options r;
  r.prec = o.prec;
  r.data_dir = o.data_dir ? o.data_dir : default_data_dir();
  r.data_given = o.data_dir != nullptr;
  r.plots_dir = o.plots_dir ? o.plots_dir : "";
  r.quick = o.quick;
  if (o.reps) {
    long n = 0;
    if (!parse_count(o.reps, 1000, n))
      usage_error(std::string("malformed count '") + o.reps + "' for --reps (1 to 1000)");
    r.repetitions = static_cast<int>(n);
  }
  for (std::size_t i = 1; i < o.positional.size(); ++i) r.only.push_back(&function_named(o.positional[i]));
  return run_report(r);
}

}  // namespace

std::string build_description() {
  return varnel::math::elementary::portable_build
             ? "portable build: exp, log, pow, sin, expm1 and log1p are the library's own, "
               "the same bits on every platform"
             : "platform build: exp, log, pow, sin, expm1 and log1p are the C library's";
}

void usage_error(const std::string& problem) {
  std::fflush(stdout);
  std::fprintf(stderr, "varnel-math: %s; %s\n", problem.c_str(), usage_line);
  std::exit(2);
}

void runtime_error(const std::string& problem, int status) {
  std::fflush(stdout);
  std::fprintf(stderr, "varnel-math: %s\n", problem.c_str());
  std::exit(status);
}

}  // namespace varnel_cli

int main(int argc, char** argv) {
  using namespace varnel_cli;
  const options o = parse_options(argc, argv);
  if (o.help) {
    print_help();
    return 0;
  }
  if (o.version) {
    std::printf("varnel-math %s, %s; batch functions at level %s, with the portable build's bits\n", VARNEL_VERSION,
                build_description().c_str(), varnel_batch_isa());
    return 0;
  }
  if (o.positional.empty()) usage_error("missing function name");
  if (o.positional[0] == "report") return report(o);
  return evaluate(o);
}
