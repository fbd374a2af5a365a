// log |Gamma(x)| for every real x.  No sign of Gamma(x) is produced or kept
// anywhere: the result is the only effect apart from errno.
//
//   x <= -2^-26         poles at the negative integers, else reflection
//   |x| < 2^-26         pole at zero, else -log|x| or log|1/x - euler_gamma|
//   2^-26 <= x < 15     rational approximations on [1, 3) and recurrence
//   15 <= x < 100       log of Gamma(x)
//   x >= 100            the Lanczos approximation in logarithmic form
//
// Everything computes in binary64; the float library narrows the result.
#ifndef VARNEL_MATH_SPECIAL_FUNCTIONS_LGAMMA_HPP
#define VARNEL_MATH_SPECIAL_FUNCTIONS_LGAMMA_HPP

#include <cmath>
#include <type_traits>

#include <varnel/math/policies/error_handling.hpp>
#include <varnel/math/policies/narrow_result.hpp>
#include <varnel/math/special_functions/detail/lgamma_small.hpp>
#include <varnel/math/special_functions/classification.hpp>
#include <varnel/math/special_functions/gamma.hpp>
#include <varnel/math/special_functions/detail/lanczos.hpp>
#include <varnel/math/constants.hpp>
#include <varnel/math/elementary/elementary.hpp>
#include <varnel/math/tools/limits.hpp>

namespace varnel::math::detail {

constexpr const char* lgamma_function = "varnel::math::lgamma<%1%>(%1%)";

// log |Gamma(z)| for z > -2^-26, NaN or +infinity.  Reports the pole at zero.
template <class T, class Policy> inline T lgamma_direct(T z, const Policy& pol) noexcept {
  static_assert(std::is_same_v<T, double>, "computes in binary64");
  using std::fabs;
  // |z| < 2^-26 (negative z that small arrive here too): Gamma(z) =
  // 1/z - euler_gamma + O(z).
  if (z < tools::root_epsilon<T>()) {
    if (z == 0) return policies::on_pole_error(lgamma_function, "Evaluation of lgamma at %1%.", z, pol);
    // Below 2^-54 euler_gamma is lost against 1/z anyway.
    if (4 * fabs(z) < tools::machine_epsilon<T>()) return -elementary::log(fabs(z));
    return elementary::log(fabs((1 / z) - constants::euler_mascheroni<T>()));
  }
  if (z < 15) return lgamma_small(z, z - 1, z - 2);
  // Gamma(z) is finite and positive here (Gamma(100) ~ 9.3e155), and the
  // integers come exactly from the factorial table.
  if (z >= 3 && z < 100) return elementary::log(tgamma_eval(z, pol));
  // z >= 100, +infinity and NaN:
  //   log Gamma(z) ~ (z - 1/2)(log zgh - 1) + log(L(z) e^-g).
  // The product overflows from about z = 2.5599833278516385e305;
  // narrow_result reports that.
  //
  // The ratio is a pure function of z and its long dependency chain (two
  // 13-term polynomials and a division) does not need log(zgh): it is
  // formed first, so that the processor runs it while log(zgh) runs
  // instead of after it.  Where the correction is skipped its value is
  // simply unused.
  const T ratio = lanczos_ratio_scaled(z);
  const T zgh = lanczos_zgh(z);
  T result = (elementary::log(zgh) - 1) * (z - constants::one_half<T>());
  // The correction (about -5) no longer changes result from about
  // z = 2.6109e15 up; skipping it also keeps NaN and +infinity away from
  // the logarithm.
  if (result * tools::machine_epsilon<T>() < 20) result += elementary::log(ratio);
  return result;
}

// log |Gamma(z)| for every z.  Reports the poles.
template <class T, class Policy> inline T lgamma_eval(T z, const Policy& pol) noexcept {
  static_assert(std::is_same_v<T, double>, "computes in binary64");
  if (z > -tools::root_epsilon<T>() || math::isnan(z)) return lgamma_direct(z, pol);
  // Negative integers and -infinity.
  if (std::floor(z) == z) {
    return policies::on_pole_error(lgamma_function, "Evaluation of lgamma at a negative integer %1%.", z, pol);
  }
  // Reflection: log|Gamma(z)| = log(pi) - log Gamma(-z) - log|z sin(pi z)|.
  T t = x_sin_pi_x(z);
  z = -z;
  if (t < 0) t = -t;
  return (elementary::log(constants::pi<T>()) - lgamma_direct(z, pol)) - elementary::log(t);
}

}  // namespace varnel::math::detail

namespace varnel::math {

// Family entry: log |Gamma(x)| in binary64, narrowed to T (float or
// double).  long double callers map to double first.
template <class T, class Policy> inline T lgamma(T x, const Policy& pol) noexcept {
  static_assert(std::is_same_v<T, float> || std::is_same_v<T, double>, "computes in binary64");
  return policies::narrow_result<T>(detail::lgamma_eval(static_cast<double>(x), pol), detail::lgamma_function, pol);
}

}  // namespace varnel::math

#endif
