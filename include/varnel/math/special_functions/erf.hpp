// The error function, and the one evaluation routine that also gives its
// complement erfc (erfc.hpp).
//
// For |x| >= 0.5 the routine approximates erfc directly and derives erf from
// it; below 0.5 it approximates erf and derives erfc.  erfc is therefore
// never formed as 1 - erf in its tail and keeps its relative accuracy down
// to the subnormal range near x = 27.  Every precision runs the same binary64
// routine with the same tables: float members widen, long double members are
// mapped to binary64 by their exports.
#ifndef VARNEL_MATH_SPECIAL_FUNCTIONS_ERF_HPP
#define VARNEL_MATH_SPECIAL_FUNCTIONS_ERF_HPP

#include <cerrno>
#include <cmath>
#include <type_traits>

#include <varnel/math/policies/error_handling.hpp>
#include <varnel/math/policies/narrow_result.hpp>
#include <varnel/math/tools/bits.hpp>
#include <varnel/math/special_functions/classification.hpp>
#include <varnel/math/elementary/elementary.hpp>
#include <varnel/math/tools/split_horner.hpp>

namespace varnel::math {
namespace detail {

// Rational approximations, one numerator P and one denominator Q per
// interval of the reduced argument x >= 0, lowest power first.  Each
// interval's value is Y + P(z)/Q(z): the offset Y (exact in binary32)
// carries the leading bits, the quotient only a small correction.

// x < 0.5, z = x*x:  erf(x) ~ x * (Y0 + P0(z)/Q0(z)).
constexpr double erf_p0[] = {
    0x1.55bb50429b6dp-4,     // 0.08343058921465318
    -0x1.5a47f6049a01ep-2,   // -0.3381651344593609
    -0x1.a1c8cf1be61e7p-5,   // -0.050999073514677744
    -0x1.fa6f563ab4349p-8,   // -0.007727583458021333
    -0x1.5275a10372cd4p-12,  // -0.0003227801209646057
};
constexpr double erf_q0[] = {
    0x1p+0,                // 1.0
    0x1.d1ec93c6014b3p-2,  // 0.455004033050794
    0x1.667dbdc6ee008p-4,  // 0.08752226001422525
    0x1.19563bb281b53p-7,  // 0.008585719250744061
    0x1.84eabadac6fep-12,  // 0.000370900071787748
};

// 0.5 <= x < 1.5, z = x - 0.5:  erfc(x) ~ (Y1 + P1(z)/Q1(z)) * exp(-x*x)/x.
constexpr double erf_p1[] = {
    -0x1.91c770d9d3c38p-4,  // -0.09809059221628125
    0x1.6cc761c5cdfdp-3,    // 0.17811466584112035
    0x1.872cf216e5f4bp-3,   // 0.19100369579677542
    0x1.6c17f596974e1p-4,   // 0.08889003689678844
    0x1.3f917b098b969p-6,   // 0.01950490012512188
    0x1.d8f8dba7bf515p-10,  // 0.0018042453829701423
};
constexpr double erf_q1[] = {
    0x1p+0,                 // 1.0
    0x1.d8fbb46b1d05ep+0,   // 1.8475907098300222
    0x1.6d20b0730d505p+0,   // 1.4262800484551132
    0x1.27f68988b9f55p-1,   // 0.5780528048899024
    0x1.fb4b28dd2f601p-4,   // 0.12385097467900864
    0x1.738a6d80ccf03p-7,   // 0.011338523357700142
    0x1.c5000f148a68ep-19,  // 3.3751147248309467e-06
};

// 1.5 <= x < 2.5, z = x - 1.5:  erfc(x) ~ (Y2 + P2(z)/Q2(z)) * E(x).
constexpr double erf_p2[] = {
    -0x1.8ef3808bfbe3ap-6,  // -0.024350047620769845
    0x1.3ca7645df54c9p-5,   // 0.03865403750357072
    0x1.680608a766075p-5,   // 0.04394818964209516
    0x1.1fd54bd6a6244p-6,   // 0.017567943631180208
    0x1.a89fbecd94db8p-9,   // 0.0032396240629084215
    0x1.ee97293c42ffbp-13,  // 0.00023583911559688073
};
constexpr double erf_q2[] = {
    0x1p+0,                // 1.0
    0x1.8a37ddbaa96dp+0,   // 1.5399149494855244
    0x1.f6fd9e749acf5p-1,  // 0.9824037091579202
    0x1.4d8cee8caf21ap-2,  // 0.3257329247824444
    0x1.cdf6fb1d81fe3p-5,  // 0.05639218374204782
    0x1.0cf09d7005348p-8,  // 0.004103697239789046
};

// 2.5 <= x < 4.5, z = x - 3.5 (the interval's midpoint, not its left end):
// erfc(x) ~ (Y3 + P3(z)/Q3(z)) * E(x).
constexpr double erf_p3[] = {
    0x1.83066cd0bf15ap-9,   // 0.0029527671653097167
    0x1.c22e68cf6b2c5p-7,   // 0.013738442589635533
    0x1.13840e0e2140cp-7,   // 0.008408076155555853
    0x1.16f46da1af76bp-9,   // 0.0021282562091461863
    0x1.066d54ccd32a6p-12,  // 0.00025026996154479465
    0x1.7be0b780f7e4fp-17,  // 1.1321240664884757e-05
};
constexpr double erf_q3[] = {
    0x1p+0,                 // 1.0
    0x1.0acc2fcb1378bp+0,   // 1.0421781416693843
    0x1.c538522309af5p-2,   // 0.4425976594815631
    0x1.88993f34aac72p-4,   // 0.09584927263010615
    0x1.5b48e7dd47e9bp-7,   // 0.010598290648487654
    0x1.f6b2fb953735bp-12,  // 0.00047941126952171447
};

// x >= 4.5, z = 1/x:  erfc(x) ~ (Y4 + P4(z)/Q4(z)) * E(x).
constexpr double erf_p4[] = {
    0x1.9b9a82141fdacp-8,   // 0.006280571706269649
    0x1.1f5bd4085c48dp-6,   // 0.01753898340524933
    -0x1.b383063c1348dp-3,  // -0.21265225287280423
    -0x1.601c882adf2bfp-1,  // -0.68771768115365
    -0x1.46a330b7811e1p+1,  // -2.5518551727311523
    -0x1.9d17fc9bea3fbp+1,  // -3.2272945176414374
    -0x1.68a52784ed044p+1,  // -2.817540111451338
};
constexpr double erf_q4[] = {
    0x1p+0,                // 1.0
    0x1.65732e0a1496p+1,   // 2.792577509805753
    0x1.61d0ae6a5ca5ep+3,  // 11.056723792780016
    0x1.fdc7da2dc1122p+3,  // 15.930646027911795
    0x1.6efce09ed825p+4,   // 22.93673765228806
    0x1.b0349176f08c7p+3,  // 13.506417019180288
    0x1.5efb5c445a48fp+2,  // 5.484091822386417
};

// Offsets of the five intervals (exact).
constexpr double erf_y0 = 0x1.0b81cp+0;  // 1.044948577880859375
constexpr double erf_y1 = 0x1.9fadap-2;  // 0.405935764312744140625
constexpr double erf_y2 = 0x1.0371ep-1;  // 0.50672817230224609375
constexpr double erf_y3 = 0x1.14c64p-1;  // 0.5405750274658203125
constexpr double erf_y4 = 0x1.1da64p-1;  // 0.5579090118408203125

// The two middle intervals side by side, indexed by x >= 2.5.
constexpr double erf_centers23[] = {1.5, 3.5};
constexpr double erf_y23[] = {erf_y2, erf_y3};
// Each interval's numerator and denominator interleaved, evaluated side by
// side (tools::split_horner_quotient).  Interval 1 has tables of unequal
// length and keeps the scalar evaluation.
inline constexpr tools::table_pair<5> erf_pq0 = tools::interleave(erf_p0, erf_q0);
inline constexpr tools::table_pair<6> erf_pq23[] = {tools::interleave(erf_p2, erf_q2),
                                                    tools::interleave(erf_p3, erf_q3)};
inline constexpr tools::table_pair<7> erf_pq4 = tools::interleave(erf_p4, erf_q4);

// Below 1e-10 erf(x) = (2/sqrt(pi)) x to full precision.  The slope is
// applied as x*1.125 + x*c: the large part is a short constant and the
// rounding of the small part x*c hardly reaches the sum.
constexpr double erf_tiny = 0x1.b7cdfd9d7bdbbp-34;    // 1e-10
constexpr double erf_slope_c = 0x1.baea08536da23p-9;  // 0.003379167095512573896158903121545171688

// Beyond these erf is 1 and erfc is 0 to working precision.  The erf
// cut-off is the binary32 value nearest 5.93, widened.
constexpr double erf_cutoff = 0x1.7b851ep+2;  // 5.929999828338623046875
constexpr double erfc_cutoff = 28.0;

// exp(a) that leaves errno as it was.  A C library may store ERANGE when
// exp's result underflows (glibc does once it rounds to zero); here that
// result is part of an erfc value that is simply zero or subnormal, and
// narrow_result alone decides what to report.  exp(-708) is still normal,
// so the common path neither reads nor writes errno; the library's own exp
// (the portable build) never stores errno at all.
inline double exp_keeping_errno(double a) noexcept {
  if (!elementary::may_store_errno || a >= -708.0) return elementary::exp(a);
  const int saved = errno;
  const double r = elementary::exp(a);
  errno = saved;
  return r;
}

// The steps below that carry no branch are templates over the value type
// V: double here, and the packs of the batch library, whose kernels of erf
// and erfc run the very same operations on whole vectors.

// erf(x) below erf_tiny, (2/sqrt(pi)) x as x*1.125 + x*c; +0 for x = +0.
template <class V> inline V erf_tiny_value(V x) noexcept { return (x * 1.125) + (x * erf_slope_c); }

// The part of the exact square x*x that sq = x*x lost, from x = hi + lo with
// hi of 26 significant bits (hi*hi and 2hi*lo exact), in exactly this order.
template <class V> inline V erfc_square_error(V hi, V lo, V sq) noexcept {
  return ((hi * hi - sq) + (2.0 * hi) * lo) + lo * lo;
}

// exp(-x*x)/x for 1.5 <= x < 28, with the rounding error of x*x put back:
// at x = 27 half an ulp of x*x is 2^-44, and exp turns an absolute error
// in its argument into the same relative error in its result, 256 ulps.
inline double erfc_exp_factor(double x) noexcept {
  // hi = x truncated toward zero to 26 significant bits, so hi*hi is exact:
  // floor(ldexp(m, 26)) scaled back, for (m, e) = frexp(x), which for this
  // normal x is the pattern with its low 53 - 26 = 27 bits cleared.
  const double hi = tools::clear_low_significand_bits(x, 53 - 26);
  const double lo = x - hi;  // exact
  const double sq = x * x;
  const double err = erfc_square_error(hi, lo, sq);
  return (exp_keeping_errno(-sq) * elementary::exp(-err)) / x;
}

// erf(x) when invert is false, erfc(x) when it is true.  Only a NaN argument
// is reported; the range of the result is left to the caller's
// narrow_result.
//
// The result is offset + sign*r, where r approximates erf of |x| below 0.5
// and erfc of |x| from 0.5 up.  Which offset and sign turn r into the
// function wanted depends only on the function, the region of |x| and
// the sign bit of x:
//
//                 |x| < 0.5 (r ~ erf)        |x| >= 0.5 (r ~ erfc)
//   erf,  x >= 0    0 + r                       1 - r
//   erf,  x < 0     0 - r    (erf is odd)      -1 + r
//   erfc, x >= 0    1 - r                       0 + r
//   erfc, x < 0     1 + r    (1 + erf(|x|))     2 - r    (2 - erfc(|x|))
//
// -0 may take either row: its r is 0, and 0 + r and 0 - r are both +0
// (erf(-0) is +0), 1 - r and 1 + r both 1.  The pair is loaded from a
// table indexed by the function, the region and the sign bit; written as
// conditionals, the choice compiles back into a branch on the sign, which
// arguments of random sign mispredict half the time.
template <class Policy> inline double erf_or_erfc(double x, bool invert, const Policy& pol) noexcept {
  if (isnan(x))
    return policies::on_domain_error<double>("varnel::math::erf<%1%>(%1%)", "Expected a finite argument but got %1%", x,
                                             pol);

  const unsigned negative_bit = static_cast<unsigned>(tools::word64_layout::to_bits(x) >> 63);
  x = std::fabs(x);

  double r;
  const bool small = x < 0.5;
  if (small) {
    // r ~ erf(x).
    if (x < erf_tiny) {
      r = x == 0 ? 0.0 : erf_tiny_value(x);
    } else {
      const double z = x * x;
      r = x * (erf_y0 + tools::split_horner_quotient(erf_pq0, z));
    }
  } else if (!(x < (invert ? erfc_cutoff : erf_cutoff))) {
    // Beyond the cut-off of the function wanted erfc is zero.
    r = 0;
  } else if (x < 1.5) {
    // r ~ erfc(x).  Here x*x < 2.25, whose rounding error (at most 2^-52)
    // moves exp's result by about an ulp: the factor is formed directly.
    const double z = x - 0.5;
    r = erf_y1 + tools::split_horner(erf_p1, z) / tools::split_horner(erf_q1, z);
    r = r * (elementary::exp((-x) * x) / x);
  } else if (x < 4.5) {
    // [1.5, 2.5) and [2.5, 4.5) have the same form and tables of the same
    // length, so their data is chosen by index rather than by a branch
    // that random arguments mispredict: z = x - 1.5 or x - 3.5.
    const unsigned k = x >= 2.5;
    const double z = x - erf_centers23[k];
    r = erf_y23[k] + tools::split_horner_quotient(erf_pq23[k], z);
    r = r * erfc_exp_factor(x);
  } else {
    const double z = 1 / x;
    r = erf_y4 + tools::split_horner_quotient(erf_pq4, z);
    r = r * erfc_exp_factor(x);
  }

  static constexpr double pairs[2][2][2][2] = {
      // erf:  {large: x >= 0, x < 0}, {small: x >= 0, x < 0}
      {{{1, -1}, {-1, 1}}, {{0, 1}, {0, -1}}},
      // erfc
      {{{0, 1}, {2, -1}}, {{1, -1}, {1, 1}}},
  };
  const double(&pair)[2] = pairs[invert][small][negative_bit];
  return pair[0] + pair[1] * r;
}

}  // namespace detail

// Family entry (erfc's is in erfc.hpp).  T is float or double: float
// arguments widen exactly and the binary64 result is narrowed with the
// float limits; the long double exports map to binary64 before they get
// here.
template <class T, class Policy> inline T erf(T x, const Policy& pol) noexcept {
  static_assert(std::is_same_v<T, float> || std::is_same_v<T, double>, "computes in binary64");
  return policies::narrow_result<T>(detail::erf_or_erfc(static_cast<double>(x), false, pol),
                                    "varnel::math::erf<%1%>(%1%, %1%)", pol);
}

}  // namespace varnel::math

#endif
