// The special cases of every export (cases.txt): what C99's Annex F gives,
// or glibc where C99 leaves the choice to the implementation, and where the
// libraries give something else, what they give.  Every row runs against
// the libraries in each precision it names: a row without a departure must
// give the expected value and errno, a departure exactly the value and
// errno it lists, which must differ from the expected ones.  On glibc every
// row also runs against the C library itself, so that the expected column
// is measured rather than assumed: glibc must give the expected outcome, or
// exactly the one the row's glibc column records.
//
// A failure prints the outcome measured in the table's notation.
#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <limits>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include <varnel/math/c99.h>
#include <varnel/math/tr1.hpp>

#include "catalogue.hpp"

#ifndef VARNEL_DEPARTURES_FILE
#error "VARNEL_DEPARTURES_FILE: the path of cases.txt"
#endif

namespace {

// The libraries' long double: the x87 format on x86-64 Linux, binary128 on
// AArch64 and s390x Linux, binary64 on Windows (where a caller with a
// wider long double sees double in its place).
using ld = VARNEL_MATH_LONG_DOUBLE;
constexpr bool long_double_is_x87 = std::numeric_limits<ld>::digits == 64;
constexpr bool long_double_is_binary128 = std::numeric_limits<ld>::digits == 113;

// The processor whose glibc measured the glibc outcomes marked "x86-64:".
#if defined(__x86_64__) || defined(_M_X64)
constexpr bool processor_is_x86_64 = true;
#else
constexpr bool processor_is_x86_64 = false;
#endif

// The compiler's long double, or double where that is the same format
// (Windows): the C runtime's long double functions (strtold, frexpl) take
// the 80-bit format there, which this program's binary64 long double is
// not.
using wide = std::conditional_t<std::numeric_limits<long double>::digits == 53, double, long double>;

// One call's outcome.  Floating results are kept widened to the compiler's
// long double, which holds every float, double and library long double
// value exactly; integer and classification results as an integer.
struct outcome {
  bool integral = false;
  long double value = 0;
  long long integer = 0;
  int error = 0;  // errno after the call, cleared before it
};

// --- the table's notation -----------------------------------------------------

template <class T> T parse_number(const std::string& s) {
  const char* begin = s.c_str();
  char* end = nullptr;
  T v;
  if constexpr (std::is_same_v<T, float>)
    v = std::strtof(begin, &end);
  else if constexpr (std::is_same_v<T, double>)
    v = std::strtod(begin, &end);
  else if constexpr (std::is_same_v<wide, double>)
    v = static_cast<T>(std::strtod(begin, &end));
  else
    v = static_cast<T>(std::strtold(begin, &end));
  if (end == begin || *end != '\0') throw std::runtime_error("not a number: '" + s + "'");
  return v;
}

// Values written by name: zeros, infinities, NaNs, the largest finite (max),
// smallest normal (min) and smallest subnormal (tmin) value of T, and
// LONG_MIN and LLONG_MIN (-LONG_MIN: the power of two above LONG_MAX).
template <class T> bool named_value(const std::string& s, T& v) {
  using L = std::numeric_limits<T>;
  const bool minus = !s.empty() && s[0] == '-';
  const std::string name = minus || (!s.empty() && s[0] == '+') ? s.substr(1) : s;
  if (name == "0")
    v = 0;
  else if (name == "inf")
    v = L::infinity();
  else if (name == "nan")
    v = L::quiet_NaN();
  else if (name == "max")
    v = L::max();
  else if (name == "min")
    v = L::min();
  else if (name == "tmin")
    v = L::denorm_min();
  else if (name == "LONG_MIN" || name == "LLONG_MIN") {
    // -LONG_MIN: the power of two just above the range of long.
    v = static_cast<T>(name == "LONG_MIN" ? LONG_MIN : LLONG_MIN);
    v = minus ? -v : v;
    return true;
  } else
    return false;
  v = std::copysign(v, minus ? T(-1) : T(1));
  return true;
}

template <class T> T parse_value(const std::string& s) {
  T v;
  return named_value(s, v) ? v : parse_number<T>(s);
}

int parse_errno(const std::string& s) {
  if (s == "-") return 0;
  if (s == "EDOM") return EDOM;
  if (s == "ERANGE") return ERANGE;
  throw std::runtime_error("not an errno: '" + s + "'");
}

long long parse_integer(const std::string& s) {
  static const std::map<std::string, long long> names = {
      {"LONG_MIN", LONG_MIN},
      {"LONG_MAX", LONG_MAX},
      {"LLONG_MIN", LLONG_MIN},
      {"LLONG_MAX", LLONG_MAX},
      {"FP_NAN", varnel::math::tr1::fp_nan},
      {"FP_INFINITE", varnel::math::tr1::fp_infinite},
      {"FP_ZERO", varnel::math::tr1::fp_zero},
      {"FP_SUBNORMAL", varnel::math::tr1::fp_subnormal},
      {"FP_NORMAL", varnel::math::tr1::fp_normal},
      {"true", 1},
      {"false", 0},
  };
  const auto it = names.find(s);
  if (it != names.end()) return it->second;
  char* end = nullptr;
  const long long v = std::strtoll(s.c_str(), &end, 10);
  if (s.empty() || *end != '\0') throw std::runtime_error("not an integer: '" + s + "'");
  return v;
}

// A value in the table's notation: names for zeros, infinities and NaNs,
// otherwise the normalised hex float (1.xxx or 0 before the point).
std::string format_floating(long double value) {
  const wide v = static_cast<wide>(value);  // exact
  if (std::isnan(v)) return std::signbit(v) ? "-nan" : "nan";
  if (std::isinf(v)) return v < 0 ? "-inf" : "inf";
  if (v == 0) return std::signbit(v) ? "-0" : "+0";
  int e = 0;
  wide m = std::frexp(std::fabs(v), &e) * 2 - 1;  // |v| = (1 + m) 2^(e-1)
  std::string s = v < 0 ? "-0x1" : "0x1";
  if (m != 0) s += ".";
  while (m != 0) {
    m *= 16;
    const int digit = static_cast<int>(m);
    m -= digit;
    s += "0123456789abcdef"[digit];
  }
  return s + "p" + (e - 1 >= 0 ? "+" : "") + std::to_string(e - 1);
}

const char* errno_name(int e) { return e == 0 ? "-" : e == EDOM ? "EDOM" : e == ERANGE ? "ERANGE" : "other"; }

std::string format(const outcome& o) {
  return (o.integral ? std::to_string(o.integer) : format_floating(o.value)) + " " + errno_name(o.error);
}

// Does an outcome of a T member match "VALUE ERRNO"?  Beyond exact values
// the notation has +normal, -normal, +subnormal, -subnormal (any value of
// that class and sign), nan (any NaN), -nan (a NaN with the sign bit set)
// and any (C99 leaves the value unspecified).
template <class T> bool matches(const std::string& expected, const outcome& o) {
  std::istringstream in(expected);
  std::string value, error;
  if (!(in >> value >> error) || (in >> std::ws, !in.eof()))
    throw std::runtime_error("not 'VALUE ERRNO': '" + expected + "'");
  if (parse_errno(error) != o.error) return false;
  if (value == "any") return true;
  if (o.integral) return parse_integer(value) == o.integer;
  const T r = static_cast<T>(o.value);  // exact: the result was a T
  if (value == "nan") return std::isnan(r);
  if (value == "-nan") return std::isnan(r) && std::signbit(r);
  if (std::isnan(r)) return false;
  const bool negative = std::signbit(r);
  if (value == "+normal" || value == "-normal") return std::fpclassify(r) == FP_NORMAL && negative == (value[0] == '-');
  if (value == "+subnormal" || value == "-subnormal")
    return std::fpclassify(r) == FP_SUBNORMAL && negative == (value[0] == '-');
  const T want = parse_value<T>(value);
  return r == want && negative == static_cast<bool>(std::signbit(want));
}

// --- the functions --------------------------------------------------------------

// Calls with errno cleared before and read after; arguments in the table's
// notation, read as the parameter's type.
using caller = std::function<outcome(const std::vector<std::string>&)>;

template <class R> outcome finish(R r) {
  outcome o;
  o.error = errno;
  if constexpr (std::is_floating_point_v<R>) {
    o.value = static_cast<long double>(r);
  } else {
    o.integral = true;
    o.integer = static_cast<long long>(r);
  }
  return o;
}

template <class R, class T> caller call(R (*f)(T)) {
  return [f](const std::vector<std::string>& a) {
    const T x = parse_value<T>(a.at(0));
    errno = 0;
    return finish(f(x));
  };
}

template <class R, class T, class U> caller call(R (*f)(T, U)) {
  return [f](const std::vector<std::string>& a) {
    const T x = parse_value<T>(a.at(0));
    const U y = parse_value<U>(a.at(1));
    errno = 0;
    return finish(f(x, y));
  };
}

namespace tr1 = varnel::math::tr1;

// The classification templates, through their exported instantiations
// (the argument's type picks the library), and C99's macros beside them.
template <class T> int our_fpclassify(T x) { return tr1::fpclassify(x); }
template <class T> bool our_isfinite(T x) { return tr1::isfinite(x); }
template <class T> bool our_isinf(T x) { return tr1::isinf(x); }
template <class T> bool our_isnan(T x) { return tr1::isnan(x); }
template <class T> bool our_isnormal(T x) { return tr1::isnormal(x); }
template <class T> bool our_signbit(T x) { return tr1::signbit(x); }
template <class T> int c_fpclassify(T x) {
  switch (std::fpclassify(x)) {
    case FP_NAN:
      return tr1::fp_nan;
    case FP_INFINITE:
      return tr1::fp_infinite;
    case FP_ZERO:
      return tr1::fp_zero;
    case FP_SUBNORMAL:
      return tr1::fp_subnormal;
    default:
      return tr1::fp_normal;
  }
}
template <class T> bool c_isfinite(T x) { return std::isfinite(x); }
template <class T> bool c_isinf(T x) { return std::isinf(x); }
template <class T> bool c_isnan(T x) { return std::isnan(x); }
template <class T> bool c_isnormal(T x) { return std::isnormal(x); }
template <class T> bool c_signbit(T x) { return std::signbit(x); }

struct function_entry {
  caller ours[3];      // double, float, long double
  caller platform[3];  // the C library's members of the same name (glibc only)
};

#if defined(__GLIBC__)
constexpr bool platform_is_glibc = true;
#define VARNEL_PLATFORM(name) call(&::name), call(&::name##f), call(&::name##l)
#else
constexpr bool platform_is_glibc = false;
#define VARNEL_PLATFORM(name) caller(), caller(), caller()
#endif
#define VARNEL_MEMBERS(name)                                                                              \
  {                                                                                                       \
#name, {                                                                                              \
      {call(&varnel_##name), call(&varnel_##name##f), call(&varnel_##name##l)}, { VARNEL_PLATFORM(name) } \
    }                                                                                                     \
  }
#define VARNEL_CLASSIFICATION(name)                                                   \
  {                                                                                   \
#name, {                                                                          \
      {call(&our_##name<double>), call(&our_##name<float>), call(&our_##name<ld>)}, { \
        call(&c_##name<double>), call(&c_##name<float>), call(&c_##name<ld>)          \
      }                                                                               \
    }                                                                                 \
  }

// Every export of the three libraries: the catalogue's functions and the
// classification templates.
const std::map<std::string, function_entry>& functions() {
  static const std::map<std::string, function_entry> table = {
#define VARNEL_CATALOGUED(name, shape, road) VARNEL_MEMBERS(name),
      VARNEL_CATALOGUE_FUNCTIONS(VARNEL_CATALOGUED)
#undef VARNEL_CATALOGUED
          VARNEL_CLASSIFICATION(fpclassify),
      VARNEL_CLASSIFICATION(isfinite),
      VARNEL_CLASSIFICATION(isinf),
      VARNEL_CLASSIFICATION(isnan),
      VARNEL_CLASSIFICATION(isnormal),
      VARNEL_CLASSIFICATION(signbit),
  };
  return table;
}

// --- the table ------------------------------------------------------------------

struct row {
  int line;
  std::string function;
  std::string types;    // letters d, f, l
  bool applies = true;  // the long double format before the letters ("wide:", "x87:", "binary128:") is this one's
  bool glibc_x86_64;    // "x86-64:" before the glibc outcome: measured on x86-64 only
  std::vector<std::string> args;
  std::string expected, ours, glibc, reason;
};

std::string trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

struct table {
  std::vector<row> rows;
  std::map<std::string, std::string> reasons;  // id -> text
};

// "function | types | args | expected | ours | glibc | reason" rows, "@id text"
// reasons (continued on lines that start with "@ "), '#' comments.
table read_table() {
  std::ifstream in(VARNEL_DEPARTURES_FILE);
  if (!in) throw std::runtime_error("cannot read " + std::string(VARNEL_DEPARTURES_FILE));
  table t;
  std::string line, last_reason;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string text = trim(line);
    if (text.empty() || text[0] == '#') continue;
    if (text[0] == '@') {
      if (text.size() > 1 && text[1] == ' ') {
        if (last_reason.empty()) throw std::runtime_error("line " + std::to_string(number) + ": continues no reason");
        t.reasons[last_reason] += " " + trim(text.substr(1));
      } else {
        const auto space = text.find(' ');
        last_reason = text.substr(1, space - 1);
        if (!t.reasons.emplace(last_reason, trim(text.substr(space))).second)
          throw std::runtime_error("line " + std::to_string(number) + ": reason " + last_reason + " twice");
      }
      continue;
    }
    std::vector<std::string> cells;
    std::stringstream cells_in(text);
    for (std::string cell; std::getline(cells_in, cell, '|');) cells.push_back(trim(cell));
    if (cells.size() == 6) cells.push_back("");
    if (cells.size() != 7) throw std::runtime_error("line " + std::to_string(number) + ": not 7 cells");
    row r;
    r.line = number;
    r.function = cells[0];
    r.types = cells[1];
    const auto colon = r.types.find(':');
    if (colon != std::string::npos) {
      const std::string format = r.types.substr(0, colon);
      r.types = r.types.substr(colon + 1);
      if (format == "x87") {
        r.applies = long_double_is_x87;
      } else if (format == "binary128") {
        r.applies = long_double_is_binary128;
      } else if (format == "wide") {
        r.applies = long_double_is_x87 || long_double_is_binary128;
      } else {
        throw std::runtime_error("line " + std::to_string(number) + ": unknown long double format " + format);
      }
    }
    std::istringstream args(cells[2]);
    for (std::string a; args >> a;) r.args.push_back(a);
    r.expected = cells[3];
    r.ours = cells[4];
    r.glibc_x86_64 = cells[5].rfind("x86-64:", 0) == 0;
    r.glibc = r.glibc_x86_64 ? cells[5].substr(7) : cells[5];
    r.reason = cells[6];
    t.rows.push_back(r);
  }
  return t;
}

const table& the_table() {
  static const table t = read_table();
  return t;
}

int type_index(char type) { return type == 'd' ? 0 : type == 'f' ? 1 : 2; }

bool matches_type(char type, const std::string& expected, const outcome& o) {
  switch (type) {
    case 'd':
      return matches<double>(expected, o);
    case 'f':
      return matches<float>(expected, o);
    default:
      return matches<ld>(expected, o);
  }
}

std::string call_text(const row& r, char type) {
  std::string s = r.function + (type == 'd' ? "" : std::string(1, type)) + "(";
  for (std::size_t i = 0; i < r.args.size(); ++i) s += (i ? ", " : "") + r.args[i];
  return s + ")";
}

// --- the tests ------------------------------------------------------------------

TEST(Departures, TableIsWellFormed) {
  const table& t = the_table();
  ASSERT_GE(t.rows.size(), 100u) << "too few special cases";
  std::set<std::string> used, covered;
  for (const row& r : t.rows) {
    SCOPED_TRACE("cases.txt:" + std::to_string(r.line));
    ASSERT_EQ(functions().count(r.function), 1u) << "unknown function " << r.function;
    covered.insert(r.function);
    ASSERT_FALSE(r.types.empty());
    for (const char c : r.types) EXPECT_NE(std::string("dfl").find(c), std::string::npos) << "type " << c;
    EXPECT_FALSE(r.args.empty());
    if (r.ours == "=") {
      EXPECT_EQ(r.reason, "") << "a reason without a departure";
    } else {
      EXPECT_EQ(t.reasons.count(r.reason), 1u) << "a departure needs a known reason, not '" << r.reason << "'";
      used.insert(r.reason);
    }
  }
  for (const auto& [name, entry] : functions()) EXPECT_EQ(covered.count(name), 1u) << name << " has no case";
  for (const auto& [id, text] : t.reasons) EXPECT_EQ(used.count(id), 1u) << "reason " << id << " is not used";
}

TEST(Departures, LibrariesGiveWhatTheTableSays) {
  int calls = 0;
  for (const row& r : the_table().rows) {
    if (!r.applies) continue;
    for (const char type : r.types) {
      const std::string where = "cases.txt:" + std::to_string(r.line) + ": " + call_text(r, type);
      const outcome o = functions().at(r.function).ours[type_index(type)](r.args);
      ++calls;
      if (r.ours == "=") {
        EXPECT_TRUE(matches_type(type, r.expected, o))
            << where << " gives " << format(o) << ", expected " << r.expected << " (an unlisted departure?)";
      } else {
        EXPECT_TRUE(matches_type(type, r.ours, o)) << where << " gives " << format(o) << ", not " << r.ours;
        EXPECT_FALSE(matches_type(type, r.expected, o))
            << where << " gives the expected " << r.expected << ": no longer a departure";
      }
    }
  }
  EXPECT_GE(calls, 300);
}

TEST(Departures, GlibcGivesTheExpectedOutcomes) {
  if (!platform_is_glibc) GTEST_SKIP() << "the expected outcomes are checked against glibc";
  for (const row& r : the_table().rows) {
    if (!r.applies || (r.glibc_x86_64 && !processor_is_x86_64)) continue;
    for (const char type : r.types) {
      const std::string where = "cases.txt:" + std::to_string(r.line) + ": glibc " + call_text(r, type);
      const outcome o = functions().at(r.function).platform[type_index(type)](r.args);
      if (r.glibc == "=") {
        EXPECT_TRUE(matches_type(type, r.expected, o))
            << where << " gives " << format(o) << ", expected " << r.expected;
      } else {
        EXPECT_TRUE(matches_type(type, r.glibc, o)) << where << " gives " << format(o) << ", not " << r.glibc;
        EXPECT_FALSE(matches_type(type, r.expected, o)) << where << " gives the expected " << r.expected;
      }
    }
  }
}

}  // namespace
