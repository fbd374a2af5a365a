// nextafter, and the next representable value it is made of: float_next
// (the neighbour above x), float_prior (the neighbour below) and
// step_toward, which picks one of them by comparing x with y.  nexttoward
// (nexttoward.hpp) is step_toward with a long double y.
//
// The neighbours are found by arithmetic, not by editing the bit pattern:
// the spacing of the format at x comes from the binary exponent of x and is
// added or subtracted.  The spacing is built as an exact power of two from
// its bits, so no path stores ERANGE when the spacing underflows (every
// subnormal x, and the smallest normals stepped towards zero).
//
// Instantiated at float (binary32, D = 24) and double (binary64, D = 53).
// The long double members map to binary64 before they get here.
#ifndef VARNEL_MATH_SPECIAL_FUNCTIONS_NEXTAFTER_HPP
#define VARNEL_MATH_SPECIAL_FUNCTIONS_NEXTAFTER_HPP

#include <cmath>
#include <type_traits>

#include <varnel/math/policies/error_handling.hpp>
#include <varnel/math/tools/bits.hpp>
#include <varnel/math/special_functions/classification.hpp>
#include <varnel/math/tools/limits.hpp>

namespace varnel::math {
namespace detail {

// Normal values below this magnitude are stepped at x * 2^(2D) and scaled
// back, so that the spacing is never itself a subnormal number:
// smallest_normal * 2^(D + 1), that is 2^-968 (4.008336720017946e-292) for
// binary64 and 2^-101 (3.944304526105059e-31) for binary32.
//
// Kept in a function-local static, set on first use under the language's
// thread-safe one-time initialisation: the one piece of shared state of the
// libraries, one per floating type and per library.  Returned by reference
// so that callers (and the threading test) see the one stored object.
template <class T> inline const T& rescale_threshold() noexcept {
  static const T threshold = std::ldexp(tools::smallest_normal<T>(), tools::significand_digits<T>() + 1);
  return threshold;
}

inline constexpr const char* float_next_name = "float_next<%1%>(%1%)";
inline constexpr const char* float_prior_name = "float_prior<%1%>(%1%)";
inline constexpr const char* step_not_finite_message = "Argument must be finite, but got %1%";

// The platform's frexp of binary64, for binary32 too: a float widens to
// double exactly (a subnormal one becomes normal) and the fraction, of at
// most 24 significant bits, narrows back exactly, so the pair is that of
// frexpf.  Not every C runtime exports frexpf (the Windows one leaves it to
// its headers).
template <class T> inline T frexp_via_binary64(T x, int& e) noexcept {
  return static_cast<T>(std::frexp(static_cast<double>(x), &e));
}

template <class T> constexpr void check_step_type() noexcept {
  static_assert(std::is_same_v<T, float> || std::is_same_v<T, double>, "steps in binary32 or binary64");
}

}  // namespace detail

template <class T, class Policy> T float_prior(T x, const Policy& pol);

// The least value of T greater than x.
template <class T, class Policy> T float_next(T x, const Policy& pol) {
  detail::check_step_type<T>();
  constexpr int D = tools::significand_digits<T>();
  const int c = fpclassify(x);
  // Stepping up from -infinity enters the finite range; +infinity stays.
  if (c == fp_infinite) return x < 0 ? -tools::max_value<T>() : x;
  if (c == fp_nan)
    return policies::on_domain_error<T>(detail::float_next_name, detail::step_not_finite_message, x, pol);
  // Nothing finite lies above the largest value.
  if (x >= tools::max_value<T>()) return policies::on_overflow_error<T>(detail::float_next_name, nullptr, pol);
  // Both zeros step to the smallest positive value.
  if (x == 0) return tools::smallest_positive<T>();
  // Tiny normal x: step at x * 2^(2D), far above the threshold, and scale
  // back; both scalings are exact (the result stays normal), so they are
  // plain products with exact powers of two.  -smallest_normal is left to
  // the direct path: its upper neighbour is subnormal, which the scaled
  // value cannot see.
  if (c == fp_normal && std::fabs(x) < detail::rescale_threshold<T>() && x != -tools::smallest_normal<T>())
    return float_next(x * tools::power_of_two<T>(2 * D), pol) * tools::power_of_two<T>(-2 * D);
  int e;
  const T m = detail::frexp_via_binary64(x, e);
  // A negative power of two has its upper neighbour in the binade below,
  // where the spacing is half.
  if (m == T(-0.5)) --e;
  T s = tools::power_of_two<T>(e - D);
  // The spacing of a subnormal x (and of -smallest_normal) is at most half
  // the smallest subnormal and comes out as zero.
  if (s == 0) s = tools::smallest_positive<T>();
  return x + s;
}

// The greatest value of T less than x; the mirror of float_next.
template <class T, class Policy> T float_prior(T x, const Policy& pol) {
  detail::check_step_type<T>();
  constexpr int D = tools::significand_digits<T>();
  const int c = fpclassify(x);
  if (c == fp_infinite) return x > 0 ? tools::max_value<T>() : x;
  if (c == fp_nan)
    return policies::on_domain_error<T>(detail::float_prior_name, detail::step_not_finite_message, x, pol);
  if (x <= -tools::max_value<T>()) return -policies::on_overflow_error<T>(detail::float_prior_name, nullptr, pol);
  if (x == 0) return -tools::smallest_positive<T>();
  // +smallest_normal is left to the direct path: its lower neighbour is
  // subnormal.
  if (c == fp_normal && std::fabs(x) < detail::rescale_threshold<T>() && x != tools::smallest_normal<T>())
    return float_prior(x * tools::power_of_two<T>(2 * D), pol) * tools::power_of_two<T>(-2 * D);
  int e;
  const T m = detail::frexp_via_binary64(x, e);
  // A positive power of two has its lower neighbour in the binade below.
  if (m == T(0.5)) --e;
  T s = tools::power_of_two<T>(e - D);
  if (s == 0) s = tools::smallest_positive<T>();
  return x - s;
}

// The neighbour of x on the side of y.  y may be of a wider type than x
// (nexttoward's long double direction): the comparisons then widen x
// exactly, so a y strictly between x and its neighbour still gives the
// direction, while the step is one spacing of T.
//
// Most x are normal and far from both ends of the range; for them
// float_next and float_prior differ only in the direction of one spacing,
// and tools::step_across takes it without a branch on the direction,
// which arbitrary (x, y) pairs would mispredict half the time.  Its lower
// bound is the rescaling threshold itself, so it covers exactly the x that
// float_next and float_prior send straight to their spacing steps.
// The test for that path does not read the direction (y == y: y is not a
// NaN), so the compiler cannot split the path by direction again.
template <class T, class Y, class Policy> T step_toward(T x, Y y, const Policy& pol) {
  if (tools::plain_step_magnitude(x) && y == y && x != y) return tools::step_across(x, y > x);
  if (y > x) return float_next(x, pol);
  // +0 and -0 compare equal: a zero x keeps its own sign.
  if (x == y) return x;
  // A NaN direction has no side; it is reported like a NaN x, never taken
  // as "below".
  if (isnan(y))
    return policies::on_domain_error<T>(detail::float_prior_name, detail::step_not_finite_message, static_cast<T>(y),
                                        pol);
  // y < x, or x is a NaN (float_prior reports it).
  return float_prior(x, pol);
}

// Family entry: the neighbour of x in the direction of y.
template <class T, class Policy> inline T nextafter(T x, T y, const Policy& pol) { return step_toward(x, y, pol); }

}  // namespace varnel::math

#endif
