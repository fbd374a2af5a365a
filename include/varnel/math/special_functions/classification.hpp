// Classification predicates and the sign operations they serve (signbit,
// flip_sign, sign_of), on the bit patterns of the floating formats.  None of them reports an error or touches errno;
// every input, signalling NaNs included, has a defined answer.
#ifndef VARNEL_MATH_SPECIAL_FUNCTIONS_CLASSIFICATION_HPP
#define VARNEL_MATH_SPECIAL_FUNCTIONS_CLASSIFICATION_HPP

#include <cmath>
#include <cstdint>

#include <varnel/math/config.h>
#include <varnel/math/tools/layouts.hpp>

namespace varnel::math {

// The classes fpclassify returns: the platform's (config.h).  Outside
// Windows they are the C library's FP_ values.
#if !defined(_WIN32)
static_assert(VARNEL_MATH_FP_NAN == FP_NAN && VARNEL_MATH_FP_INFINITE == FP_INFINITE &&
                  VARNEL_MATH_FP_ZERO == FP_ZERO && VARNEL_MATH_FP_SUBNORMAL == FP_SUBNORMAL &&
                  VARNEL_MATH_FP_NORMAL == FP_NORMAL,
              "config.h must give the C library's classes");
#endif
inline constexpr int fp_nan = VARNEL_MATH_FP_NAN;
inline constexpr int fp_infinite = VARNEL_MATH_FP_INFINITE;
inline constexpr int fp_zero = VARNEL_MATH_FP_ZERO;
inline constexpr int fp_subnormal = VARNEL_MATH_FP_SUBNORMAL;
inline constexpr int fp_normal = VARNEL_MATH_FP_NORMAL;

namespace detail {

// Each predicate reads a value through one layout L (tools/layouts.hpp).
//
// Whole-word layouts (float, double): the only arithmetic is on the
// unsigned pattern; a = the pattern without its sign.
//
// High-word layout (binary64 seen through its upper 32 bits): h = the high
// word, h' = h without its sign.  The low significand word is inspected
// only by patching the high word of a copy so that nothing but significand
// bits remain, and comparing the copy with 0.0.
//
// x87 extended: the explicit integer bit makes some encodings invalid: an
// all-ones exponent without the integer bit (pseudo-infinity, pseudo-NaN)
// and a normal exponent without it (unnormal).  The processor rejects all
// of them as invalid operands and answers with a NaN, so they classify as
// NaN.
//
// binary128: h = the high word (sign, exponent, top 48 fraction bits), h'
// = h without its sign, l = the low word (the other 64 fraction bits).

template <class L> inline int fpclassify_in(typename L::value_type x) noexcept {
  if constexpr (L::kind == tools::layout_kind::whole_word) {
    const auto a = L::to_bits(x) & ~L::sign_mask;
    if (a <= L::significand_mask) return a != 0 ? fp_subnormal : fp_zero;
    if (a < L::exponent_mask) return fp_normal;
    return (a & L::significand_mask) == 0 ? fp_infinite : fp_nan;
  } else if constexpr (L::kind == tools::layout_kind::high_word) {
    const std::uint32_t h = L::high_word(x) & ~L::sign_mask;
    if (h <= L::significand_mask) return x == 0 ? fp_zero : fp_subnormal;
    if (h < L::exponent_mask) return fp_normal;
    return L::with_high_word(x, h & L::significand_mask) == 0 ? fp_infinite : fp_nan;
  } else if constexpr (L::kind == tools::layout_kind::binary128) {
    const std::uint64_t h = L::high_word(x) & ~L::sign_mask;
    const bool fraction_zero = ((h & L::significand_mask) | L::low_word(x)) == 0;
    const std::uint64_t e = h & L::exponent_mask;
    if (e == 0) return fraction_zero ? fp_zero : fp_subnormal;
    if (e < L::exponent_mask) return fp_normal;
    return fraction_zero ? fp_infinite : fp_nan;
  } else {
    const std::uint16_t e = L::sign_exponent(x) & L::exponent_mask;
    const std::uint64_t m = L::significand(x);
    if (e == 0) return m == 0 ? fp_zero : fp_subnormal;  // pseudo-denormals too
    if ((m & L::integer_bit) == 0) return fp_nan;
    if (e < L::exponent_mask) return fp_normal;
    return m == L::integer_bit ? fp_infinite : fp_nan;
  }
}

template <class L> inline bool isnan_in(typename L::value_type x) noexcept {
  if constexpr (L::kind == tools::layout_kind::whole_word) {
    return (L::to_bits(x) & ~L::sign_mask) > L::exponent_mask;
  } else if constexpr (L::kind == tools::layout_kind::high_word) {
    const std::uint32_t h = L::high_word(x) & ~L::sign_mask;
    if (h < L::exponent_mask) return false;
    // Keep only significand bits in the copy: it is zero exactly for infinity.
    return L::with_high_word(x, h & L::significand_mask) != 0;
  } else if constexpr (L::kind == tools::layout_kind::binary128) {
    const std::uint64_t h = L::high_word(x) & ~L::sign_mask;
    return h > L::exponent_mask || (h == L::exponent_mask && L::low_word(x) != 0);
  } else {
    return fpclassify_in<L>(x) == fp_nan;
  }
}

template <class L> inline bool isinf_in(typename L::value_type x) noexcept {
  if constexpr (L::kind == tools::layout_kind::whole_word) {
    return (L::to_bits(x) & ~L::sign_mask) == L::exponent_mask;
  } else if constexpr (L::kind == tools::layout_kind::high_word) {
    const std::uint32_t h = L::high_word(x) & ~L::sign_mask;
    if (h != L::exponent_mask) return false;  // a set upper significand bit already means NaN
    return L::with_high_word(x, 0) == 0;      // low significand word all zero
  } else if constexpr (L::kind == tools::layout_kind::binary128) {
    return (L::high_word(x) & ~L::sign_mask) == L::exponent_mask && L::low_word(x) == 0;
  } else {
    return fpclassify_in<L>(x) == fp_infinite;
  }
}

template <class L> inline bool isfinite_in(typename L::value_type x) noexcept {
  if constexpr (L::kind == tools::layout_kind::whole_word) {
    return (L::to_bits(x) & L::exponent_mask) != L::exponent_mask;
  } else if constexpr (L::kind == tools::layout_kind::high_word || L::kind == tools::layout_kind::binary128) {
    return (L::high_word(x) & L::exponent_mask) != L::exponent_mask;
  } else {
    const int c = fpclassify_in<L>(x);
    return c != fp_nan && c != fp_infinite;
  }
}

template <class L> inline bool isnormal_in(typename L::value_type x) noexcept {
  if constexpr (L::kind == tools::layout_kind::whole_word) {
    const auto e = L::to_bits(x) & L::exponent_mask;
    return e != 0 && e < L::exponent_mask;
  } else if constexpr (L::kind == tools::layout_kind::high_word || L::kind == tools::layout_kind::binary128) {
    const auto e = L::high_word(x) & L::exponent_mask;
    return e != 0 && e < L::exponent_mask;
  } else {
    return fpclassify_in<L>(x) == fp_normal;
  }
}

template <class L> inline int signbit_in(typename L::value_type x) noexcept {
  if constexpr (L::kind == tools::layout_kind::whole_word) {
    return (L::to_bits(x) & L::sign_mask) != 0 ? 1 : 0;
  } else if constexpr (L::kind == tools::layout_kind::high_word || L::kind == tools::layout_kind::binary128) {
    return (L::high_word(x) & L::sign_mask) != 0 ? 1 : 0;
  } else {
    return (L::sign_exponent(x) & L::sign_mask) != 0 ? 1 : 0;
  }
}

template <class L> inline typename L::value_type flip_sign_in(typename L::value_type x) noexcept {
  if constexpr (L::kind == tools::layout_kind::whole_word) {
    return L::from_bits(L::to_bits(x) ^ L::sign_mask);
  } else if constexpr (L::kind == tools::layout_kind::high_word || L::kind == tools::layout_kind::binary128) {
    return L::with_high_word(x, L::high_word(x) ^ L::sign_mask);
  } else {
    return L::with_sign_exponent(x, static_cast<std::uint16_t>(L::sign_exponent(x) ^ L::sign_mask));
  }
}

}  // namespace detail

// The predicates for a type read it through that type's layout.

template <class T> inline bool isnan(T x) noexcept { return detail::isnan_in<tools::layout_of_t<T>>(x); }
template <class T> inline bool isinf(T x) noexcept { return detail::isinf_in<tools::layout_of_t<T>>(x); }
template <class T> inline bool isfinite(T x) noexcept { return detail::isfinite_in<tools::layout_of_t<T>>(x); }
template <class T> inline bool isnormal(T x) noexcept { return detail::isnormal_in<tools::layout_of_t<T>>(x); }
template <class T> inline int fpclassify(T x) noexcept { return detail::fpclassify_in<tools::layout_of_t<T>>(x); }
template <class T> inline int signbit(T x) noexcept { return detail::signbit_in<tools::layout_of_t<T>>(x); }
template <class T> inline T flip_sign(T x) noexcept { return detail::flip_sign_in<tools::layout_of_t<T>>(x); }

// -1, 0 or +1.  Both zeros give 0; a NaN is not equal to zero and so takes
// the side of its sign bit.
template <class T> inline int sign_of(T x) noexcept {
  if (x == 0) return 0;
  return signbit(x) ? -1 : 1;
}

}  // namespace varnel::math

#endif
