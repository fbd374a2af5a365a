// Checks the reference-table loader, the error measures, and the tables
// themselves against properties that do not depend on the generator: the
// double-double form of every value, exact algebraic identities (erf + erfc
// = 1, cbrt(x)^3 = x, hypot^2 = x^2 + y^2, integer factorials), monotonicity
// and the known signs of gamma and log-gamma.
#include "reference_data.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using varnel_common::abs_error;
using varnel_common::load_reference;
using varnel_common::read_reference_file;
using varnel_common::reference_file;
using varnel_common::reference_point;
using varnel_common::ulp_error;
using varnel_common::ulp_error_float;

// ---------------------------------------------------------------------------
// Error measures

struct ulp_case {
  const char* what;
  double result;
  double hi;
  double lo;
  double expected;
};

const ulp_case double_cases[] = {
    {"exact", 1.0, 1.0, 0.0, 0.0},
    {"next double above 1", 0x1.0000000000001p+0, 1.0, 0.0, 1.0},
    {"half an ulp carried by lo", 1.0, 1.0, 0x1p-53, 0.5},
    {"a quarter ulp of lo below", 1.0, 1.0, -0x1p-54, 0.25},
    {"lo on the far side of the result", 0x1.0000000000001p+0, 1.0, 0x1p-54, 0.75},
    {"below a power of two, counted in hi's binade", 0x1.fffffffffffffp-1, 1.0, 0.0, 0.5},
    {"negative", -0x1.0000000000001p+0, -1.0, 0.0, 1.0},
    {"many ulps", 0x1.0000000001p+0, 1.0, 0.0, 4096.0},
    {"subnormal spacing", 0x0.0000000000003p-1022, 0x0.0000000000001p-1022, 0.0, 2.0},
    {"zero reference", 0x0.0000000000001p-1022, 0.0, 0.0, 1.0},
    {"smallest normal", 0x1.0000000000001p-1022, 0x1p-1022, 0.0, 1.0},
    {"largest finite", 0x1.ffffffffffffep+1023, 0x1.fffffffffffffp+1023, 0.0, 1.0},
};

TEST(ReferenceUlpError, DoubleCases) {
  for (const ulp_case& c : double_cases) {
    EXPECT_EQ(ulp_error(c.result, c.hi, c.lo), c.expected) << c.what;
  }
}

const ulp_case float_cases[] = {
    {"next float above 1", 0x1.000002p+0, 1.0, 0.0, 1.0},
    {"half a float ulp in hi", 1.0, 0x1.000001p+0, 0.0, 0.5},
    {"lo counts", 1.0, 1.0, 0x1p-25, 0.25},
    {"below a power of two, counted in hi's binade", 0x1.fffffep-1, 1.0, 0.0, 0.5},
    // hi lies below 1 but its nearest float is 1, whose binade sets the unit
    {"hi rounding up into the next binade", 1.0, 0x1.ffffffcp-1, 0.0, 0x1p-4},
    {"float subnormal spacing", 0x1p-148, 0x1p-149, 0.0, 1.0},
    {"reference beyond FLT_MAX", 0x1.fffffep+127, 0x1.fffffffp+127, 0.0, 0.96875},
};

TEST(ReferenceUlpError, FloatCases) {
  for (const ulp_case& c : float_cases) {
    EXPECT_EQ(ulp_error_float(static_cast<float>(c.result), c.hi, c.lo), c.expected) << c.what;
  }
}

TEST(ReferenceUlpError, NonFiniteResultsAreInfinitelyWrong) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(ulp_error(inf, 1.0, 0.0), inf);
  EXPECT_EQ(ulp_error(nan, 1.0, 0.0), inf);
  EXPECT_EQ(ulp_error_float(static_cast<float>(nan), 1.0, 0.0), inf);
  EXPECT_EQ(abs_error(-inf, 0.0, 0.0), inf);
}

TEST(ReferenceUlpError, AbsoluteError) {
  EXPECT_EQ(abs_error(0x1p-60, 0x1p-60, 0.0), 0.0);
  EXPECT_EQ(abs_error(0.0, 0x1p-60, 0x1p-112), 0x1.0000000000001p-60);
  EXPECT_EQ(abs_error(-0x1p-52, 0x1p-53, 0.0), 0x1.8p-52);
}

