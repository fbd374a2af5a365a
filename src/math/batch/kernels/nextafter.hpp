// nextafter and nexttoward: step_toward (nextafter.hpp) over lanes.  Its
// branch-free path, tools::step_across, is bit arithmetic and one addition,
// taken here for every lane with plain_step_magnitude(x), y not a NaN and
// x != y; a lane with x == y gives x, as the scalar code does after that
// path.  Every other lane is rare: zeros, subnormals and the tiny normals
// that float_next and float_prior rescale, the largest finite magnitude,
// infinities, NaNs on either side (the errors among them).  nexttoward
// takes the same step once x is compared with the exact long double y
// (below).
#ifndef VARNEL_SRC_MATH_BATCH_KERNELS_NEXTAFTER_HPP
#define VARNEL_SRC_MATH_BATCH_KERNELS_NEXTAFTER_HPP

#include <limits>
#include <type_traits>

#include <varnel/math/tools/bits.hpp>
#include <varnel/math/tools/layouts.hpp>

#include "kernel.hpp"
#include "lanes.hpp"

namespace varnel::math::batch {

template <class T, class Isa> struct step_lanes : pattern<T, Isa> {
  using F = pattern<T, Isa>;
  using V = typename F::P::v;
  using I = typename F::P::i;
  using M = typename F::P::m;

  // tools::plain_step_magnitude: plain_step_low <= |x| < max_value, as
  // signed comparisons of the non-negative magnitude patterns.
  static M plain(V x) {
    const I a = F::magnitude(x);
    const I lo = F::word(F::L::to_bits(tools::plain_step_low<T>()));
    const I hi = F::word(F::L::to_bits(std::numeric_limits<T>::max()));
    return (a > lo - F::word(1)) & (hi > a);
  }

  // tools::step_across for plain x, the direction given as the sign bit of
  // the step (0 up, the sign bit down) and as a mask of the lanes that step
  // toward zero (the direction equal to the sign of x).  The spacing's
  // biased exponent is that of x less fraction_bits (e - D + bias with
  // e = E - (bias - 1)), one less for the first value of a binade stepped
  // toward zero.
  static V step_across(V x, I direction, M toward_zero) {
    const I b = Isa::bits(x);
    const M binade_start = (b & F::significand()) == F::zero();
    const I s = (b & F::exponent()) - F::word(static_cast<typename F::B>(F::fraction_bits) << F::fraction_bits);
    const I one = F::word(static_cast<typename F::B>(1) << F::fraction_bits);
    const V spacing = Isa::select(binade_start & toward_zero, Isa::from_bits(s - one), Isa::from_bits(s));
    return x + Isa::from_bits(Isa::bits(spacing) | direction);
  }
};

// The direction from y > x, compared in T.  Where x != y and neither is a
// NaN, y - x is not zero and has the sign of the step: the sign bit of
// y - x is the direction, and its difference from the sign of x marks the
// steps toward zero.
template <class T, class Isa> struct kernel<fn::nextafter, T, Isa> {
  static constexpr bool vectorised = true;
  template <class V> static V eval(V x, V y, unsigned& rare) {
    using S = step_lanes<T, Isa>;
    const auto equal = x == y;
    rare |= S::all_lanes & ~lane_bits(equal | (S::plain(x) & (y == y)));
    const auto d = Isa::bits(y - x);
    const auto toward_zero = S::zero() > (d ^ Isa::bits(x));
    return Isa::select(equal, x, S::step_across(x, d & S::sign(), toward_zero));
  }
};

// nexttoward: the comparisons of x with the exact long double y, then the
// step of nextafter.  Where long double is binary64 (Windows) the y lanes
// are doubles and compare as such, x widened exactly when it is a float.
// Where it is the x87 extended format (x86-64 Linux) no vector unit holds
// y, and the comparison is made on the patterns: every plain x is a normal
// double (a float widens to one exactly), which the extended format holds
// with the exponent rebiased and the significand shifted up to an explicit
// integer bit; a normal or zero y then orders against it by sign, biased
// exponent and significand, as the x87 comparison does.  Other y (NaNs,
// infinities, denormals, the invalid encodings) are rare.
template <class T, class Isa> struct kernel<fn::nexttoward, T, Isa> {
  static constexpr bool vectorised = true;
  using S = step_lanes<T, Isa>;
  using D = pattern<double, Isa>;
  using vd = typename Isa::vd;
  using vi = typename Isa::vi;
  using md = typename Isa::md;

  template <class V> static vd as_double(V x) {
    if constexpr (std::is_same_v<T, double>) {
      return x;
    } else {
      return Isa::widen(x);
    }
  }
  static auto as_mask_of_t(md m) {
    if constexpr (std::is_same_v<T, double>) {
      return m;
    } else {
      return S::mask_of_bits(lane_bits(m));
    }
  }

  // The step once the lanes stepping toward zero and those with x == y are
  // known: the step has the sign of x away from zero, the other toward it.
  template <class V, class M> static V step(V x, M toward_zero, M equal) {
    const auto sx = Isa::bits(x) & S::sign();
    const auto direction = Isa::bits(Isa::select(toward_zero, Isa::from_bits(sx ^ S::sign()), Isa::from_bits(sx)));
    return Isa::select(equal, x, S::step_across(x, direction, toward_zero));
  }

  template <class V, class Y> static V eval(V x, const T*, const Y* ys, unsigned& rare) {
    static_assert(std::is_same_v<Y, long double>, "the libraries' long double");
    if constexpr (tools::long_double_is_binary64) {
      const vd y = Isa::load(reinterpret_cast<const double*>(ys));
      if constexpr (std::is_same_v<T, double>) {
        return kernel<fn::nextafter, double, Isa>::eval(x, y, rare);
      } else {
        const vd xd = Isa::widen(x);
        const md equal = xd == y;
        rare |= S::all_lanes & ~(lane_bits(equal) | (lane_bits(S::plain(x)) & lane_bits(y == y)));
        // As for nextafter: the sign of y - x is the direction.
        const md toward_zero = D::zero() > (Isa::bits(y - xd) ^ Isa::bits(xd));
        return step(x, as_mask_of_t(toward_zero), as_mask_of_t(equal));
      }
    } else {
      return x87<V, Y>(x, ys, rare);
    }
  }

  template <class V, class Y> static V x87(V x, const Y* ys, unsigned& rare) {
    using E = tools::basic_x87_layout<Y>;
    constexpr int rebias = std::numeric_limits<Y>::max_exponent - std::numeric_limits<double>::max_exponent;
    vi m, se;
    Isa::load_interleaved(ys, m, se);
    const vi xb = Isa::bits(as_double(x));
    const vi ey = se & D::word(E::exponent_mask);
    const vi ex = ((xb & D::exponent()) >> D::fraction_bits) + D::word(rebias);
    const vi mx = (xb << (64 - D::fraction_bits - 1)) | D::word(E::integer_bit);
    const md normal = (D::zero() > m) & (ey > D::zero()) & (D::word(E::exponent_mask) > ey);
    const md zero = (ey == D::zero()) & (m == D::zero());
    rare |= S::all_lanes & ~(lane_bits(normal | zero) & lane_bits(S::plain(x)));
    // Both significands have the integer bit, so they order as signed
    // integers; a zero y has the least exponent.
    const md same_exponent = ey == ex;
    const md below = (ex > ey) | (same_exponent & (mx > m));
    const md sign_differs = D::zero() > ((se << 48) ^ xb);
    const md equal = andnot(same_exponent & (m == mx), sign_differs);
    return step(x, as_mask_of_t(sign_differs | below), as_mask_of_t(equal));
  }
};

}  // namespace varnel::math::batch

#endif
