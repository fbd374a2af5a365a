// tgamma and tgammaf: the gamma unit's roads (special_functions/gamma.hpp)
// over lanes, each taken only when some lane needs it.
//
// Covered: 2^-26 <= x <= 171.6, the integers 1 to 169 from the factorial
// table and everything else by the Lanczos form (the power split in two
// halves from 141.97 on); the non-integers of (-20, 0), shifted upward into
// (0, 1] one division at a time, a lane's count of steps its own; the
// non-integers of (-171.6, -20] by reflection, -pi / (Gamma(-x) x sin(pi x))
// with sin on [0, pi/2].
// Rare: NaN, the poles (zeros, the negative integers, -infinity), 0 < x <
// 2^-26 and the lanes the shift leaves below 2^-26 (the series 1/x -
// euler_gamma), x > 171.6 (overflow from 171.62; +infinity), x <= -171.6,
// reflections whose denominator overflows (their results are subnormal),
// and every result narrow_result reports: subnormal in T or beyond its
// range (tgammaf from 35.04 on and below about -35).
#ifndef VARNEL_SRC_MATH_BATCH_KERNELS_TGAMMA_HPP
#define VARNEL_SRC_MATH_BATCH_KERNELS_TGAMMA_HPP

#include <limits>
#include <type_traits>

#include <varnel/math/constants.hpp>
#include <varnel/math/tools/limits.hpp>

#include "gamma.hpp"
#include "kernel.hpp"
#include "narrow.hpp"

namespace varnel::math::batch {

template <class T, class Isa> struct kernel<fn::tgamma, T, Isa> {
  static constexpr bool vectorised = true;
  using vd = typename Isa::vd;
  using md = typename Isa::md;
  using G = gamma_lanes<Isa>;

  // Gamma(z) in binary64 (tgamma_eval); the lanes left to the scalar
  // function are added to rare.
  VARNEL_LANES_INLINE static vd gamma(vd z, md& rare) {
    const double end = 171.6;  // the reflection's bound, below the overflow at 171.62
    const vd az = lanes::magnitude<Isa>(z);
    const md positive = z > Isa::splat(0.0);
    const md inside = az < Isa::splat(end);  // false for NaN and the infinities
    const md integer = G::nearest(az) == az;
    rare = rare | ~inside | andnot(integer, positive) | (positive & (z < Isa::splat(tools::root_epsilon<double>())));
    const md reflect = andnot(z <= Isa::splat(-20.0), rare);
    // The argument of gamma_direct: -z for a reflection, z otherwise, and
    // for rare lanes a harmless 1.5.
    vd w = Isa::select(rare, Isa::splat(1.5), Isa::select(reflect, -z, z));
    vd res = Isa::splat(1.0);
    G::shift_up(w, res);
    // The shift can end below 2^-26 (x within 2^-26 of a negative integer).
    rare = rare | (w < Isa::splat(tools::root_epsilon<double>()));
    const md table = andnot((G::nearest(w) == w) & (w < Isa::splat(170.0)), rare);
    const md lanczos = ~(table | rare);
    vd g = res;
    if (any(lanczos)) g = G::lanczos(Isa::select(lanczos, w, Isa::splat(1.5)), res, lanczos, rare);
    if (any(table)) g = Isa::select(table, res * G::factorial(w, table), g);
    if (!any(reflect)) return g;
    // gamma_reflection below 171.6: -pi / (Gamma(x) * x sin(pi x)) where
    // that product is finite; where it overflows the result is below
    // pi / max_value, subnormal, and rare.
    const vd product = g * G::x_sin_pi_x(z, reflect, rare);
    rare = rare | andnot(reflect, lanes::magnitude<Isa>(product) <= Isa::splat(tools::max_value<double>()));
    return Isa::select(reflect, -constants::pi<double>() / product, g);
  }

  template <class V> VARNEL_LANES_INLINE static V eval(V x, unsigned& rare) {
    vd z;
    if constexpr (std::is_same_v<T, double>)
      z = x;
    else
      z = Isa::widen(x);
    md r = unordered(z, z);
    const vd y = gamma(z, r);
    rare = lane_bits(r | ~narrow_plain<T, Isa>(y));
    return narrow_to<T, Isa>(y);
  }
};

}  // namespace varnel::math::batch

#endif