// ---------------------------------------------------------------------------
// Loader

std::string write_temp(const std::string& name, const std::string& text) {
  const std::string path = ::testing::TempDir() + "/" + name;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) {
    ADD_FAILURE() << "cannot write " << path;
    return path;
  }
  std::fputs(text.c_str(), f);
  std::fclose(f);
  return path;
}

TEST(ReferenceLoader, ParsesHeaderAndBothLineShapes) {
  const std::string path =
      write_temp("loader_ok.tsv",
                 "# demo: first line\n"
                 "# range a: something\n"
                 "a\t0x1.8p+1\t0x1.2p+0\t-0x1p-55\n"
                 "\n"
                 "b\t0x1p+0\t-0x0.0000000000001p-1022\t0x1.6a09e667f3bcdp+0\t-0x1.bdd3413b26456p-54\r\n");
  const reference_file file = read_reference_file(path);
  ASSERT_EQ(file.header.size(), 2u);
  EXPECT_EQ(file.header[1], "# range a: something");
  ASSERT_EQ(file.points.size(), 2u);
  EXPECT_EQ(file.points[0].range, "a");
  EXPECT_EQ(file.points[0].x, 3.0);
  EXPECT_TRUE(std::isnan(file.points[0].y));
  EXPECT_EQ(file.points[0].hi, 1.125);
  EXPECT_EQ(file.points[0].lo, -std::ldexp(1.0, -55));
  EXPECT_EQ(file.points[1].range, "b");
  EXPECT_EQ(file.points[1].y, -std::numeric_limits<double>::denorm_min());
  EXPECT_EQ(file.points[1].hi, 1.4142135623730951);
  EXPECT_EQ(file.points[1].lo, -0x1.bdd3413b26456p-54);

  const std::vector<reference_point> same = load_reference("loader_ok", ::testing::TempDir());
  EXPECT_EQ(same.size(), 2u);
}

TEST(ReferenceLoader, RejectsMalformedInput) {
  const char* const bad[] = {
      "a\t0x1p+0\t0x1p+0\n",                          // too few fields
      "a\t0x1p+0\t0x1p+0\t0x1p+0\t0x1p+0\t0x1p+0\n",  // too many
      "a\t0x1.8q+1\t0x1p+0\t0x0p+0\n",                // not a number
      "a\t0x1p+0 \t0x1p+0\t0x0p+0\n",                 // trailing text
      "\t0x1p+0\t0x1p+0\t0x0p+0\n",                   // no range name
      "a\t\t0x1p+0\t0x0p+0\n",                        // empty field
  };
  int i = 0;
  for (const char* text : bad) {
    const std::string path = write_temp("loader_bad" + std::to_string(i++) + ".tsv", text);
    EXPECT_THROW(read_reference_file(path), std::runtime_error) << text;
  }
  EXPECT_THROW(read_reference_file(::testing::TempDir() + "/no_such_table.tsv"), std::runtime_error);
}

// ---------------------------------------------------------------------------
// The tables

// Small double-double arithmetic for the identity checks (products through
// std::fma, which is exact here).
struct dd {
  double hi;
  double lo;
};

dd two_sum(double a, double b) {
  const double s = a + b;
  const double bb = s - a;
  return {s, (a - (s - bb)) + (b - bb)};
}

dd dd_mul(dd a, dd b) {
  const double p = a.hi * b.hi;
  const double e = std::fma(a.hi, b.hi, -p) + (a.hi * b.lo + a.lo * b.hi);
  return two_sum(p, e);
}

const char* const functions[] = {"acosh", "asinh", "atanh",  "cbrt",  "erf",   "erfc",
                                 "expm1", "hypot", "lgamma", "log1p", "tgamma"};

std::vector<std::string> all_tables() {
  std::vector<std::string> names;
  for (const char* f : functions) {
    names.push_back(f);
    names.push_back(std::string(f) + "f");
  }
  return names;
}

bool is_float_table(const std::string& name) { return name.back() == 'f' && name != "erf"; }

