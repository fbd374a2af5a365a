// The real cube root.  One binary64 routine, cbrt_eval, serves all three
// precisions: split x into mantissa and exponent, guess the root of the
// mantissa with a fixed polynomial, scale the guess by a third of the
// exponent, then refine with Halley's method.  No result check: a cube root
// never leaves the range of its argument's type.
#ifndef VARNEL_MATH_SPECIAL_FUNCTIONS_CBRT_HPP
#define VARNEL_MATH_SPECIAL_FUNCTIONS_CBRT_HPP

#include <cmath>

#include <varnel/math/policies/error_handling.hpp>
#include <varnel/math/tools/bits.hpp>
#include <varnel/math/special_functions/classification.hpp>
#include <varnel/math/special_functions/copysign.hpp>
#include <varnel/math/tools/limits.hpp>
#include <varnel/math/tools/split_horner.hpp>

namespace varnel::math {
namespace detail {

// Starting guess: m^(1/3) for the frexp mantissa m in [0.5, 1), degree 5,
// lowest power first; relative error at most about 1.23e-6 (the value at
// m = 1 is 1.00000123082934).
inline constexpr double cbrt_guess[6] = {
    0x1.80b2f68e5f6adp-2,   //  0.37568269008611815
    0x1.549b716277af3p+0,   //  1.3304968705558025
    -0x1.7d5da52fa76a3p+0,  // -1.4897101632445036
    0x1.499d5b196941bp+0,   //  1.2875573098219835
    -0x1.479d17050ca47p-1,  // -0.6398703759826468
    0x1.1635d9c8a0e53p-3,   //  0.13584489959258636
};

// 2^(r/3) for the remainder r = -2 .. 2 of the exponent divided by 3,
// indexed by r + 2: the doubles nearest 2^(-2/3), 2^(-1/3), 1, 2^(1/3),
// 2^(2/3).
inline constexpr double cbrt_third_powers[5] = {
    0x1.428a2f98d728bp-1,  // 0.6299605249474366
    0x1.965fea53d6e3dp-1,  // 0.7937005259840998
    0x1p+0,                // 1
    0x1.428a2f98d728bp+0,  // 1.2599210498948732
    0x1.965fea53d6e3dp+0,  // 1.5874010519681996
};

// Halley's method stops once the last relative correction is at most
// 2^-(2 + floor(53/3)) = 2^-19 (1.9073486328125e-06).  The guess is closer
// than that, and one step roughly triples the correct bits, so a normal
// argument stops after its first step at full precision.
inline constexpr double cbrt_tolerance = 0x1p-19;

// frexp exponent from which x >= 2^1020: g^3 + 2x could exceed the largest
// double, so the step is rearranged to avoid forming g^3.
inline constexpr int cbrt_large_exponent = 1021;

// Subnormal arguments: their mantissa carries few bits and g^3 itself is
// subnormal, so the refinement could not reach full precision.  They are
// scaled by 2^54 into the normal range, and the root by 2^-18, the exact
// cube root of 2^-54.
inline constexpr double cbrt_subnormal_scale = 0x1p+54;
inline constexpr double cbrt_subnormal_root_scale = 0x1p-18;

// The factor f of one Halley step from the root g of x (the next root is
// g * f), over double or a pack of double lanes (the batch library), which
// takes exactly these operations lane by lane.
template <class V> inline V cbrt_halley_factor(V g, V x) noexcept {
  const V c = (g * g) * g;
  return ((c + x) + x) / ((c + c) + x);
}

// The cube root of a positive, finite, normal x.
inline double cbrt_positive(double x) noexcept {
  int e;
  // The platform's frexp for a normal x, without its call.
  const double m = tools::frexp_normal(x, e);
  double g = tools::split_horner(cbrt_guess, m);
  // x = m * 2^e = m * 2^(3q + r): scale by 2^q (exactly) and 2^(r/3).
  // |q| <= 341 and g lies near 1, so g * 2^q is normal and the product
  // exact: the same value as a shift-built power, a division by one, or
  // ldexp, in one multiplication and without a branch on q.
  const int q = e / 3;  // truncated toward zero
  g = g * tools::power_of_two<double>(q);
  const int r = e - 3 * q;  // -2 .. 2, with the sign of e
  g = g * cbrt_third_powers[r + 2];

  if (e < cbrt_large_exponent) {
    double f;
    do {
      f = cbrt_halley_factor(g, x);
      g = g * f;
    } while (std::fabs(1 - f) > cbrt_tolerance);
  } else {
    // The same Halley step with every term divided by g^2.
    double d;
    do {
      const double s = g * g;
      d = (s - x / g) / ((2 * g) + x / s);
      g = g - d;
    } while (std::fabs(d) > g * cbrt_tolerance);
  }
  return g;
}

template <class Policy> double cbrt_eval(double x, const Policy& pol) {
  // Infinities and zeros are their own roots, sign included.
  if (isinf(x) || x == 0) return x;
  if (isnan(x))
    return policies::on_domain_error<double>("varnel::math::cbrt<%1%>(%1%)",
                                             "Argument to function must be finite but got %1%.", x, pol);
  // The sign as the factor +-1, taken from x without a branch that
  // arguments of random sign would mispredict; the root of |x| is
  // multiplied by it at the end.
  const double sign = varnel::math::copysign(1.0, x);
  x = std::fabs(x);
  if (x < tools::smallest_normal<double>())
    return sign * (cbrt_positive(x * cbrt_subnormal_scale) * cbrt_subnormal_root_scale);
  return sign * cbrt_positive(x);
}

}  // namespace detail

// Computes in binary64 for float and double alike; a float result is the
// double root rounded to nearest, with no range check (the root of a
// subnormal float is a normal float).
template <class T, class Policy> T cbrt(T x, const Policy& pol) {
  static_assert(sizeof(T) <= sizeof(double), "computes in binary64");
  return static_cast<T>(detail::cbrt_eval(static_cast<double>(x), pol));
}

}  // namespace varnel::math

#endif
