// The one evaluation order of every coefficient table: even- and odd-index
// coefficients each run through Horner's scheme in w = z*z, then joined.
// The order is part of the result (plain Horner can differ in the last
// bits), so every step is a separate rounded operation; the project builds
// with -ffp-contract=off so no step is fused.
#ifndef VARNEL_MATH_TOOLS_SPLIT_HORNER_HPP
#define VARNEL_MATH_TOOLS_SPLIT_HORNER_HPP

#include <cstddef>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace varnel::math::tools {

namespace detail {

// A coefficient as a value of z's type V: the coefficient itself for a
// floating V; for a pack of lanes of the batch library, the coefficient in
// every lane (splat_like, which its packs provide).
template <class V, class C> inline V coefficient_as(C c, const V& z) noexcept {
  if constexpr (std::is_floating_point_v<V>) {
    (void)z;
    return c;
  } else {
    return splat_like(z, c);
  }
}

}  // namespace detail

// table[k] multiplies z^k (lowest power first).  V is the type of z and of
// the result: the coefficients' own type, or a pack of lanes of the batch
// library, whose every lane then takes exactly the steps of the scalar
// instance.
template <class C, std::size_t N, class V> inline V split_horner(const C (&c)[N], V z) noexcept {
  static_assert(N >= 3, "tables have at least three coefficients");
  const V w = z * z;
  if constexpr (N % 2 == 1) {
    // E = (..(c[n-1] w + c[n-3]) w + ..) w + c0,  O = (..(c[n-2] w + ..) w + c1) z
    V e = detail::coefficient_as(c[N - 1], z);
    for (std::size_t k = N - 1; k >= 2; k -= 2) e = e * w + c[k - 2];
    V o = detail::coefficient_as(c[N - 2], z);
    for (std::size_t k = N - 2; k >= 3; k -= 2) o = o * w + c[k - 2];
    o = o * z;
    return e + o;
  } else {
    // O as above from c[n-1]; E' stops at c2 and takes one more w; the
    // constant term is added last.
    V o = detail::coefficient_as(c[N - 1], z);
    for (std::size_t k = N - 1; k >= 3; k -= 2) o = o * w + c[k - 2];
    o = o * z;
    V e = detail::coefficient_as(c[N - 2], z);
    for (std::size_t k = N - 2; k >= 4; k -= 2) e = e * w + c[k - 2];
    e = e * w;
    return (o + e) + c[0];
  }
}

// Two tables of the same length evaluated at the same z side by side, as a
// numerator and its denominator are: each keeps exactly the sequence of
// split_horner above, and the two sequences run in the two lanes of one
// SSE2 register, which rounds every lane as the scalar operation would.
// The tables are interleaved once, at compile time, so that each step
// loads one coefficient pair.
template <std::size_t N> struct table_pair {
  alignas(16) double c[N][2];  // c[k][0] from the first table, c[k][1] from the second
};

template <std::size_t N> constexpr table_pair<N> interleave(const double (&a)[N], const double (&b)[N]) noexcept {
  table_pair<N> t{};
  for (std::size_t k = 0; k < N; ++k) {
    t.c[k][0] = a[k];
    t.c[k][1] = b[k];
  }
  return t;
}

namespace detail {

#if defined(__SSE2__)
struct lanes {
  __m128d v;
  static lanes load(const double (&p)[2]) noexcept { return {_mm_load_pd(p)}; }
  static lanes both(double x) noexcept { return {_mm_set1_pd(x)}; }
  friend lanes operator*(lanes a, lanes b) noexcept { return {_mm_mul_pd(a.v, b.v)}; }
  friend lanes operator+(lanes a, lanes b) noexcept { return {_mm_add_pd(a.v, b.v)}; }
  double first() const noexcept { return _mm_cvtsd_f64(v); }
  double second() const noexcept { return _mm_cvtsd_f64(_mm_unpackhi_pd(v, v)); }
};
#else
// Without SSE2: the same lane operations, one scalar operation per lane.
struct lanes {
  double a, b;
  static lanes load(const double (&p)[2]) noexcept { return {p[0], p[1]}; }
  static lanes both(double x) noexcept { return {x, x}; }
  friend lanes operator*(lanes x, lanes y) noexcept { return {x.a * y.a, x.b * y.b}; }
  friend lanes operator+(lanes x, lanes y) noexcept { return {x.a + y.a, x.b + y.b}; }
  double first() const noexcept { return a; }
  double second() const noexcept { return b; }
};
#endif

}  // namespace detail

// Sets first and second to split_horner of the two tables at z.
template <std::size_t N>
inline void split_horner_pair(const table_pair<N>& t, double z, double& first, double& second) noexcept {
  static_assert(N >= 3, "tables have at least three coefficients");
  using detail::lanes;
  const lanes w = lanes::both(z * z);
  lanes r;
  if constexpr (N % 2 == 1) {
    lanes e = lanes::load(t.c[N - 1]);
    for (std::size_t k = N - 1; k >= 2; k -= 2) e = e * w + lanes::load(t.c[k - 2]);
    lanes o = lanes::load(t.c[N - 2]);
    for (std::size_t k = N - 2; k >= 3; k -= 2) o = o * w + lanes::load(t.c[k - 2]);
    o = o * lanes::both(z);
    r = e + o;
  } else {
    lanes o = lanes::load(t.c[N - 1]);
    for (std::size_t k = N - 1; k >= 3; k -= 2) o = o * w + lanes::load(t.c[k - 2]);
    o = o * lanes::both(z);
    lanes e = lanes::load(t.c[N - 2]);
    for (std::size_t k = N - 2; k >= 4; k -= 2) e = e * w + lanes::load(t.c[k - 2]);
    e = e * w;
    r = (o + e) + lanes::load(t.c[0]);
  }
  first = r.first();
  second = r.second();
}

// A numerator over its denominator, both tables evaluated side by side.
template <std::size_t N> inline double split_horner_quotient(const table_pair<N>& t, double z) noexcept {
  double n, d;
  split_horner_pair(t, z, n, d);
  return n / d;
}

}  // namespace varnel::math::tools

#endif