std::string base_function(const std::string& name) {
  return is_float_table(name) ? name.substr(0, name.size() - 1) : name;
}

reference_file read_table(const std::string& name) {
  return read_reference_file(std::string(VARNEL_REFERENCE_DIR) + "/" + name + ".tsv");
}

std::string table_name(const ::testing::TestParamInfo<std::string>& table) { return table.param; }

class ReferenceTable : public ::testing::TestWithParam<std::string> {};

TEST_P(ReferenceTable, HeaderDeclaresEveryRangeWithItsCount) {
  const std::string name = GetParam();
  const reference_file file = read_table(name);
  ASSERT_GE(file.header.size(), 5u);
  // A generated file opens with the command that writes it again.
  EXPECT_EQ(file.header[0].rfind("# Generated by common/reference/generate.py", 0), 0u) << file.header[0];
  EXPECT_NE(file.header[0].find("python3 common/reference/generate.py"), std::string::npos) << file.header[0];
  EXPECT_EQ(file.header[1].rfind("# " + name + ": ", 0), 0u) << file.header[1];
  bool provenance = false;
  std::map<std::string, long> declared;
  for (const std::string& line : file.header) {
    provenance = provenance || (line.find("mpmath") != std::string::npos && line.find("bits") != std::string::npos);
    if (line.rfind("# range ", 0) == 0) {
      const std::string::size_type colon = line.find(':');
      const std::string::size_type open = line.rfind('(');
      ASSERT_NE(colon, std::string::npos) << line;
      ASSERT_NE(open, std::string::npos) << line;
      declared[line.substr(8, colon - 8)] = std::strtol(line.c_str() + open + 1, nullptr, 10);
    }
  }
  EXPECT_TRUE(provenance) << name << ": no generator/precision line";
  std::map<std::string, long> counted;
  for (const reference_point& p : file.points) {
    ++counted[p.range];
  }
  for (const auto& entry : counted) {
    ASSERT_TRUE(declared.count(entry.first)) << name << ": undeclared range " << entry.first;
    EXPECT_EQ(declared[entry.first], entry.second) << name << " range " << entry.first;
  }
  EXPECT_GE(file.points.size(), 500u) << name;
}

bool tiny_results_allowed(const std::string& range) {
  return range == "reflection-subnormal" || range == "reflection-underflow";
}

TEST_P(ReferenceTable, ValuesAreDoubleDoubleInRange) {
  const std::string name = GetParam();
  const bool is_float = is_float_table(name);
  const bool binary = base_function(name) == "hypot";
  std::set<std::pair<double, double>> seen;
  for (const reference_point& p : read_table(name).points) {
    SCOPED_TRACE(name + " " + p.range + " x=" + std::to_string(p.x));
    ASSERT_TRUE(std::isfinite(p.x));
    ASSERT_TRUE(std::isfinite(p.hi));
    ASSERT_EQ(std::isnan(p.y), !binary);
    EXPECT_TRUE(seen.insert({p.x, binary ? p.y : 0.0}).second) << "duplicate argument";
    if (is_float) {
      EXPECT_EQ(static_cast<double>(static_cast<float>(p.x)), p.x);
      if (binary) {
        EXPECT_EQ(static_cast<double>(static_cast<float>(p.y)), p.y);
      }
      EXPECT_GE(std::fabs(p.hi), static_cast<double>(FLT_MIN));
      EXPECT_LE(std::fabs(p.hi), static_cast<double>(FLT_MAX));
    } else if (!tiny_results_allowed(p.range)) {
      EXPECT_GE(std::fabs(p.hi), DBL_MIN);
    } else {
      EXPECT_LT(std::fabs(p.hi), DBL_MIN);
    }
    // hi correctly rounded means the remainder is at most half an ulp
    EXPECT_LE(std::fabs(static_cast<long double>(p.lo)), varnel_common::double_ulp(p.hi) / 2);
  }
}

