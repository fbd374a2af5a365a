// Values the tests name everywhere: the infinities, the largest finite
// values, the library's quiet NaNs, the neighbours of a double, the
// distance of two doubles in spacings, and the special arguments of the
// whole-surface tests (every threshold of the families with its
// neighbours).  `using namespace varnel_test::values;` brings them in.
#ifndef VARNEL_TESTS_SUPPORT_VALUES_HPP
#define VARNEL_TESTS_SUPPORT_VALUES_HPP

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "support/bits.hpp"

namespace varnel_test {
inline namespace values {

inline constexpr double inf = std::numeric_limits<double>::infinity();
inline constexpr float finf = std::numeric_limits<float>::infinity();
inline constexpr double dmax = 0x1.fffffffffffffp+1023;  // 1.7976931348623157e308
inline constexpr float fmax_ = 0x1.fffffep+127f;         // 3.4028234663852886e38

// The quiet NaNs the library returns: positive, no payload.
inline constexpr std::uint64_t quiet_nan_bits = 0x7FF8000000000000u;
inline constexpr std::uint32_t quiet_nanf_bits = 0x7FC00000u;
inline const double qnan = from_bits(quiet_nan_bits);
inline const double neg_nan = from_bits(0xFFF8000000000001u);  // negative, with a payload

inline double below(double x) { return std::nextafter(x, -inf); }
inline double above(double x) { return std::nextafter(x, inf); }

// |a - b| in units of the spacing of doubles just above b in magnitude.
inline double ulps_apart(double a, double b) { return std::fabs(a - b) / std::fabs(std::nextafter(b, inf) - b); }

// Special values and every threshold of the families, each with its two
// neighbours, both signs, then the infinities and NaNs (signalling and
// with payload).  The golden digests fold these in this order.
inline std::vector<double> special_doubles() {
  const double seeds[] = {
      0.0,
      0x1p-1074,
      0x1p-1073,
      0x0.fffffffffffffp-1022,
      0x1p-1022,
      0x1p-149,
      0x1p-126,
      0x1p-60,
      0x1p-54,
      0x1p-28,
      0x1p-26,
      0x1p-13,
      1e-5,
      0.25,
      0.4,
      0.5,
      0.75,
      0.9999999999999999,
      1.0,
      1.25,
      1.5,
      2.0,
      2.5,
      2.857142857142857,
      3.0,
      4.0,
      5.93,
      6.0,
      8.0,
      10.0,
      15.0,
      20.0,
      26.5,
      27.2,
      27.3,
      27.5,
      28.0,
      35.04,
      35.05,
      100.0,
      141.975,
      170.0,
      170.5,
      171.0,
      171.62437695630272,
      172.0,
      254.9,
      709.0,
      710.0,
      0x1p26,
      0x1p27,
      0x1p31,
      0x1p52,
      0x1p53,
      0x1p63,
      0x1p64,
      2.6109e15,
      4.085e36,
      2.5599833278516385e305,
      0x1.fffffep+127,
      0x1p128,
      0x1p1020,
      1e300,
      0x1.fffffffffffffp+1023,
  };
  std::vector<double> out;
  for (double s : seeds)
    for (double x : {s, std::nextafter(s, 0.0), std::nextafter(s, HUGE_VAL)}) {
      out.push_back(x);
      out.push_back(-x);
    }
  for (std::uint64_t b : {0x7FF0000000000000u, 0xFFF0000000000000u, 0x7FF8000000000000u, 0xFFF8000000000000u,
                          0x7FF0000000000001u, 0x7FF8000000000123u})
    out.push_back(from_bits(b));
  return out;
}

}  // namespace values
}  // namespace varnel_test

#endif
