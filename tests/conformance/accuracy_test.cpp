// The accuracy driver: every function the catalogue (src/catalogue.toml)
// gives accuracy bounds, against the high-precision tables of
// common/reference (<name>.tsv for the double member, <name>f.tsv for the
// float one), every range, every point.  On each point the error is
// measured as the catalogue's entry for that range says, errno must be the
// entry's (none by default), and the long double member must return the
// double member's bits and errno.  A range of a table that the catalogue
// cannot bound fails, and so does a range the catalogue names that the
// table lacks.  The maximum and mean error per range are printed as a
// table (the README's accuracy section shows the bounds).
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "catalogue.hpp"
#include "function_table.hpp"
#include "reference_data.hpp"
#include "support/bits.hpp"

namespace {

using varnel_catalogue::accuracy_bound;
using varnel_catalogue::measure;
using varnel_common::precision;
using varnel_common::reference_point;
using varnel_test::bits_of;

// The catalogue's entry for one range of a table: the one naming the
// range, else the one for every range; nullptr if neither exists.
const accuracy_bound* bound_for(const std::string& function, bool is_float, const std::string& range) {
  const accuracy_bound* every_range = nullptr;
  for (const accuracy_bound& b : varnel_catalogue::accuracy_bounds) {
    if (function != b.function || b.is_float != is_float) continue;
    if (b.range == nullptr) {
      every_range = &b;
    } else if (range == b.range) {
      return &b;
    }
  }
  return every_range;
}

// The error of result r at p as entry b measures it: ulps of the result's
// type; absolute; ulps of max(|result|, 1), for ranges through zeros of the
// function; zero: none for +0, infinite for anything else.
double error_of(const accuracy_bound& b, long double r, const reference_point& p) {
  const double d = static_cast<double>(r);  // exact: r holds a float or a double
  switch (b.how) {
    case measure::ulp:
      return b.is_float ? varnel_common::ulp_error_float(static_cast<float>(r), p.hi, p.lo)
                        : varnel_common::ulp_error(d, p.hi, p.lo);
    case measure::absolute:
      return varnel_common::abs_error(d, p.hi, p.lo);
    case measure::ulp_of_one: {
      const double at_least_one = std::fabs(p.hi) < 1 ? 1.0 : p.hi;
      const long double ulp =
          b.is_float ? varnel_common::float_ulp(at_least_one) : varnel_common::double_ulp(at_least_one);
      return varnel_common::abs_error(d, p.hi, p.lo) / static_cast<double>(ulp);
    }
    case measure::zero:
      return bits_of(d) == 0 ? 0.0 : std::numeric_limits<double>::infinity();
  }
  return std::numeric_limits<double>::infinity();
}

const char* unit_of(measure how) {
  switch (how) {
    case measure::ulp:
      return "";
    case measure::absolute:
      return " abs";
    case measure::ulp_of_one:
      return " ulp of max(|y|,1)";
    case measure::zero:
      return " (+0)";
  }
  return "";
}

struct range_stats {
  std::size_t points = 0;
  double max = 0;
  double sum = 0;
  double worst_x = 0;
  std::size_t wrong_errno = 0;
  std::size_t long_double_differs = 0;
};

// One table of one function: every point measured and checked, the
// report printed.
void check_table(const varnel_common::function_entry& fn, bool is_float) {
  const std::string table = std::string(fn.name) + (is_float ? "f" : "");
  const std::string member = "varnel_" + table;
  SCOPED_TRACE(member);
  const auto points = varnel_common::load_reference(table);
  ASSERT_GT(points.size(), 1000u) << table << ".tsv";
  const auto eval = varnel_common::eval_of(fn, is_float ? precision::single : precision::dbl, false);
  const auto eval_l = varnel_common::eval_of(fn, precision::extended, false);

  std::vector<std::string> order;  // the table's ranges, in its order
  std::map<std::string, range_stats> stats;
  for (const reference_point& p : points) {
    const accuracy_bound* b = bound_for(fn.name, is_float, p.range);
    if (b == nullptr) {
      ADD_FAILURE() << table << ".tsv: the catalogue has no bound for range " << p.range;
      return;
    }
    if (!stats.count(p.range)) order.push_back(p.range);
    range_stats& s = stats[p.range];
    const varnel_common::outcome r = eval(p.x, p.y);
    const double e = error_of(*b, r.value, p);
    if (s.points == 0 || !(e <= s.max)) {
      s.max = e;
      s.worst_x = p.x;
    }
    s.sum += e;
    ++s.points;
    if (r.error != b->expected_errno && ++s.wrong_errno <= 3)
      ADD_FAILURE() << member << "(" << std::hexfloat << p.x << ") on " << p.range << ": errno " << r.error
                    << ", expected " << b->expected_errno;
    if (!is_float) {
      const varnel_common::outcome rl = eval_l(p.x, p.y);
      if ((bits_of(static_cast<double>(rl.value)) != bits_of(static_cast<double>(r.value)) || rl.error != r.error) &&
          ++s.long_double_differs <= 3)
        ADD_FAILURE() << member << "l(" << std::hexfloat << p.x << ") = " << static_cast<double>(rl.value) << " errno "
                      << rl.error << ", the double member " << static_cast<double>(r.value) << " errno " << r.error;
    }
  }

  for (const std::string& range : order) {
    const range_stats& s = stats[range];
    const accuracy_bound& b = *bound_for(fn.name, is_float, range);
    std::printf("| %s | %s | %zu | %.3g%s | %.3g | %g |\n", member.c_str(), range.c_str(), s.points, s.max,
                unit_of(b.how), s.sum / static_cast<double>(s.points), b.bound);
    testing::Test::RecordProperty(table + "." + range + ".max", std::to_string(s.max));
    EXPECT_LE(s.max, b.bound) << member << " on " << range << ", worst at x = " << std::hexfloat << s.worst_x;
    EXPECT_EQ(s.wrong_errno, 0u) << member << " on " << range << ": points with another errno";
    EXPECT_EQ(s.long_double_differs, 0u) << member << "l on " << range << ": points unlike the double member";
  }
  // Every range the catalogue names must be in the table.
  for (const accuracy_bound& b : varnel_catalogue::accuracy_bounds) {
    if (b.range != nullptr && b.is_float == is_float && std::strcmp(b.function, fn.name) == 0) {
      EXPECT_TRUE(stats.count(b.range)) << table << ".tsv has no range " << b.range << ", which the catalogue bounds";
    }
  }
}

TEST(Accuracy, EveryFunctionWithinItsCatalogueBounds) {
  std::printf("| export | range | points | max | mean | bound |\n|---|---|---|---|---|---|\n");
  std::set<std::string> tables;
  for (const accuracy_bound& b : varnel_catalogue::accuracy_bounds) {
    if (!tables.insert(b.function).second) continue;
    tables.insert(std::string(b.function) + "f");
    const varnel_common::function_entry& fn = *varnel_common::find_function(b.function);
    check_table(fn, false);
    check_table(fn, true);
  }
  // Every table of the reference data is measured: a function whose bounds
  // left the catalogue is not skipped in silence.
  std::size_t files = 0;
  for (const auto& file : std::filesystem::directory_iterator(VARNEL_REFERENCE_DIR)) {
    if (file.path().extension() != ".tsv") continue;
    ++files;
    EXPECT_TRUE(tables.count(file.path().stem().string())) << file.path() << ": no bounds in the catalogue";
  }
  EXPECT_EQ(files, tables.size());
}

}  // namespace