// The ranges of every table (common/reference/README.md), all present and no
// other: the accuracy driver bounds some ranges by name and the rest by the
// catalogue's bound for every range, so a range lost here would go unseen.
// The float tables have their function's ranges, except tgammaf.
const std::map<std::string, std::set<std::string>> table_ranges = {
    {"acosh", {"near-one", "medium", "huge"}},
    {"asinh", {"tiny", "small", "medium", "huge", "negative"}},
    {"atanh", {"tiny", "small", "medium", "negative"}},
    {"cbrt", {"unit", "normal", "subnormal", "negative"}},
    {"erf", {"tiny", "small", "near", "mid", "far", "negative"}},
    {"erfc", {"tiny", "small", "near", "mid", "far", "negative", "tail"}},
    {"expm1", {"small", "moderate", "large", "large-negative"}},
    {"hypot", {"unit", "comparable", "different", "wide", "extreme"}},
    {"lgamma", {"tiny", "small", "near-zero-1", "near-zero-2", "low", "medium", "high", "large", "huge", "negative"}},
    {"log1p", {"small", "near-minus-one", "moderate", "large"}},
    {"tgamma",
     {"tiny", "small", "medium", "large", "near-overflow", "integers", "negative", "negative-large", "reflection-tail",
      "reflection-subnormal", "reflection-underflow"}},
    {"tgammaf", {"tiny", "small", "medium", "large", "integers", "negative", "negative-large"}},
};

TEST_P(ReferenceTable, HoldsItsRanges) {
  const std::string name = GetParam();
  const auto expected = table_ranges.find(table_ranges.count(name) ? name : base_function(name));
  ASSERT_NE(expected, table_ranges.end()) << name;
  std::set<std::string> seen;
  for (const reference_point& p : read_table(name).points) seen.insert(p.range);
  EXPECT_EQ(seen, expected->second) << name;
}

INSTANTIATE_TEST_SUITE_P(AllTables, ReferenceTable, ::testing::ValuesIn(all_tables()), table_name);

// Monotone functions: sorted by argument, the references must not go back.
class MonotoneTable : public ::testing::TestWithParam<std::string> {};

TEST_P(MonotoneTable, NeverGoesBack) {
  const std::string f = base_function(GetParam());
  std::vector<reference_point> points = read_table(GetParam()).points;
  std::sort(points.begin(), points.end(), [](const reference_point& a, const reference_point& b) { return a.x < b.x; });
  const double direction = f == "erfc" ? -1.0 : 1.0;
  for (std::size_t i = 1; i < points.size(); ++i) {
    const double step = direction * ((points[i].hi - points[i - 1].hi) + (points[i].lo - points[i - 1].lo));
    EXPECT_GE(step, 0.0) << GetParam() << " between x=" << points[i - 1].x << " and " << points[i].x;
  }
  EXPECT_GE(points.size(), 500u);
}

INSTANTIATE_TEST_SUITE_P(MonotoneTables, MonotoneTable,
                         ::testing::Values("acosh", "acoshf", "asinh", "asinhf", "atanh", "atanhf", "cbrt", "cbrtf",
                                           "erf", "erff", "erfc", "erfcf", "expm1", "expm1f", "log1p", "log1pf"),
                         table_name);

// erf(x) + erfc(x) = 1 exactly; both tables sample the same arguments.
TEST(ReferenceIdentities, ErfPlusErfcIsOne) {
  for (const std::string suffix : {"", "f"}) {
    std::map<double, reference_point> erf;
    for (const reference_point& p : read_table("erf" + suffix).points) {
      erf[p.x] = p;
    }
    long paired = 0;
    for (const reference_point& c : read_table("erfc" + suffix).points) {
      const auto it = erf.find(c.x);
      if (it == erf.end()) {
        continue;
      }
      const dd s = two_sum(it->second.hi, c.hi);
      const double rest = (s.hi - 1.0) + (s.lo + (it->second.lo + c.lo));
      EXPECT_LE(std::fabs(rest), 1e-30) << "erf" << suffix << " x=" << c.x;
      ++paired;
    }
    EXPECT_GE(paired, 2000) << suffix;
  }
}

