// Instantiates the family templates from the installed headers and compares
// each result and errno with the export of the library, bit for bit, over
// special values and pseudo-random arguments of every magnitude.  Exit
// status 1 on the first function that differs anywhere.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <vector>

#include <varnel/math/c99.h>
#include <varnel/math/policies/error_handling.hpp>
#include <varnel/math/special_functions/acosh.hpp>
#include <varnel/math/special_functions/asinh.hpp>
#include <varnel/math/special_functions/atanh.hpp>
#include <varnel/math/special_functions/cbrt.hpp>
#include <varnel/math/special_functions/erf.hpp>
#include <varnel/math/special_functions/erfc.hpp>
#include <varnel/math/special_functions/hypot.hpp>
#include <varnel/math/special_functions/lgamma.hpp>
#include <varnel/math/special_functions/log1p.hpp>
#include <varnel/math/special_functions/tgamma.hpp>

namespace {

namespace vm = varnel::math;
using pol = vm::policies::errno_policy;

std::uint64_t next(std::uint64_t& s) {  // splitmix64
  std::uint64_t z = (s += 0x9E3779B97F4A7C15u);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
  return z ^ (z >> 31);
}

// Specials, then values of every magnitude up to 2^40 (where the special
// functions do their work), then whole random patterns.
std::vector<double> arguments() {
  const double inf = std::numeric_limits<double>::infinity();
  std::vector<double> v = {0.0,    -0.0,    0.5,   -0.5,   1.0, -1.0, 2.0,
                           1e-310, -1e-310, 1e300, -1e300, inf, -inf, std::numeric_limits<double>::quiet_NaN()};
  std::uint64_t s = 1;
  for (int i = 0; i < 200000; ++i) {
    const double m = static_cast<double>(next(s) >> 11) * 0x1p-53;
    const int e = static_cast<int>(next(s) % 100) - 60;
    v.push_back((next(s) & 1 ? -1 : 1) * std::ldexp(1 + m, e));
  }
  for (int i = 0; i < 20000; ++i) {
    const std::uint64_t b = next(s);
    double x;
    std::memcpy(&x, &b, sizeof x);
    v.push_back(x);
  }
  return v;
}

template <class T> bool same(T a, T b) { return std::memcmp(&a, &b, sizeof a) == 0; }

int failures = 0;

template <class T, class Ours, class Theirs>
void compare(const char* name, Ours ours, Theirs theirs, const std::vector<double>& xs) {
  long differ = 0;
  for (std::size_t i = 0; i < xs.size(); ++i) {
    const T x = static_cast<T>(xs[i]);
    const T y = static_cast<T>(xs[(i * 7919 + 13) % xs.size()]);
    errno = 0;
    const T a = ours(x, y);
    const int ea = errno;
    errno = 0;
    const T b = theirs(x, y);
    const int eb = errno;
    if (!same(a, b) || ea != eb) {
      if (differ++ == 0)
        std::printf("%s(%a): the template gives %a (errno %d), the library %a (errno %d)\n", name,
                    static_cast<double>(x), static_cast<double>(a), ea, static_cast<double>(b), eb);
    }
  }
  std::printf("%-8s %zu arguments, %ld differ\n", name, xs.size(), differ);
  if (differ != 0) ++failures;
}

#define UNARY(T, fn, exported) \
  compare<T>(                  \
      #exported, [](T x, T) { return vm::fn(x, pol()); }, [](T x, T) { return exported(x); }, xs)

}  // namespace

int main() {
  const std::vector<double> xs = arguments();
  UNARY(double, acosh, varnel_acosh);
  UNARY(double, asinh, varnel_asinh);
  UNARY(double, atanh, varnel_atanh);
  UNARY(double, cbrt, varnel_cbrt);
  UNARY(double, erf, varnel_erf);
  UNARY(double, erfc, varnel_erfc);
  UNARY(double, lgamma, varnel_lgamma);
  UNARY(double, log1p, varnel_log1p);
  UNARY(double, tgamma, varnel_tgamma);
  compare<double>(
      "varnel_hypot", [](double x, double y) { return vm::hypot(x, y, pol()); }, varnel_hypot, xs);
  UNARY(float, erf, varnel_erff);
  UNARY(float, erfc, varnel_erfcf);
  UNARY(float, lgamma, varnel_lgammaf);
  UNARY(float, tgamma, varnel_tgammaf);
  compare<float>(
      "varnel_hypotf", [](float x, float y) { return vm::hypot(x, y, pol()); }, varnel_hypotf, xs);
  std::printf(failures == 0 ? "the templates give the libraries' bits\n" : "%d functions differ\n", failures);
  return failures == 0 ? 0 : 1;
}
