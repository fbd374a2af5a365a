// The one evaluation order of every coefficient table: even- and odd-index
// coefficients each run through Horner's scheme in w = z*z, then joined.
// The order is part of the result (plain Horner can differ in the last
// bits), so every step is a separate rounded operation; the project builds
// with -ffp-contract=off so no step is fused.
#ifndef VARNEL_MATH_TOOLS_SPLIT_HORNER_HPP
#define VARNEL_MATH_TOOLS_SPLIT_HORNER_HPP

#include <cstddef>

namespace varnel::math::tools {

// table[k] multiplies z^k (lowest power first).
template <class T, std::size_t N>
inline T split_horner(const T (&c)[N], T z) noexcept {
  static_assert(N >= 3, "tables have at least three coefficients");
  const T w = z * z;
  if constexpr (N % 2 == 1) {
    // E = (..(c[n-1] w + c[n-3]) w + ..) w + c0,  O = (..(c[n-2] w + ..) w + c1) z
    T e = c[N - 1];
    for (std::size_t k = N - 1; k >= 2; k -= 2) e = e * w + c[k - 2];
    T o = c[N - 2];
    for (std::size_t k = N - 2; k >= 3; k -= 2) o = o * w + c[k - 2];
    o = o * z;
    return e + o;
  } else {
    // O as above from c[n-1]; E' stops at c2 and takes one more w; the
    // constant term is added last.
    T o = c[N - 1];
    for (std::size_t k = N - 1; k >= 3; k -= 2) o = o * w + c[k - 2];
    o = o * z;
    T e = c[N - 2];
    for (std::size_t k = N - 2; k >= 4; k -= 2) e = e * w + c[k - 2];
    e = e * w;
    return (o + e) + c[0];
  }
}

}  // namespace varnel::math::tools

#endif