// cbrt(x)^3 = x, checked after scaling x by 2^(-3k) into [0.5, 4).
TEST(ReferenceIdentities, CubeOfCbrtIsTheArgument) {
  for (const std::string name : {"cbrt", "cbrtf"}) {
    for (const reference_point& p : read_table(name).points) {
      int e = 0;
      std::frexp(p.x, &e);
      const int k = (e >= 0 ? e : e - 2) / 3;
      const double x = std::ldexp(p.x, -3 * k);
      const dd c = {std::ldexp(p.hi, -k), std::ldexp(p.lo, -k)};
      const dd cube = dd_mul(dd_mul(c, c), c);
      EXPECT_LE(std::fabs((cube.hi - x) + cube.lo), 1e-29 * std::fabs(x)) << name << " x=" << p.x;
    }
  }
}

// hypot(x, y)^2 = x^2 + y^2, checked after scaling the larger argument to [0.5, 1).
TEST(ReferenceIdentities, HypotSquaredIsSumOfSquares) {
  for (const std::string name : {"hypot", "hypotf"}) {
    for (const reference_point& p : read_table(name).points) {
      int e = 0;
      std::frexp(std::max(std::fabs(p.x), std::fabs(p.y)), &e);
      const double x = std::ldexp(p.x, -e);
      const double y = std::ldexp(p.y, -e);
      const dd h = {std::ldexp(p.hi, -e), std::ldexp(p.lo, -e)};
      const dd xx = dd_mul({x, 0.0}, {x, 0.0});
      const dd yy = dd_mul({y, 0.0}, {y, 0.0});
      const dd hh = dd_mul(h, h);
      const dd sum = two_sum(xx.hi, yy.hi);
      const double rest = (sum.hi - hh.hi) + ((sum.lo + xx.lo + yy.lo) - hh.lo);
      // lo is itself a double: for results near the bottom of the
      // normal range it is subnormal and known only to 2^-1075
      const double lo_grain = std::ldexp(1.0, -1075 - e);
      EXPECT_LE(std::fabs(rest), 1e-30 + 4 * lo_grain) << name << " x=" << p.x << " y=" << p.y;
    }
  }
}

// Gamma(n) = (n - 1)!, built up in double-double.
TEST(ReferenceIdentities, GammaOfIntegersIsFactorial) {
  for (const std::string name : {"tgamma", "tgammaf"}) {
    std::map<double, reference_point> integers;
    for (const reference_point& p : read_table(name).points) {
      if (p.range == "integers") {
        integers[p.x] = p;
      }
    }
    const int last = name == "tgamma" ? 171 : 35;
    ASSERT_EQ(integers.size(), static_cast<std::size_t>(last)) << name;
    dd factorial = {1.0, 0.0};
    for (int n = 1; n <= last; ++n) {
      if (n > 1) {
        factorial = dd_mul(factorial, {static_cast<double>(n - 1), 0.0});
      }
      const reference_point& p = integers[n];
      const double diff = (p.hi - factorial.hi) + (p.lo - factorial.lo);
      EXPECT_LE(std::fabs(diff), 1e-28 * p.hi) << name << " n=" << n;
      if (n <= 23) {  // 22! < 2^70 still has an exact binary64 value
        EXPECT_EQ(p.lo, 0.0) << name << " n=" << n;
      }
    }
  }
}

// Gamma(x) > 0 for x > 0, and on (-n, -n + 1) its sign is (-1)^n.
TEST(ReferenceIdentities, GammaSigns) {
  for (const std::string name : {"tgamma", "tgammaf"}) {
    for (const reference_point& p : read_table(name).points) {
      const bool negative = p.x < 0 && static_cast<long>(std::ceil(-p.x)) % 2 == 1;
      EXPECT_EQ(std::signbit(p.hi), negative) << name << " x=" << p.x;
    }
  }
}

// log|Gamma(x)| < 0 exactly for 1 < x < 2 among positive arguments.
TEST(ReferenceIdentities, LogGammaSignsOnThePositiveAxis) {
  for (const std::string name : {"lgamma", "lgammaf"}) {
    for (const reference_point& p : read_table(name).points) {
      if (p.x > 0) {
        EXPECT_EQ(p.hi<0, p.x> 1 && p.x < 2) << name << " x=" << p.x;
      }
    }
  }
}

}  // namespace
