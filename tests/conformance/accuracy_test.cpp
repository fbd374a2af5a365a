// Accuracy of every function with reference data, in every precision:
// the maximum and mean error per range against the high-precision tables
// of tests/reference, reported as a table and checked against the bounds
// that the README documents.  Errors are in units in the last place of the
// result's own type.  Where log-gamma crosses zero its relative error is
// unbounded, so there it is measured in absolute error (next to the zeros
// at 1 and 2) or in ulps of max(|result|, 1) (negative arguments, whose
// zeros lie between the poles).
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <varnel/math/c99.h>

#include "reference_data.hpp"

namespace {

struct member {
  const char* table;            // reference table name
  const char* name;             // export
  double (*d)(double, double);  // evaluates the export at (x, y)
  bool is_float;
  double bound;  // maximum error allowed, ulps (absolute error for near-zero ranges)
};

#define UNARY(fn) [](double x, double) { return static_cast<double>(fn(x)); }
#define UNARY_F(fn) [](double x, double) { return static_cast<double>(fn(static_cast<float>(x))); }
#define UNARY_L(fn) [](double x, double) { return static_cast<double>(fn(static_cast<long double>(x))); }

// The bounds: the measured maximum over the tables, rounded up a little
// (see the README's accuracy table).  Platform pass-throughs (expm1, and
// log1p after its argument checks) carry the platform's accuracy.
const member members[] = {
    {"acosh", "varnel_acosh", UNARY(varnel_acosh), false, 2.0},
    {"acosh", "varnel_acoshl", UNARY_L(varnel_acoshl), false, 2.0},
    {"acoshf", "varnel_acoshf", UNARY_F(varnel_acoshf), true, 0.51},
    {"asinh", "varnel_asinh", UNARY(varnel_asinh), false, 2.0},
    {"asinh", "varnel_asinhl", UNARY_L(varnel_asinhl), false, 2.0},
    {"asinhf", "varnel_asinhf", UNARY_F(varnel_asinhf), true, 0.51},
    {"atanh", "varnel_atanh", UNARY(varnel_atanh), false, 1.5},
    {"atanh", "varnel_atanhl", UNARY_L(varnel_atanhl), false, 1.5},
    {"atanhf", "varnel_atanhf", UNARY_F(varnel_atanhf), true, 0.51},
    {"cbrt", "varnel_cbrt", UNARY(varnel_cbrt), false, 3.5},
    {"cbrt", "varnel_cbrtl", UNARY_L(varnel_cbrtl), false, 3.5},
    {"cbrtf", "varnel_cbrtf", UNARY_F(varnel_cbrtf), true, 0.51},
    {"erf", "varnel_erf", UNARY(varnel_erf), false, 2.0},
    {"erf", "varnel_erfl", UNARY_L(varnel_erfl), false, 2.0},
    {"erff", "varnel_erff", UNARY_F(varnel_erff), true, 0.51},
    {"erfc", "varnel_erfc", UNARY(varnel_erfc), false, 4.0},
    {"erfc", "varnel_erfcl", UNARY_L(varnel_erfcl), false, 4.0},
    {"erfcf", "varnel_erfcf", UNARY_F(varnel_erfcf), true, 0.51},
    {"expm1", "varnel_expm1", UNARY(varnel_expm1), false, 1.0},
    {"expm1", "varnel_expm1l", UNARY_L(varnel_expm1l), false, 1.0},
    {"expm1f", "varnel_expm1f", UNARY_F(varnel_expm1f), true, 1.0},
    {"hypot", "varnel_hypot", [](double x, double y) { return varnel_hypot(x, y); }, false, 2.0},
    {"hypot", "varnel_hypotl", [](double x, double y) { return static_cast<double>(varnel_hypotl(x, y)); }, false, 2.0},
    {"hypotf", "varnel_hypotf",
     [](double x, double y) {
       return static_cast<double>(varnel_hypotf(static_cast<float>(x), static_cast<float>(y)));
     },
     true, 2.0},
    {"lgamma", "varnel_lgamma", UNARY(varnel_lgamma), false, 2.5},
    {"lgamma", "varnel_lgammal", UNARY_L(varnel_lgammal), false, 2.5},
    {"lgammaf", "varnel_lgammaf", UNARY_F(varnel_lgammaf), true, 0.51},
    {"log1p", "varnel_log1p", UNARY(varnel_log1p), false, 1.0},
    {"log1p", "varnel_log1pl", UNARY_L(varnel_log1pl), false, 1.0},
    {"log1pf", "varnel_log1pf", UNARY_F(varnel_log1pf), true, 1.0},
    {"tgamma", "varnel_tgamma", UNARY(varnel_tgamma), false, 8.0},
    {"tgamma", "varnel_tgammal", UNARY_L(varnel_tgammal), false, 8.0},
    {"tgammaf", "varnel_tgammaf", UNARY_F(varnel_tgammaf), true, 0.51},
};

enum class measure { ulp, absolute, ulp_of_at_least_one };

// Ranges of the binary64 tables measured otherwise, with their own bounds.
struct range_rule {
  const char* table;
  const char* range;
  measure how;
  double bound;
};
const range_rule range_rules[] = {
    {"lgamma", "near-zero-1", measure::absolute, 2e-18},
    {"lgamma", "near-zero-2", measure::absolute, 2e-18},
    {"lgamma", "negative", measure::ulp_of_at_least_one, 8.0},
};

const range_rule* rule_for(const std::string& table, const std::string& range) {
  for (const auto& r : range_rules)
    if (table == r.table && range == r.range) return &r;
  return nullptr;
}

struct stats {
  double max = 0;
  double sum = 0;
  std::size_t n = 0;
  double worst_x = 0;
};

TEST(Accuracy, EveryFunctionWithinItsDocumentedBound) {
  std::printf("| export | range | points | max | mean |\n|---|---|---|---|---|\n");
  for (const member& m : members) {
    std::map<std::string, stats> by_range;
    std::vector<std::string> order;
    for (const auto& p : varnel_common::load_reference(m.table)) {
      // Results that underflow to zero are edge cases with their own tests
      // (value and ERANGE), not accuracy data.
      if (p.hi == 0) continue;
      if (!by_range.count(p.range)) order.push_back(p.range);
      stats& s = by_range[p.range];
      const double r = m.d(p.x, p.y);
      const range_rule* rule = rule_for(m.table, p.range);
      double err;
      if (rule != nullptr && rule->how == measure::absolute) {
        err = varnel_common::abs_error(r, p.hi, p.lo);
      } else if (rule != nullptr) {
        err = varnel_common::abs_error(r, p.hi, p.lo) /
              static_cast<double>(varnel_common::double_ulp(std::fabs(p.hi) < 1 ? 1.0 : p.hi));
      } else if (m.is_float) {
        err = varnel_common::ulp_error_float(static_cast<float>(r), p.hi, p.lo);
      } else {
        err = varnel_common::ulp_error(r, p.hi, p.lo);
      }
      if (err > s.max || s.n == 0) {
        s.max = std::max(err, s.max);
        s.worst_x = p.x;
      }
      s.sum += err;
      ++s.n;
    }
    ASSERT_FALSE(order.empty()) << m.table;
    for (const auto& range : order) {
      const stats& s = by_range[range];
      const range_rule* rule = rule_for(m.table, range);
      const char* unit = rule == nullptr ? "" : rule->how == measure::absolute ? " (abs)" : " (ulp of max(|y|,1))";
      std::printf("| %s | %s | %zu | %.3g%s | %.3g |\n", m.name, range.c_str(), s.n, s.max, unit,
                  s.sum / static_cast<double>(s.n));
      EXPECT_LE(s.max, rule != nullptr ? rule->bound : m.bound)
          << m.name << " on " << range << ", worst at x = " << s.worst_x;
    }
  }
}

}  // namespace
