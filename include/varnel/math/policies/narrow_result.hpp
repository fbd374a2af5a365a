// The last step of the families that compute in a working type: convert the
// result to the exported type and report what that type cannot hold.
#ifndef VARNEL_MATH_POLICIES_NARROW_RESULT_HPP
#define VARNEL_MATH_POLICIES_NARROW_RESULT_HPP

#include <cmath>
#include <cstdint>
#include <limits>
#include <type_traits>

#include <varnel/math/policies/error_handling.hpp>
#include <varnel/math/tools/layouts.hpp>
#include <varnel/math/tools/limits.hpp>

namespace varnel::math::policies {

namespace detail {
// r converted to R by round-to-nearest, for |r| > max_value<R>.  Written out
// rather than left to the conversion: a narrowing conversion of a value
// beyond the target's range is undefined behaviour in C++.  Results from the
// largest finite value up to the rounding midpoint come back as the largest
// finite value; the midpoint itself (the largest value has an odd
// significand) and everything beyond go to infinity.
template <class R, class W> inline R convert_beyond_max(W r) noexcept {
  if constexpr (sizeof(R) == sizeof(W)) {
    return static_cast<R>(r);
  } else {
    static_assert(sizeof(R) == 4 && sizeof(W) == 8, "binary64 to binary32");
    // 2^128 - 2^103, halfway from the largest float to 2^128.
    const W midpoint = 0x1.ffffffp+127;  // 3.4028235677973366e+38
    const R magnitude = std::fabs(r) >= midpoint ? tools::infinity<R>() : tools::max_value<R>();
    return r < 0 ? -magnitude : magnitude;
  }
}

// |r| from the smallest normal to the largest finite value of R, both as
// binary64 values.  Non-negative binary64 values are ordered as their bit
// patterns, so the test is one unsigned comparison of the pattern without
// its sign against the patterns of the two bounds, which are read off the
// format: R's smallest normal exponent (min_exponent - 1) with a zero
// significand below, R's largest exponent with every significand bit of R
// set above.  A NaN's pattern lies
// above the infinities' and fails like a zero's, which lies below.
template <class R> inline bool in_normal_range_of(double r) noexcept {
  using limits = std::numeric_limits<R>;
  constexpr int bias = 1023;
  constexpr int fraction_bits = 52;
  constexpr std::uint64_t lo = static_cast<std::uint64_t>(limits::min_exponent - 1 + bias) << fraction_bits;
  constexpr std::uint64_t hi =
      (static_cast<std::uint64_t>(limits::max_exponent - 1 + bias) << fraction_bits) |
      (((std::uint64_t{1} << (limits::digits - 1)) - 1) << (fraction_bits + 1 - limits::digits));
  using L = math::tools::word64_layout;
  return (L::to_bits(r) & ~L::sign_mask) - lo <= hi - lo;
}

}  // namespace detail

// r: the working-type result; function: the calling family entry's
// function-name string, handed on to the actions.
template <class R, class W, class Policy = errno_policy>
inline R narrow_result(W r, const char* function, const Policy& pol = Policy()) noexcept {
  static_assert(std::is_same_v<W, double>, "the working type is binary64");
  // The common case first, in one test: a magnitude from the smallest
  // normal to the largest finite value of R converts to a normal R (at
  // least the smallest normal, at most the largest) and none of the checks
  // below would fire.  Zeros, NaNs and everything else take them in turn.
  if (detail::in_normal_range_of<R>(r)) return static_cast<R>(r);
  // Overflow; false for NaN.  The action's infinity is discarded: the value
  // returned is r converted, which keeps its sign.
  if (std::fabs(r) > static_cast<W>(tools::max_value<R>())) {
    on_overflow_error<R>(function, nullptr, pol);
    return detail::convert_beyond_max<R>(r);
  }
  const R c = static_cast<R>(r);
  // Underflow: a nonzero result lost entirely.  +0 whatever the sign.
  if (r != 0 && c == 0) return on_underflow_error<R>(function, nullptr, pol);
  // Subnormal in R (including a value that rounded up to the smallest normal).
  if (std::fabs(r) < static_cast<W>(tools::smallest_normal<R>()) && c != 0)
    return on_denorm_error<R>(function, nullptr, c, pol);
  // Zeros of either sign and NaNs pass untouched.
  return c;
}

}  // namespace varnel::math::policies

#endif
