// Limits of the floating formats, read by every family through these small
// templates.  binary64 serves double and every internal double computation;
// binary32 serves the members of the float library that compute in float.
// long double is the platform's format (tools/layouts.hpp); only the
// rounding action reads its limits, since every long double member computes
// in binary64.
#ifndef VARNEL_MATH_TOOLS_LIMITS_HPP
#define VARNEL_MATH_TOOLS_LIMITS_HPP

#include <limits>

namespace varnel::math::tools {

template <class T> constexpr T max_value() noexcept;
template <class T> constexpr T smallest_normal() noexcept;
template <class T> constexpr T machine_epsilon() noexcept;
template <class T> constexpr T root_epsilon() noexcept;
template <class T> constexpr T fourth_root_epsilon() noexcept;
template <class T> constexpr T largest_exp_argument() noexcept;
template <class T> constexpr int significand_digits() noexcept;

// binary64
template <> constexpr double max_value<double>() noexcept { return 0x1.fffffffffffffp+1023; }  // 1.7976931348623157e308
template <> constexpr double smallest_normal<double>() noexcept { return 0x1p-1022; }    // 2.2250738585072014e-308
template <> constexpr double machine_epsilon<double>() noexcept { return 0x1p-52; }      // 2.220446049250313e-16
template <> constexpr double root_epsilon<double>() noexcept { return 0x1p-26; }         // 1.4901161193847656e-08
template <> constexpr double fourth_root_epsilon<double>() noexcept { return 0x1p-13; }  // 0.0001220703125
template <> constexpr double largest_exp_argument<double>() noexcept { return 709.0; }  // exp(709) finite, exp(710) not
template <> constexpr int significand_digits<double>() noexcept { return 53; }

// binary32 (no root epsilons or exp limit: those families compute in double)
template <> constexpr float max_value<float>() noexcept { return 0x1.fffffep+127f; }  // 3.4028234663852886e38
template <> constexpr float smallest_normal<float>() noexcept { return 0x1p-126f; }   // 1.1754943508222875e-38
template <> constexpr float machine_epsilon<float>() noexcept { return 0x1p-23f; }    // 1.1920928955078125e-07
template <> constexpr int significand_digits<float>() noexcept { return 24; }

// the platform's long double
template <> constexpr long double max_value<long double>() noexcept { return std::numeric_limits<long double>::max(); }

namespace detail {
template <class T> constexpr T smallest_subnormal() noexcept;
template <> constexpr double smallest_subnormal<double>() noexcept { return 0x1p-1074; }  // 5e-324
template <> constexpr float smallest_subnormal<float>() noexcept { return 0x1p-149f; }    // 1.401298464324817e-45
}  // namespace detail

// The smallest positive value that the current floating-point environment
// keeps: the smallest subnormal, or the smallest normal where subnormals are
// flushed to zero.  Decided at run time, since the environment is.
template <class T> inline T smallest_positive() noexcept {
  volatile T normal = smallest_normal<T>();  // keep the division at run time
  const T half = normal / 2;
  return half != 0 ? detail::smallest_subnormal<T>() : smallest_normal<T>();
}

template <class T> constexpr T infinity() noexcept { return std::numeric_limits<T>::infinity(); }
// The quiet NaN of the error actions: sign clear, quiet bit set, rest zero
// (0x7FF8000000000000, 0x7FC00000).
template <class T> constexpr T quiet_nan() noexcept { return std::numeric_limits<T>::quiet_NaN(); }

}  // namespace varnel::math::tools

#endif
