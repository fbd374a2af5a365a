// The Lanczos approximation behind the gamma and log-gamma functions:
//
//   Gamma(z) ~ L(z) * (z + g - 1/2)^(z - 1/2) / e^(z + g - 1/2),   z > 0,
//
// with a fixed g and a rational L(z) = N(z) / D(z) of 13 terms, built for
// the 53-bit significand.  This unit only evaluates L(z) and the scaled
// ratio L(z) * e^-g; the callers combine them with the power and the
// exponential.  Every library computes in binary64, so these are plain
// binary64 routines shared by all three precisions.
#ifndef VARNEL_MATH_SPECIAL_FUNCTIONS_DETAIL_LANCZOS_HPP
#define VARNEL_MATH_SPECIAL_FUNCTIONS_DETAIL_LANCZOS_HPP

#include <cstddef>

#include <varnel/math/tools/split_horner.hpp>

namespace varnel::math::detail {

// g = 808618867 * 2^-27 exactly; every use of g is this binary64 value.
constexpr double lanczos_g() noexcept { return 0x1.81945b98p+2; }  // 6.02468004077673

// N(z), the numerator of L(z), on z > 0; entry k multiplies z^k.
inline constexpr double lanczos_num[13] = {
    0x1.5ea5143c1a49ep+34,  // 23531376880.41076
    0x1.3fc7075f54c57p+35,  // 42919803642.6491
    0x1.0a132818ab61ap+35,  // 35711959237.35567
    0x1.0b0b522e8261ap+34,  // 17921034426.03721
    0x1.67fc1b3a5a1e8p+32,  // 6039542586.352028
    0x1.57418f5d3f33fp+30,  // 1439720407.3117216
    0x1.dab0c7bb95f2ap+27,  // 248874557.86205417
    0x1.df876f95dcc98p+24,  // 31426415.585400194
    0x1.5f1e95080f44cp+21,  // 2876370.6289353725
    0x1.6b6421f8787ebp+17,  // 186056.26539522348
    0x1.f87ac0858d804p+12,  // 8071.672002365816
    0x1.a5a607bbc3b52p+7,   // 210.82427775157936
    0x1.40d931ff62705p+1,   // 2.5066282746310002
};

// The numerator of L(z) * e^-g on z > 0: the entries above times
// e^-g ~ 0.00241832520904651, each rounded once.
inline constexpr double lanczos_num_scaled[13] = {
    0x1.b2298cf4eca2ep+25,  // 56906521.913471565
    0x1.8bf15ec772306p+26,  // 103794043.11634454
    0x1.4972fed270dcep+26,  // 86363131.2881386
    0x1.4aa644a98efcep+25,  // 43338889.32467614
    0x1.bdba142ce50eap+23,  // 14605578.087685067
    0x1.a903813d667e3p+21,  // 3481712.154980646
    0x1.25e073bfd756p+19,   // 601859.6171681099
    0x1.28df4b04add1p+16,   // 75999.29304014542
    0x1.b2bffe5f3508ap+12,  // 6955.999602515376
    0x1.c1f1ce7b3dd77p+8,   // 449.9445569063168
    0x1.38519fe638382p+4,   // 19.519927882476175
    0x1.0509f77f7c44bp-1,   // 0.5098416655656676
    0x1.8d44d6a172145p-8,   // 0.006061842346248907
};

// D(z) = z (z + 1) (z + 2) ... (z + 11), shared by both ratios: integer
// coefficients, all exact.
inline constexpr double lanczos_den[13] = {
    0x0p+0,          // 0
    0x1.308a8p+25,   // 39916800
    0x1.cbd698p+26,  // 120543840
    0x1.1fda6bp+27,  // 150917976
    0x1.918717p+26,  // 105258076
    0x1.5eeb69p+25,  // 45995730
    0x1.97171ep+23,  // 13339535
    0x1.41f7bp+21,   // 2637558
    0x1.5d0bcp+18,   // 357423
    0x1.fe78p+14,    // 32670
    0x1.e14p+10,     // 1925
    0x1.08p+6,       // 66
    0x1p+0,          // 1
};

// Above these arguments the direct form overflows a few per cent later (N
// for the plain ratio, D for the scaled one), so the ratio is taken in 1/z.
// Up to and including them every intermediate of the direct form is finite.
inline constexpr double lanczos_ratio_threshold = 0x1.1dd9b7a852726p+85;         // 4.31965e25
inline constexpr double lanczos_ratio_scaled_threshold = 0x1.3b93a17d36c3cp+85;  // 4.76886e25

// The steps below without a branch are templates over the value type V:
// double here, and the packs of the batch library, whose gamma kernels run
// the very same operations on whole vectors.

// zgh = z + g - 1/2, the base of the power, in this order.
template <class V> inline V lanczos_zgh(V z) noexcept { return (z + lanczos_g()) - 0.5; }

// N(z) / D(z) in the direct form, both polynomials through split_horner.
template <class V> inline V lanczos_sum_direct(const double (&num)[13], V z) noexcept {
  return tools::split_horner(num, z) / tools::split_horner(lanczos_den, z);
}

// N(z) / D(z) for z up to the threshold (both through split_horner), or
// z^-12 N(z) / z^-12 D(z) by plain Horner in y = 1/z over the tables read
// from the constant term upward beyond it.  A NaN fails the comparison and
// takes the direct form; +infinity gives y = 0 and the leading entries.
inline double lanczos_sum(const double (&num)[13], double threshold, double z) noexcept {
  if (z > threshold) {
    const double y = 1 / z;
    double n = num[0];
    double d = lanczos_den[0];
    for (std::size_t k = 1; k < 13; ++k) {
      n = n * y + num[k];
      d = d * y + lanczos_den[k];
    }
    return n / d;
  }
  return lanczos_sum_direct(num, z);
}

// The tables of the direct form interleaved, numerator and denominator in
// the two lanes of one register.
inline constexpr tools::table_pair<13> lanczos_num_den = tools::interleave(lanczos_num, lanczos_den);
inline constexpr tools::table_pair<13> lanczos_num_scaled_den = tools::interleave(lanczos_num_scaled, lanczos_den);

// lanczos_sum with the direct form's two polynomials side by side; the
// same operations, lane by lane, as split_horner of each table.
inline double lanczos_sum_pair(const double (&num)[13], const tools::table_pair<13>& num_den, double threshold,
                               double z) noexcept {
  if (z > threshold) return lanczos_sum(num, threshold, z);
  return tools::split_horner_quotient(num_den, z);
}

// L(z), for z >= 2^-26, +infinity or NaN.
inline double lanczos_ratio(double z) noexcept {
  return lanczos_sum_pair(lanczos_num, lanczos_num_den, lanczos_ratio_threshold, z);
}

// L(z) * e^-g, for z >= 2^-26, +infinity or NaN.
inline double lanczos_ratio_scaled(double z) noexcept {
  return lanczos_sum_pair(lanczos_num_scaled, lanczos_num_scaled_den, lanczos_ratio_scaled_threshold, z);
}

}  // namespace varnel::math::detail

#endif
