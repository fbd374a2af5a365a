// Classification predicates and sign operations on the bit patterns of the
// floating formats.  None of them reports an error or touches errno; every
// input, signalling NaNs included, has a defined answer.
#ifndef VARNEL_MATH_SPECIAL_FUNCTIONS_FPCLASSIFY_HPP
#define VARNEL_MATH_SPECIAL_FUNCTIONS_FPCLASSIFY_HPP

#include <cmath>
#include <cstdint>

#include <varnel/math/special_functions/detail/bits.hpp>

namespace varnel::math {
namespace detail {

// --- Whole-word layouts (float, double) -----------------------------------
// The only arithmetic is on the unsigned pattern; a = pattern without sign.

template <class L>
inline bool isnan_in(typename L::value_type x) noexcept {
  return (L::to_bits(x) & ~L::sign_mask) > L::exponent_mask;
}
template <class L>
inline bool isinf_in(typename L::value_type x) noexcept {
  return (L::to_bits(x) & ~L::sign_mask) == L::exponent_mask;
}
template <class L>
inline bool isfinite_in(typename L::value_type x) noexcept {
  return (L::to_bits(x) & L::exponent_mask) != L::exponent_mask;
}
template <class L>
inline bool isnormal_in(typename L::value_type x) noexcept {
  const auto e = L::to_bits(x) & L::exponent_mask;
  return e != 0 && e < L::exponent_mask;
}
template <class L>
inline int fpclassify_in(typename L::value_type x) noexcept {
  const auto a = L::to_bits(x) & ~L::sign_mask;
  if (a <= L::significand_mask) return a != 0 ? FP_SUBNORMAL : FP_ZERO;
  if (a < L::exponent_mask) return FP_NORMAL;
  return (a & L::significand_mask) == 0 ? FP_INFINITE : FP_NAN;
}
template <class L>
inline int signbit_in(typename L::value_type x) noexcept {
  return (L::to_bits(x) & L::sign_mask) != 0 ? 1 : 0;
}
template <class L>
inline typename L::value_type flip_sign_in(typename L::value_type x) noexcept {
  return L::from_bits(L::to_bits(x) ^ L::sign_mask);
}

// --- High-word layout (binary64 seen through its upper 32 bits) -----------

template <>
inline bool isnan_in<high_word_layout>(double x) noexcept {
  using L = high_word_layout;
  const std::uint32_t h = L::high_word(x) & ~L::sign_mask;
  if (h < L::exponent_mask) return false;
  // Keep only significand bits in the copy: it is zero exactly for infinity.
  return L::with_high_word(x, h & L::significand_mask) != 0.0;
}
template <>
inline bool isinf_in<high_word_layout>(double x) noexcept {
  using L = high_word_layout;
  const std::uint32_t h = L::high_word(x) & ~L::sign_mask;
  if (h != L::exponent_mask) return false;  // a set upper significand bit already means NaN
  return L::with_high_word(x, 0) == 0.0;    // low significand word all zero
}
template <>
inline bool isfinite_in<high_word_layout>(double x) noexcept {
  using L = high_word_layout;
  return (L::high_word(x) & L::exponent_mask) != L::exponent_mask;
}
template <>
inline bool isnormal_in<high_word_layout>(double x) noexcept {
  using L = high_word_layout;
  const std::uint32_t e = L::high_word(x) & L::exponent_mask;
  return e != 0 && e < L::exponent_mask;
}
template <>
inline int fpclassify_in<high_word_layout>(double x) noexcept {
  using L = high_word_layout;
  const std::uint32_t h = L::high_word(x) & ~L::sign_mask;
  if (h <= L::significand_mask) return x == 0.0 ? FP_ZERO : FP_SUBNORMAL;
  if (h < L::exponent_mask) return FP_NORMAL;
  return L::with_high_word(x, h & L::significand_mask) == 0.0 ? FP_INFINITE : FP_NAN;
}
template <>
inline int signbit_in<high_word_layout>(double x) noexcept {
  using L = high_word_layout;
  return (L::high_word(x) & L::sign_mask) != 0 ? 1 : 0;
}
template <>
inline double flip_sign_in<high_word_layout>(double x) noexcept {
  using L = high_word_layout;
  return L::with_high_word(x, L::high_word(x) ^ L::sign_mask);
}

// --- Native x87 extended (long double on x86-64) ---------------------------
// The explicit integer bit makes some encodings invalid: an all-ones
// exponent without the integer bit (pseudo-infinity, pseudo-NaN) and a
// normal exponent without it (unnormal).  The processor rejects all of them
// as invalid operands and answers with a NaN, so they classify as NaN.

template <>
inline int fpclassify_in<x87_layout>(long double x) noexcept {
  using L = x87_layout;
  const std::uint16_t e = L::sign_exponent(x) & L::exponent_mask;
  const std::uint64_t m = L::significand(x);
  if (e == 0) return m == 0 ? FP_ZERO : FP_SUBNORMAL;  // pseudo-denormals too
  if ((m & L::integer_bit) == 0) return FP_NAN;
  if (e < L::exponent_mask) return FP_NORMAL;
  return m == L::integer_bit ? FP_INFINITE : FP_NAN;
}
template <>
inline bool isnan_in<x87_layout>(long double x) noexcept {
  return fpclassify_in<x87_layout>(x) == FP_NAN;
}
template <>
inline bool isinf_in<x87_layout>(long double x) noexcept {
  return fpclassify_in<x87_layout>(x) == FP_INFINITE;
}
template <>
inline bool isfinite_in<x87_layout>(long double x) noexcept {
  const int c = fpclassify_in<x87_layout>(x);
  return c != FP_NAN && c != FP_INFINITE;
}
template <>
inline bool isnormal_in<x87_layout>(long double x) noexcept {
  return fpclassify_in<x87_layout>(x) == FP_NORMAL;
}
template <>
inline int signbit_in<x87_layout>(long double x) noexcept {
  using L = x87_layout;
  return (L::sign_exponent(x) & L::sign_mask) != 0 ? 1 : 0;
}
template <>
inline long double flip_sign_in<x87_layout>(long double x) noexcept {
  using L = x87_layout;
  return L::with_sign_exponent(x, static_cast<std::uint16_t>(L::sign_exponent(x) ^ L::sign_mask));
}

}  // namespace detail

// The predicates for a type read it through that type's layout.

template <class T>
inline bool isnan(T x) noexcept { return detail::isnan_in<detail::layout_of_t<T>>(x); }
template <class T>
inline bool isinf(T x) noexcept { return detail::isinf_in<detail::layout_of_t<T>>(x); }
template <class T>
inline bool isfinite(T x) noexcept { return detail::isfinite_in<detail::layout_of_t<T>>(x); }
template <class T>
inline bool isnormal(T x) noexcept { return detail::isnormal_in<detail::layout_of_t<T>>(x); }
template <class T>
inline int fpclassify(T x) noexcept { return detail::fpclassify_in<detail::layout_of_t<T>>(x); }
template <class T>
inline int signbit(T x) noexcept { return detail::signbit_in<detail::layout_of_t<T>>(x); }
template <class T>
inline T flip_sign(T x) noexcept { return detail::flip_sign_in<detail::layout_of_t<T>>(x); }

// -1, 0 or +1.  Both zeros give 0; a NaN is not equal to zero and so takes
// the side of its sign bit.
template <class T>
inline int sign_of(T x) noexcept {
  if (x == 0) return 0;
  return signbit(x) ? -1 : 1;
}

// x with the sign bit of y.  When the signs already agree x comes back
// untouched, NaN payload included; the sign of y is its sign bit, so -0 and
// a negative NaN count as negative.  Formed by masks rather than by a test
// of the two signs: the same bits, without a branch that random signs
// would mispredict half the time.
template <class T>
inline T copysign(T x, T y) noexcept {
  return detail::with_sign_of(x, y);
}

}  // namespace varnel::math

#endif
