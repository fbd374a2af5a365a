// log Gamma(z) for 2^-26 <= z < 15: recurrence steps down (or one step up)
// into [1, 3), where three rational approximations take over.  On each
// interval
//
//   log Gamma(z) = p * (Y + P(v) / Q(v)),
//
// with p the product of the factors that vanish at the zeros of log Gamma
// (z = 1, z = 2) and one more factor, and Y a constant that absorbs most of
// the value so that P/Q is only a small correction.  Near the zeros p
// carries the whole cancellation exactly, so the result keeps its relative
// accuracy there.
#ifndef VARNEL_MATH_SPECIAL_FUNCTIONS_DETAIL_LGAMMA_SMALL_HPP
#define VARNEL_MATH_SPECIAL_FUNCTIONS_DETAIL_LGAMMA_SMALL_HPP

#include <cassert>
#include <cmath>
#include <type_traits>

#include <varnel/math/elementary/elementary.hpp>
#include <varnel/math/tools/limits.hpp>
#include <varnel/math/tools/split_horner.hpp>

namespace varnel::math::detail {

// 2 <= z < 3, v = z - 2, p = (z - 2)(z + 1):
// P/Q ~ log Gamma(z) / p - YA.
inline constexpr double lgamma_small_ya = 0x1.458ecp-3;  // 0.158963680267333984375
inline constexpr double lgamma_small_pa[7] = {
    -0x1.277ea84a7966p-6,    // -0.01803556856784494
    0x1.9bacce980eda2p-6,    // 0.02512664961998968
    0x1.94c4f0f5dda93p-5,    // 0.049410315156753225
    0x1.1a9c3974c00ep-6,     // 0.0172491608709614
    -0x1.100e8919cbf56p-12,  // -0.0002594535632054381
    -0x1.1ba51d8f8cad8p-11,  // -0.0005410098692152044
    -0x1.1048e1bc83dep-15,   // -3.245886498259485e-05
};
inline constexpr double lgamma_small_qa[8] = {
    0x1p+0,                  // 1.0
    0x1.f64796f5eb9d7p+0,    // 1.962029871977952
    0x1.7aee2ba96b052p+0,    // 1.4801966942423133
    0x1.153141fe2a50bp-1,    // 0.5413914320717209
    0x1.94e42ef0e201cp-4,    // 0.09885042511280101
    0x1.0d2072f6682b3p-7,    // 0.008213096746488934
    0x1.d7b9c08f45155p-13,   // 0.00022493629192211576
    -0x1.dfa57ae9449aep-23,  // -2.2335276320861708e-07
};

// 1 <= z <= 1.5, v = z - 1, p = (z - 1)(z - 2):
// P/Q ~ log Gamma(z) / p - YB.
inline constexpr double lgamma_small_yb = 0x1.0e6a2p-1;  // 0.52815341949462890625
inline constexpr double lgamma_small_pb[7] = {
    0x1.91eafc6fb618fp-5,   // 0.04906224540690395
    -0x1.8cf3569cd31f8p-4,  // -0.09691175301595212
    -0x1.a8f165c227332p-2,  // -0.4149833583594954
    -0x1.a05321d879e7p-2,   // -0.4065671242119384
    -0x1.446e57a6521cap-3,  // -0.1584135863906922
    -0x1.897622a5491f5p-6,  // -0.024014982064857155
    -0x1.070d85ad3c12p-10,  // -0.0010034668769627955
};
inline constexpr double lgamma_small_qb[7] = {
    0x1p+0,                // 1.0
    0x1.8301fe03b567fp+1,  // 3.0234982984646304
    0x1.be62fcc1b97bep+1,  // 3.4873958536072385
    0x1.ea061eb3d527bp+0,  // 1.9141558827442668
    0x1.03a78ec3d5097p-1,  // 0.5071377386143635
    0x1.d8b60037d5babp-5,  // 0.05770397226904519
    0x1.0098dff726b82p-9,  // 0.001957681026011072
};

// 1.5 < z < 2, v = 2 - z (not z - 2), p = (z - 1)(z - 2):
// P/Q ~ log Gamma(z) / p - YC.
inline constexpr double lgamma_small_yc = 0x1.ceddap-2;  // 0.452017307281494140625
inline constexpr double lgamma_small_pc[6] = {
    -0x1.def3f8df6c31fp-6,  // -0.029232972183027003
    0x1.275adbcc8beb8p-3,   // 0.14421626775719232
    -0x1.23b7c99ed0a7dp-3,  // -0.14244039073863127
    0x1.bcab718c89ce7p-5,   // 0.05428096940550536
    -0x1.16b421060af34p-7,  // -0.008505359768683364
    0x1.c41dad0d6f51ep-12,  // 0.0004311713426792973
};
inline constexpr double lgamma_small_qc[7] = {
    0x1p+0,                  // 1.0
    -0x1.806efd3b2767ep+0,   // -1.5016935605448505
    0x1.b1a67a4905d83p-1,    // 0.846973248876495
    -0x1.c2c13f386db1dp-3,   // -0.22009515181499575
    0x1.a326074801efap-6,    // 0.02558279715597587
    -0x1.07e457c90cab8p-10,  // -0.0010066679553914337
    -0x1.bc189ca9e7e31p-21,  // -8.271935218912905e-07
};

// z in [2^-26, 15); zm1 = z - 1 and zm2 = z - 2 as the caller computed
// them, so that the factors of p are exact where they matter.  Reports
// nothing.
template <class T> inline T lgamma_small(T z, T zm1, T zm2) noexcept {
  static_assert(std::is_same_v<T, double>, "computes in binary64");
  assert(z >= tools::root_epsilon<T>());
  T result = 0;
  // The zeros themselves: the rational term would vanish anyway; +0 exactly.
  if (zm1 == 0 || zm2 == 0) return result;
  if (z > 2) {
    // log Gamma(z) = log(z - 1) + log Gamma(z - 1) down into [2, 3), at most
    // 12 steps.  An integer ends at z = 2 with zm2 = 0 and no rational term.
    if (z >= 3) {
      do {
        z -= 1;
        result += elementary::log(z);
      } while (z >= 3);
      zm2 = z - 2;
    }
    const T r = zm2 * (z + 1);
    const T R = tools::split_horner(lgamma_small_pa, zm2) / tools::split_horner(lgamma_small_qa, zm2);
    result += (r * lgamma_small_ya) + (r * R);
    return result;
  }
  // z < 2, z != 1.  Below 1 one step up: log Gamma(z) = log Gamma(z + 1) -
  // log z.  The old z is exactly z + 1 - 1 and the old zm1 exactly z + 1 - 2,
  // so they are reused rather than recomputed from the rounded z + 1.
  if (z < 1) {
    result += -elementary::log(z);
    zm2 = zm1;
    zm1 = z;
    z += 1;
  }
  if (z <= T(1.5)) {
    const T R = tools::split_horner(lgamma_small_pb, zm1) / tools::split_horner(lgamma_small_qb, zm1);
    const T p = zm1 * zm2;
    result += (p * lgamma_small_yb) + (p * R);
  } else {
    const T p = zm2 * zm1;
    const T v = -zm2;
    const T R = tools::split_horner(lgamma_small_pc, v) / tools::split_horner(lgamma_small_qc, v);
    result += (p * lgamma_small_yc) + (p * R);
  }
  return result;
}

}  // namespace varnel::math::detail

#endif
