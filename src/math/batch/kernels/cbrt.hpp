// cbrt: cbrt_eval and cbrt_positive (cbrt.hpp) over double lanes, the float
// member on its lanes widened exactly and the root rounded once, as the
// scalar cbrtf does.  The vector path takes every normal |x| below 2^1020
// whose first Halley step is its last, which the guess makes every such x:
// the frexp split from the pattern, the guess polynomial (the shared
// split_horner), the scaling by 2^q and the table's 2^(r/3) for
// e = 3q + r (q truncated toward zero), one Halley step (the shared
// cbrt_halley_factor), and the sign as the factor +-1.
//
// Rare: zeros and infinities (their own roots), NaNs (the domain error),
// subnormal doubles (scaled in the scalar code; every float is normal as a
// double), |x| >= 2^1020 (the rearranged step), and any lane whose step
// asks for another.
#ifndef VARNEL_SRC_MATH_BATCH_KERNELS_CBRT_HPP
#define VARNEL_SRC_MATH_BATCH_KERNELS_CBRT_HPP

#include <cstdint>

#include <varnel/math/special_functions/cbrt.hpp>
#include <varnel/math/tools/limits.hpp>
#include <varnel/math/tools/split_horner.hpp>

#include "kernel.hpp"
#include "lanes.hpp"

namespace varnel::math::batch {

// The double just above 1/3.
inline constexpr double third_above = 0x1.5555555555556p-2;  // 0.33333333333333337

template <class Isa> struct cbrt_lanes {
  using F = pattern<double, Isa>;
  using vd = typename Isa::vd;
  using vi = typename Isa::vi;
  using md = typename Isa::md;

  // widened: x is a float widened, which needs no range test (below).
  template <bool widened> static vd root(vd x, unsigned& rare) {
    const vi b = Isa::bits(x);
    const vi sign = b & F::sign();
    const vi a = b ^ sign;
    const vd ax = Isa::from_bits(a);

    // frexp_normal: the exponent e = E - (bias - 1) of the biased exponent
    // E, as an exact double (2^52 + E is E's pattern under that of 2^52),
    // and the mantissa m in [0.5, 1).
    const double two52 = static_cast<double>(std::uint64_t{1} << F::fraction_bits);
    const vi biased = a >> F::fraction_bits;
    const vd e = Isa::from_bits(biased | Isa::bits(Isa::splat(two52))) - (two52 + (F::bias - 1));
    const vi half_exponent = F::word(static_cast<std::uint64_t>(F::bias - 1) << F::fraction_bits);
    const vd m = Isa::from_bits((a & F::word(~F::L::exponent_mask)) | half_exponent);
    vd g = tools::split_horner(detail::cbrt_guess, m);

    // q = e / 3 truncated toward zero, as the integer division.  e times
    // the double just above 1/3 is q itself, or just above it (below for a
    // negative e), where 3 divides e, and at least a third away from every
    // integer elsewhere, for every exponent of a double: truncation gives
    // q.  r = e - 3q is exact.
    const vd q = Isa::trunc(e * third_above);
    const vd r = e - 3.0 * q;
    // power_of_two(q), |q| <= 341 a normal power, whose biased exponent
    // q + bias is the low bits of the pattern of q + bias + 1.5 * 2^52 (an
    // exact sum); the shift leaves those bits alone in the exponent field.
    const double magic = static_cast<double>(std::uint64_t{3} << (F::fraction_bits - 1));
    g = g * Isa::from_bits(Isa::bits(q + (magic + F::bias)) << F::fraction_bits);
    // cbrt_third_powers[r + 2], by comparisons (cheaper than a gather).
    const double* t = detail::cbrt_third_powers;
    const vd zero = Isa::splat(0.0);
    const vd below = Isa::select(r < Isa::splat(-1.0), Isa::splat(t[0]), Isa::splat(t[1]));
    const vd above = Isa::select(r > Isa::splat(1.0), Isa::splat(t[4]), Isa::splat(t[3]));
    g = g * Isa::select(r < zero, below, Isa::select(r > zero, above, Isa::splat(t[2])));

    const vd f = detail::cbrt_halley_factor(g, ax);
    g = g * f;
    // The loop's test: a further step where |1 - f| > tolerance.
    const vd change = Isa::from_bits(F::magnitude(1.0 - f));
    const md last = change <= Isa::splat(detail::cbrt_tolerance);
    if constexpr (widened) {
      // A float widens to a normal double below 2^128, or to a zero, an
      // infinity or a NaN, whose step is never the last: f is 1/2 for a
      // zero (the guess, scaled as for the least exponent, has a cube
      // far above it) and a NaN for the others.
      rare |= F::all_lanes & ~lane_bits(last);
    } else {
      const md plain = (ax >= Isa::splat(tools::smallest_normal<double>())) &
                       (e < Isa::splat(static_cast<double>(detail::cbrt_large_exponent)));
      rare |= F::all_lanes & ~lane_bits(plain & last);
    }

    // The sign as the factor +-1: copysign(1.0, x).
    return Isa::from_bits(Isa::bits(Isa::splat(1.0)) | sign) * g;
  }
};

template <class Isa> struct kernel<fn::cbrt, double, Isa> {
  static constexpr bool vectorised = true;
  static typename Isa::vd eval(typename Isa::vd x, unsigned& rare) {
    return cbrt_lanes<Isa>::template root<false>(x, rare);
  }
};

template <class Isa> struct kernel<fn::cbrt, float, Isa> {
  static constexpr bool vectorised = true;
  static typename Isa::vf eval(typename Isa::vf x, unsigned& rare) {
    return Isa::narrow(cbrt_lanes<Isa>::template root<true>(Isa::widen(x), rare));
  }
};

}  // namespace varnel::math::batch

#endif
