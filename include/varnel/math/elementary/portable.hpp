// The library's own elementary functions: e^x, ln x, x^y, sin x, e^x - 1 and
// ln(1 + x) in binary64, and e^x - 1 and ln(1 + x) in binary32, written so
// that every IEEE-754 platform computes the same bits.
//
// What they may use: binary64 (and, for the float members' final rounding,
// binary32) +, -, *, / and conversions, integer and bit operations on the
// patterns (read and written through the layouts of tools/layouts.hpp, by
// byte copies), and nothing else: no platform math function, no fused
// multiply-add (the library builds with -ffp-contract=off), no long double.
// Every operation runs in the default environment, round to nearest: the
// one rounding trick used, v + 1.5*2^52 - 1.5*2^52 to round |v| < 2^51 to an
// integer, holds there and on every SSE2 or later unit, where a binary64
// operation rounds once to binary64.
//
// exp, log, pow and sin are internal helpers of the special functions and
// never touch errno: overflow gives +infinity, underflow +0, and a domain
// error of log the library's quiet NaN, without a report.  pow and sin
// accept only the arguments their callers pass and assert that in Debug
// builds.  expm1 and log1p are also exported by the libraries, so they take
// every argument and report through policies::detail::store_errno, the
// way the platform library of the Linux build (glibc 2.36) does; see each
// function.
//
// Accuracy (measured by tests/elementary against MPFR): exp and log within
// 0.52 ulp on every argument, pow within 0.55 ulp on its domain, sin within
// 0.6 ulp, expm1 and log1p within 0.6 ulp; the float members within 0.51
// ulp of float on every float.
#ifndef VARNEL_MATH_ELEMENTARY_PORTABLE_HPP
#define VARNEL_MATH_ELEMENTARY_PORTABLE_HPP

#include <cassert>
#include <cerrno>
#include <cstdint>
#include <limits>

#include <varnel/math/policies/error_handling.hpp>
#include <varnel/math/elementary/portable_tables.generated.hpp>
#include <varnel/math/tools/layouts.hpp>

namespace varnel::math::elementary::portable {
namespace detail {

using word64 = tools::word64_layout;
using word32 = tools::word32_layout;

inline std::uint64_t bits(double x) noexcept { return word64::to_bits(x); }
inline double from_bits(std::uint64_t b) noexcept { return word64::from_bits(b); }

constexpr std::uint64_t sign_bit = 0x8000000000000000u;
constexpr std::uint64_t exponent_field = 0x7FF0000000000000u;  // also the pattern of +infinity
constexpr double infinity = std::numeric_limits<double>::infinity();
constexpr std::uint64_t quiet_nan_bits = 0x7FF8000000000000u;  // the library's quiet NaN

// Adding 1.5*2^52 to a binary64 v with |v| < 2^51 rounds v to an integer
// (round to nearest), which then sits in the low bits of the sum's
// pattern: the pattern is 0x4338000000000000 + round(v), two's complement
// for negative values.  Subtracting it again gives round(v) as a double.
constexpr double round_shift = 0x1.8p52;  // 6755399441055744.0

// Clearing the low 27 bits of a normal pattern leaves 26 significant bits:
// the high half of a split whose two products with another such half are
// exact (Dekker's product without fused multiply-add).
constexpr std::uint64_t split_mask = ~std::uint64_t{0x7FFFFFF};

// The straight-line steps below (reductions, polynomials, exact sums and
// products) are templates over the value type V: double here, and the
// packs of the batch library, whose lane forms of these functions call the
// very same steps on whole vectors, so that every lane performs exactly
// the operations of the scalar code.  V needs +, - and * of two values and
// of a value with a double on either side; nothing else.

// The pattern of 2^e for a normal 2^e (e from -1022 to 1023).
inline std::uint64_t exponent_bits(std::int64_t e) noexcept { return static_cast<std::uint64_t>(e + 1023) << 52; }

// ---- exp ----------------------------------------------------------------
//
// x = k ln2/128 + r with k = round(x 128/ln2), |r| <= ln2/256 (0.00271 with
// the margin for the rounding of k), and
//
//   e^x = 2^(k >> 7) * 2^((k & 127)/128) * e^r
//       = scale * (1 + tail) * e^r,
//
// scale being the table's nearest double to 2^(j/128), j = k & 127, with
// the exponent raised by k >> 7.  With e^r ~ 1 + r + r^2 P(r),
//
//   e^x ~ scale + scale * tmp,  tmp = (tail + r) + r^2 P(r).
//
// Error budget, in ulps of the result: the final addition rounds once
// (0.5); scale * tmp, at most 0.0028 scale, rounds to within 2^-9 ulp; tmp
// carries the rounding of r (x - k step_hi is exact, subtracting k step_lo
// rounds by at most 2^-62), of tail + r (2^-62), of r^2 P (2^-70), the
// polynomial's error (2^-63.6 relative) and the neglected tail * r
// (2^-61.7): together below 2^-60, at most 2^-7 ulp where the result falls
// below scale's binade.  So at most about 0.51 ulp; measured 0.507.

// The reduction shared by exp, expm1 and pow: k, the table entry and the
// exponent bits of 2^(k >> 7).
struct exp_step {
  double kd;                 // k as a double
  std::uint64_t shift_bits;  // (k >> 7) << 52, two's complement
  const exp_entry* entry;    // 2^((k & 127)/128)
};

// x 128/ln2 + 1.5 2^52: k = round(x 128/ln2) in the low bits of the pattern.
// |x 128/ln2| < 2^18 for every caller, far inside |v| < 2^51.
template <class V> inline V exp_shifted(V x) noexcept { return x * exp_inv_step + round_shift; }

// r = x - k ln2/128, kd = k: the product with step_hi and the difference
// are exact; only the low product and its subtraction round.  pow adds its
// low part xlo before the low product.
template <class V> inline V exp_remainder(V x, V kd) noexcept { return (x - kd * exp_step_hi) - kd * exp_step_lo; }
template <class V> inline V exp_remainder(V x, V xlo, V kd) noexcept {
  return ((x - kd * exp_step_hi) + xlo) - kd * exp_step_lo;
}

inline exp_step exp_reduce(double x) noexcept {
  const double kd_shifted = exp_shifted(x);
  const std::uint64_t ki = bits(kd_shifted);  // 0x4338000000000000 + k
  // (ki >> 7) << 52 is (k >> 7) << 52 modulo 2^64: the constant part of ki
  // is a multiple of 2^51, so it leaves the word entirely.
  return {kd_shifted - round_shift, (ki >> 7) << 52, &exp_table[ki & 127]};
}

// (tail + r) + r^2 P(r), P's two halves side by side (Estrin's scheme: two
// multiply-add steps in the chain from r instead of four).
template <class V> inline V exp_tmp(V tail, V r) noexcept {
  const V r2 = r * r;
  return (tail + r) + (r2 * (exp_poly[0] + r * exp_poly[1]) + (r2 * r2) * (exp_poly[2] + r * exp_poly[3]));
}

// e^(x + xlo) for |x| >= 512 or NaN, |xlo| at most half an ulp of x (pow
// passes its low part, exp zero).  Results that overflow or fall into the subnormal range are
// formed from a normal intermediate and rounded once.
[[gnu::noinline]] inline double exp_large(double x, double xlo) noexcept {
  const std::uint64_t ax = bits(x) & ~sign_bit;
  if (ax > exponent_field) return x + x;  // NaN: quiet, sign and payload kept
  if (x > 0) {
    // Beyond the threshold (+infinity too) the result overflows.  pow's low
    // part can move the threshold by half an ulp of x: for such x the
    // rounded result below decides.
    if (x > (xlo == 0 ? exp_overflow_above : 709.79)) return infinity;
  } else if (x < exp_underflow_below) {
    return 0.0;  // below 2^-1075, -infinity too
  }
  const exp_step s = exp_reduce(x);
  const double r = exp_remainder(x, xlo, s.kd);
  const double tmp = exp_tmp(s.entry->tail, r);
  if (x > 0) {
    // 2^(k >> 7) reaches 2^1024: scale by half of it and double the rounded
    // result.  The doubling is exact, or overflows exactly when the true
    // value rounds beyond the largest double.
    const double scale = from_bits(bits(s.entry->hi) + s.shift_bits - (std::uint64_t{1} << 52));
    const double y = scale + scale * tmp;
    return y * 2.0;
  }
  // 2^(k >> 7) down to 2^-1077: scale by 2^1022 so that every step stays
  // normal; the result is y 2^-1022.
  const double scale = from_bits(bits(s.entry->hi) + s.shift_bits + (std::uint64_t{1022} << 52));
  const double t = scale * tmp;
  const double y = scale + t;
  // A normal result: the scaling is exact.
  if (y >= 1.0) return y * 0x1p-1022;
  // A subnormal result is a multiple of 2^-1074, y one of 2^-52: rounding
  // 1 + y to binary64 rounds y at exactly that spacing.  Round y together
  // with its own rounding error lo, once: h + l is 1 + y + lo to double
  // precision, and h + l rounds it.  The subtraction of 1 and the final
  // scaling are exact.
  const double lo = (scale - y) + t;  // Fast2Sum: scale >= |t|
  const double h = 1.0 + y;
  const double l = ((1.0 - h) + y) + lo;  // 1.0 - h is exact (Fast2Sum: 1 >= y)
  return ((h + l) - 1.0) * 0x1p-1022;
}

// ---- log ----------------------------------------------------------------
//
// x = 2^k z with z in [offset, 2 offset) ~ [0.708, 1.416).  The top eight
// fraction bits of pattern(x) - pattern(offset) pick one of 256 cells of
// z; the tables give the cell's centre c (at most 9 significant bits), 1/c
// rounded (invc), 1/c = invc_hi + invc_lo (invc_hi with 10 significant
// bits) and log c = log_c_hi + log_c_lo.  Then
//
//   log x = k ln2 + log c + log1p(r),  r = f/c,  f = z - c,  |r| <= 2^-9,
//
// f exact (z and c share their leading bits).  log1p(r) ~ r + r^2 P(r).
// The polynomial needs r only to within 2^-52 of itself, so it takes
// f invc, one product, off the chain of the exact parts.  Two ways of
// adding the parts, by the size of the result:
//
// log_core, the exact sum (log for k = -1, 0 and 1, pow, log1p beyond
// the centre, subnormal arguments): r in two parts, rhi = f invc_hi
// exactly (43 and 10 bits), rlo = f invc_lo rounded (below 2^-19, so within
// 2^-72); invc_hi + invc_lo is 1/c to within 2^-63 relative, which moves
// log1p(r) by less than 2^-72.  In the cell centred on 1, c = 1: rhi =
// z - 1 is all of r and log c = 0.
//
//   hi = k ln2_hi + log_c_hi     exact (multiples of 2^-42, |hi| < 2^10)
//   w  = hi + rhi, e1 its error  Fast2Sum: |hi| >= |rhi| whenever hi != 0
//   lo = (k ln2_lo + log_c_lo) + (e1 + rlo) + r^2 P(r)
//   log x = w + lo
//
// Error budget: the final addition rounds once (0.5 ulp).  Outside the
// centre cell |log x| >= 2^-9 while lo, a sum of terms below 2^-18, is
// within about 2^-70 of its exact value (r rounded to double changes
// r^2 P by 2^-72, the polynomial's error is 2^-69.8 absolute): under 2^-8
// ulp.  In the centre cell hi = 0, w = r exactly, lo = r^2 P(r) with P
// within 2^-60.8 relative and its evaluation within about 2^-52 of a term
// at most |r|/2^10 times the result: under 2^-7.5 ulp.  So about 0.51 ulp
// at most; measured 0.503.
//
// log_fast, log's main path, for |k| >= 2, where |log x| > 1.038 and a
// rounding of order 2^-62 is below 2^-10 ulp: r = f invc rounded (within
// 2^-61 of f/c: two roundings of 2^-53 relative, |r| <= 2^-9), and
//
//   log x = hi + ((r + lo) + r^2 P4(r)),  lo = k ln2_lo + log_c_lo,
//
// hi exact as above, P4 a polynomial of one degree less than P (2^-59.6
// absolute).  Error budget: the final rounding (0.5 ulp), r's error
// (2^-61), the roundings of the two inner sums (2^-62 each) and the
// polynomial's: 2^-58.8 at most, 2^-6.8 ulp of a result above 1.  So
// 0.51 ulp at most; the three checks and the product that the exact sum
// adds are saved on the arguments from 0.354 down and from 2.83 up.

// The arithmetic shift of a negative std::int64_t, which C++20 defines and
// every compiler of this library implements the same way.
static_assert((std::int64_t{-5} >> 1) == -3, "right shift of negative integers must be arithmetic");

template <class V> struct log_parts_of {
  V w;   // hi + rhi, rounded
  V lo;  // everything else: log x ~ w + lo
};
using log_parts = log_parts_of<double>;

// The cell of the positive normal value whose pattern is ix: its exponent
// k, z = x 2^-k, f = z - c (exact) and the table row.
struct log_cell {
  std::int64_t k;
  double f;
  std::uint64_t row;
};

inline log_cell log_reduce(std::uint64_t ix) noexcept {
  const std::uint64_t t = ix - log_offset;
  const double z = from_bits(ix - (t & 0xFFF0000000000000u));
  const std::uint64_t row = (t >> log_index_shift) % log_cells;
  return {static_cast<std::int64_t>(t) >> 52, z - log_table[row].c, row};
}

// acc + r^2 P(r), P of log_core (five terms), in Estrin's form, its two
// halves added to acc one after the other: the chain from r is three
// products and three sums.
template <class V> inline V log_poly_r2(V acc, V r, V r2) noexcept {
  return (acc + r2 * (log_poly[0] + r * log_poly[1])) +
         (r2 * r2) * ((log_poly[2] + r * log_poly[3]) + r2 * log_poly[4]);
}

// log of the positive normal value whose pattern is ix, times 2^k_offset,
// as w + lo.  With with_error, z_error is added to f first (log1p passes
// the rounding error of 1 + x in z's units); without it nothing is added
// (not even +0, which would cost an operation, since v + 0.0 is not v for
// v = -0).
//
// Its arithmetic, shared with the lane forms: log_core_reduce, r in its
// parts from f and the table row's entries, and log_core_sum, the sum from
// r's parts, kd = k + k_offset and log c.
template <class V> struct log_r_parts { V rhi, rlo, r; };

template <bool with_error, class V>
inline log_r_parts<V> log_core_reduce(V f, V invc, V invc_hi, V invc_lo, V z_error) noexcept {
  const V rhi = f * invc_hi;  // exact
  V rlo = f * invc_lo;
  if constexpr (with_error) {
    rlo = rlo + z_error * invc;
    f = f + z_error;
  }
  return {rhi, rlo, f * invc};
}

template <class V> inline log_parts_of<V> log_core_sum(V rhi, V rlo, V r, V kd, V log_c_hi, V log_c_lo) noexcept {
  const V hi = kd * log_ln2_hi + log_c_hi;  // exact
  const V w = hi + rhi;
  const V e1 = (hi - w) + rhi;  // exact (Fast2Sum)
  const V lo = log_poly_r2((kd * log_ln2_lo + log_c_lo) + (e1 + rlo), r, r * r);
  return {w, lo};
}

template <bool with_error = false>
inline log_parts log_core(std::uint64_t ix, std::int64_t k_offset, double z_error = 0.0) noexcept {
  const log_cell cell = log_reduce(ix);
  const log_entry& c = log_table[cell.row];
  const log_split& s = log_invc_split[cell.row];
  const log_r_parts<double> r = log_core_reduce<with_error>(cell.f, c.invc, s.invc_hi, s.invc_lo, z_error);
  const double kd = static_cast<double>(cell.k + k_offset);
  return log_core_sum(r.rhi, r.rlo, r.r, kd, c.log_c_hi, c.log_c_lo);
}

// log x for the positive normal x whose pattern is ix, where k is neither
// -1, 0 nor 1 (see log_fast above); log_fast_sum is its arithmetic, from
// r = f invc, kd = k and log c.
template <class V> inline V log_fast_sum(V r, V kd, V log_c_hi, V log_c_lo) noexcept {
  const V hi = kd * log_ln2_hi + log_c_hi;  // exact
  const V lo = kd * log_ln2_lo + log_c_lo;
  const V r2 = r * r;
  const V p = r2 * (log_fast_poly[0] + r * log_fast_poly[1]) + (r2 * r2) * (log_fast_poly[2] + r * log_fast_poly[3]);
  return hi + ((r + lo) + p);
}

inline double log_fast(std::uint64_t ix) noexcept {
  const log_cell cell = log_reduce(ix);
  const log_entry& c = log_table[cell.row];
  const double r = cell.f * c.invc;
  return log_fast_sum(r, static_cast<double>(cell.k), c.log_c_hi, c.log_c_lo);
}

[[gnu::noinline]] inline double log_special(double x) noexcept {
  const std::uint64_t ix = bits(x);
  const std::uint64_t ax = ix & ~sign_bit;
  if (ax > exponent_field) return x + x;                // NaN: quiet, sign and payload kept
  if (ax == 0) return -infinity;                        // log(+-0)
  if (ix & sign_bit) return from_bits(quiet_nan_bits);  // x < 0, -infinity too
  if (ix == exponent_field) return x;                   // log(+infinity)
  // Subnormal: scale by 2^52 (exact) into the normal range.
  const log_parts l = log_core(bits(x * 0x1p52), -52);
  return l.w + l.lo;
}

// ---- pow: the exponential of a double-double ----------------------------

// e^(x + xlo), |xlo| at most half an ulp of x, for x below 708 (no
// overflow on this path) or anything else (exp_large).
inline double exp_dd(double x, double xlo) noexcept {
  if (!(x < 708.0)) return exp_large(x, xlo);
  const exp_step s = exp_reduce(x);
  const double r = exp_remainder(x, xlo, s.kd);
  const double scale = from_bits(bits(s.entry->hi) + s.shift_bits);
  const double tmp = exp_tmp(s.entry->tail, r);
  return scale + scale * tmp;
}

// ---- expm1 and log1p ----------------------------------------------------

// e^x - 1 for 2^-54 <= |x| < 0.35, directly:
//
//   e^x - 1 = x + x^2/2 + x^3 P(x),
//
// with x + x^2/2 kept exact to within 2^-80 relative: x = xh + xl (xh the
// high 26 bits), x^2/2 = hh + hl with hh = xh^2/2 exact and hl = xl (x +
// xh)/2, and s + e = x + hh by Fast2Sum (|x| > hh).  The rest, x^3 P(x),
// is at most 0.022 of the result (at x = -0.35) and carries a few roundings
// of its own (x^2, x^3, P, the product: at most 4 units of 2^-53 relative),
// so the result, s + (e + hl + x^3 P) rounded once, is within 0.5 + 0.09
// ulp in the worst case and typically less; measured 0.543 (at 0.324).
//
// expm1_small_sum is its arithmetic, given xh.
template <class V> inline V expm1_small_sum(V x, V xh) noexcept {
  const V xl = x - xh;
  const V hh = (0.5 * xh) * xh;        // exact
  const V hl = (0.5 * xl) * (x + xh);  // x^2/2 - hh, to within 2^-52 of itself
  const V s = x + hh;
  const V e = hh - (s - x);  // exact (Fast2Sum)
  const V x2 = x * x;
  const V x4 = x2 * x2;
  const V p =
      ((expm1_small_poly[0] + x * expm1_small_poly[1]) + x2 * (expm1_small_poly[2] + x * expm1_small_poly[3])) +
      x4 * (((expm1_small_poly[4] + x * expm1_small_poly[5]) + x2 * (expm1_small_poly[6] + x * expm1_small_poly[7])) +
            x4 * (expm1_small_poly[8] + x * expm1_small_poly[9]));
  return s + ((e + hl) + (x2 * x) * p);
}

inline double expm1_small(double x) noexcept { return expm1_small_sum(x, from_bits(bits(x) & split_mask)); }

// The table path of expm1 (see expm1 below): expm1_q, q = tail (1 + r) +
// r^2 P(r), and expm1_sum, the final sum from scale - 1 = a + ea and
// scale rhi = u + eu (both exact).
template <class V> inline V expm1_q(V tail, V r) noexcept {
  const V r2 = r * r;
  const V p =
      ((expm1_poly[0] + r * expm1_poly[1]) + r2 * (expm1_poly[2] + r * expm1_poly[3])) + (r2 * r2) * expm1_poly[4];
  return tail + (tail * r + r2 * p);
}

template <class V> inline V expm1_sum(V a, V ea, V u, V eu, V scale, V rlo, V q) noexcept {
  const V w = a + u;
  const V ew = u - (w - a);  // exact (Fast2Sum)
  return w + (((ew + eu) + ea) + scale * (rlo + q));
}

// The error of the product p = a b rounded, exactly (Dekker's product
// without fused multiply-add), from a = ah + al and b = bh + bl split into
// 26-bit high halves and the rest: every partial product is exact, and so
// is every sum but the last.
template <class V> inline V product_error(V ah, V al, V bh, V bl, V p) noexcept {
  return (((ah * bh - p) + ah * bl) + al * bh) + al * bl;
}

[[gnu::noinline]] inline double expm1_special(double x) noexcept {
  const std::uint64_t ax = bits(x) & ~sign_bit;
  if (ax > exponent_field) return x + x;  // NaN: quiet, sign and payload kept
  // |x| < 2^-54: e^x - 1 = x (1 + x/2 + ...) rounds to x; zeros keep their
  // sign and subnormals come back without a report, as in glibc.
  if (ax < bits(0x1p-54)) return x;
  // x <= -512, -infinity too: e^x < 2^-738, and -1 + e^x rounds to -1.
  if (x < 0) return -1.0;
  if (x > exp_overflow_above) {
    if (ax == exponent_field) return x;  // +infinity, no report
    policies::detail::store_errno(ERANGE);
    return infinity;
  }
  // 512 <= x <= 709.78: e^x - 1 rounds as e^x does (1 is below 2^-738 of it).
  return exp_large(x, 0.0);
}

// log1p for |x| < 2^-30 (see log1p_special).
template <class V> inline V log1p_tiny(V x) noexcept { return x - (0.5 * x) * x; }

[[gnu::noinline]] inline double log1p_special(double x) noexcept {
  const std::uint64_t ix = bits(x);
  const std::uint64_t ax = ix & ~sign_bit;
  if (ax > exponent_field) return x + x;  // NaN: quiet, sign and payload kept
  if (ix == exponent_field) return x;     // +infinity
  if (x == -1.0) {
    policies::detail::store_errno(ERANGE);
    return -infinity;
  }
  if (x < -1.0) {  // -infinity too
    policies::detail::store_errno(EDOM);
    return from_bits(quiet_nan_bits);
  }
  // |x| < 2^-30: log1p(x) = x - x^2/2 + x^3/3 - ..., and x^3/3 is below
  // 2^-61.6 |x| (0.003 ulp).  Zeros keep their sign (x - (+0)), subnormals
  // come back unchanged and without a report (x^2 is 0), as in glibc.
  return log1p_tiny(x);
}

// log1p for x in [-0.292, 0.416), given t = pattern(1 + x) - pattern(offset)
// (so k = 0 and z = u = 1 + x rounded).  f = (1 - c) + x is exact: 1 - c
// is (Sterbenz), and the sum is a multiple of the last place of x, below
// half a cell plus 2^-53 in magnitude.  Where x >= 2^-9 or x < -2^-10 that
// last place is at least 2^-62 and the cells reach at most 2^-9 + 2^-53
// above 1 (2^-10 below) from their centres: 53 bits suffice.  Between, u
// lies in the centre cell, c = 1 and f = x, except when 1 + x rounds up to
// 1 + 2^-9 (log1p_inexact_at), which the caller sends elsewhere.
//
// f itself may have 53 significant bits, so f/c is not split as in
// log_core; instead f/c = f + f delta, delta = 1/c - 1 (the table's, to
// 2^-53 relative):
//
//   w = log_c_hi + f, e1 its error    Fast2Sum (|log_c_hi| > 1.99 |f|)
//   lo = ((log_c_lo + e1) + f delta) + r^2 P(r),  r = f invc
//   log1p(x) = w + lo
//
// Error budget: the final rounding (0.5 ulp); f delta and its sum with
// the rest round with 2^-53 of |f delta| each, where |f delta| <= 2^-9
// |1 - c|/c and the result is at least half of |log c| (1.99 |f|): about
// 3 2^-9 ulp at most, in the cells next to the centre cell; the
// polynomial's 2^-60.8 relative (2^-7.8 ulp) where c = 1, delta = 0 and the
// result is x + r^2 P(r).  So about 0.51 ulp at most.
//
// log1p_near_one_sum is its arithmetic, from the row's entries.
template <class V> inline V log1p_near_one_sum(V x, V c, V invc, V log_c_hi, V log_c_lo, V delta) noexcept {
  const V f = (1.0 - c) + x;  // exact
  const V w = log_c_hi + f;
  const V e1 = (log_c_hi - w) + f;  // exact (Fast2Sum)
  const V fd = f * delta;
  const V r = f * invc;  // for the polynomial (see log_core)
  return w + log_poly_r2((log_c_lo + e1) + fd, r, r * r);
}

inline double log1p_near_one(double x, std::uint64_t t) noexcept {
  const std::uint64_t row = t >> log_index_shift;  // t < 2^52
  const log_entry& e = log_table[row];
  return log1p_near_one_sum(x, e.c, e.invc, e.log_c_hi, e.log_c_lo, log_delta[row]);
}

// 1 + x - u exactly, u = 1 + x rounded (Knuth's TwoSum).
template <class V> inline V one_plus_error(V x, V u) noexcept {
  const V xp = u - 1.0;
  const V one_p = u - xp;
  return (1.0 - one_p) + (x - xp);
}

// log1p for x > -1 beyond 2^-30 in magnitude, through the rounding error
// of 1 + x (see log1p); taken where k != 0 and at the one point that
// log1p_near_one leaves out.
inline double log1p_wide(double x) noexcept {
  const double u = 1.0 + x;
  const double c = one_plus_error(x, u);
  const std::uint64_t iu = bits(u);
  // c 2^-k, with k = the exponent that log_core will take out of u.  From
  // k = 1000 on (u above 2^999) c 2^-k is far below the last bit of any
  // term and its scale is left at 2^-1000 (2^-1024 would be subnormal).
  const std::int64_t k = static_cast<std::int64_t>(iu - log_offset) >> 52;
  const double c_scaled = c * from_bits(exponent_bits(-(k < 1000 ? k : 1000)));
  const log_parts l = log_core<true>(iu, 0, c_scaled);
  return l.w + l.lo;
}

// The steps of sin (below): x + x^3 P(x^2) for 2^-26 <= x < 0.25; the
// split x = a + d, a = j/64 with j = round(64 x) (x * 64 is exact; d is
// exact too: both are multiples of 2^-54, |d| <= 2^-7); and the sum from
// the table's row for j.
template <class V> inline V sin_small(V x) noexcept {
  const V x2 = x * x;
  const V x4 = x2 * x2;
  const V p = (sin_small_poly[0] + x2 * sin_small_poly[1]) +
              x4 * ((sin_small_poly[2] + x2 * sin_small_poly[3]) + x4 * sin_small_poly[4]);
  return x + (x * x2) * p;
}

template <class V> inline V sin_shifted(V x) noexcept { return x * 64.0 + round_shift; }
template <class V> inline V sin_remainder(V x, V j_shifted) noexcept { return x - (j_shifted - round_shift) * 0x1p-6; }

template <class V> inline V sin_table_sum(V d, V sin_hi, V sin_lo, V cos_hi, V cos_lo) noexcept {
  const V d2 = d * d;
  const V sin_d = (d2 * d) * (sin_d_poly[0] + d2 * sin_d_poly[1]);                   // sin d - d
  const V cos_d = d2 * (cos_d_poly[0] + d2 * (cos_d_poly[1] + d2 * cos_d_poly[2]));  // cos d - 1
  const V t = cos_hi * d;
  const V w = sin_hi + t;
  const V err = (sin_hi - w) + t;  // exact (Fast2Sum)
  const V lo = (err + (sin_lo + cos_lo * d)) + (sin_hi * cos_d + cos_hi * sin_d);
  return w + lo;
}

// The binary64 arithmetic of the float members expm1 and log1p (below),
// from the reduced argument r and the table's values.
template <class V> inline V expm1f_sum(V r, V scale) noexcept {
  const V tmp = r + (r * r) * (expm1f_poly[0] + r * (expm1f_poly[1] + r * expm1f_poly[2]));
  return (scale - 1.0) + scale * tmp;
}

template <class V> inline V log1pf_sum(V r, V kd, V log_c_hi, V log_c_lo) noexcept {
  const V hi = kd * log_ln2_hi + log_c_hi;  // exact
  const V p = log1pf_poly[0] + r * (log1pf_poly[1] + r * log1pf_poly[2]);
  return (hi + r) + ((r * r) * p + (kd * log_ln2_lo + log_c_lo));
}

}  // namespace detail

// e^x for every double x.  Overflow (x > 709.782712893384) gives +infinity,
// arguments below -745.1332191019411 give +0, and in between subnormal
// results are rounded once from a normal intermediate.  A NaN comes back
// quiet with its sign and payload.  Never touches errno.
inline double exp(double x) noexcept {
  using namespace detail;
  const std::uint64_t ix = bits(x);
  // Below 512 in magnitude the result is normal and finite (2^(k >> 7)
  // stays within 2^-739 .. 2^739); the rest, NaN and infinities included,
  // take exp_large.
  if ((ix & ~sign_bit) >= bits(512.0)) return exp_large(x, 0.0);
  const exp_step s = exp_reduce(x);
  const double r = exp_remainder(x, s.kd);
  const double scale = from_bits(bits(s.entry->hi) + s.shift_bits);
  const double tmp = exp_tmp(s.entry->tail, r);
  return scale + scale * tmp;
}

// ln x for every double x: log(+-0) = -infinity, log(x < 0) = the quiet NaN
// 0x7FF8000000000000 (-infinity too), log(+infinity) = +infinity, a NaN
// comes back quiet with its sign and payload; subnormal arguments are
// scaled by 2^52 first, so they are as accurate as normal ones.  Never
// touches errno.
inline double log(double x) noexcept {
  using namespace detail;
  const std::uint64_t ix = bits(x);
  // Positive normal x: the pattern lies in [2^-1022, +infinity).
  constexpr std::uint64_t smallest_normal = 0x0010000000000000u;
  if (ix - smallest_normal >= exponent_field - smallest_normal) return log_special(x);
  // k = -1, 0 or 1 (x from 0.354 to 2.83): the exact sum; pattern(x) -
  // pattern(offset) lies in [-2^52, 2^53) just then.
  if (ix - (log_offset - (std::uint64_t{1} << 52)) < (std::uint64_t{3} << 52)) {
    const log_parts l = log_core(ix, 0);
    return l.w + l.lo;
  }
  return log_fast(ix);
}

// x^y on the domain of the gamma function's Lanczos power: x = z + g - 1/2
// with g = 6.024680040776729583740234375 and z from 2^-26 to about 255, so
// x in [5.5, 261], and y = z - 1/2 or z/2 - 1/4, so y in [-0.5, 142].  A
// NaN x or y gives a NaN; other arguments are asserted to lie in that box.
// Where x^y exceeds the largest double (from about y log x = 709.78) the
// result is +infinity, with no report.  Never touches errno.
//
// x^y = e^(y log x), with log x as a double-double w + lo to about 2^-70
// relative (the log above, whose parts are all kept; log x >= 1.7 here), y w
// split exactly into A + a (Dekker's product from 26-bit halves), and
// e^(A + a + y lo) by exp's reduction with the low part added to r.  An
// absolute error d in y log x becomes a relative error d in the result:
// y log x <= 791, so the log's error costs at most 2^-60 relative (0.01
// ulp).  Error budget: exp's 0.51 ulp plus about 0.01; measured 0.509.
inline double pow(double x, double y) noexcept {
  using namespace detail;
  const std::uint64_t ax = bits(x) & ~sign_bit;
  const std::uint64_t ay = bits(y) & ~sign_bit;
  if (ax > exponent_field || ay > exponent_field) return x + y;  // a NaN: quiet, payload kept
  assert(x >= 5.5 && x <= 261.0 && y >= -0.5 && y <= 142.0);
  const log_parts l = log_core(bits(x), 0);  // x normal: k >= 2, so |hi| > 1
  // y w = A + a exactly: w and y split into 26-bit high halves and the rest;
  // every partial product but the last is exact.
  const double yh = from_bits(bits(y) & split_mask);
  const double yl = y - yh;
  const double wh = from_bits(bits(l.w) & split_mask);
  const double wl = l.w - wh;
  const double a_hi = y * l.w;
  const double a_err = product_error(yh, yl, wh, wl, a_hi);
  // y lo reaches 2^-10.8 (lo holds r^2 P and f invc_lo, each up to
  // 2^-19): fold it into the high part, so that exp's reduction, which
  // rounds the high part alone, keeps |r| within the polynomial's interval.
  // Fast2Sum: |a_lo| is below 2^-18 |a_hi|, since |w| > 1.7 and |lo| <
  // 2^-18.
  const double a_lo = a_err + y * l.lo;
  const double a = a_hi + a_lo;
  return exp_dd(a, a_lo - (a - a_hi));
}

// sin x for x in [0, pi/2] (up to the double nearest pi/2), the range the
// gamma functions' reflection passes (sin(d pi) with d in [0, 0.5], d pi
// rounded); -0 gives -0.  Asserted in Debug builds.  Never touches errno.
//
// Below 0.25: sin x = x + x^3 P(x^2), the correction at most x^2/6 < 2^-6.5
// of the result, so its rounding adds under 0.02 ulp to the final 0.5.
// From 0.25 on: x = a + d with a = j/64 (j = round(64 x)), d = x - a exact
// (|d| <= 1/128), and
//
//   sin x = sin a + cos a d + [sin a (cos d - 1) + cos a (sin d - d)],
//
// sin a and cos a from the table as hi + lo.  sin_hi + cos_hi d is added as
// a Fast2Sum (sin_hi >= 0.247 > |cos_hi d|), so only the rounding of the
// product cos_hi d (at most 2^-6 ulp of the result) and the small terms'
// roundings (2^-68) come on top of the final 0.5 ulp.  Measured 0.530, just
// below 0.25, where the polynomial's correction is largest.
inline double sin(double x) noexcept {
  using namespace detail;
  assert(x >= 0.0 && x <= 0x1.921fb54442d18p+0);  // 1.5707963267948966, pi/2 rounded
  if (x < 0.25) {
    // Below 2^-26, x^3/6 < 2^-54.6 x and sin x rounds to x; -0 stays -0.
    if (x < 0x1p-26) return x;
    return sin_small(x);
  }
  const double j_shifted = sin_shifted(x);
  const double d = sin_remainder(x, j_shifted);
  // The row of j; clamped so that no argument, even outside the domain
  // (a NaN), reads past the table.
  std::uint64_t row = (bits(j_shifted) - bits(round_shift)) - sin_first_row;
  row = row < sin_last_row - sin_first_row ? row : sin_last_row - sin_first_row;
  const sin_entry& e = sin_table[row];
  return sin_table_sum(d, e.sin_hi, e.sin_lo, e.cos_hi, e.cos_lo);
}

// e^x - 1 for every double x.
//
// Behaviour, the same everywhere and as measured of glibc 2.36's expm1 on
// x86-64: +-0 and |x| < 2^-54 (subnormals too) come back unchanged without
// errno; x > 709.782712893384 gives +infinity and ERANGE; +infinity gives
// +infinity, -infinity gives -1, a NaN comes back quiet with its sign and
// payload, none of them touching errno; large negative x give -1 quietly.
//
// Algorithm: below 0.35 in magnitude, x + x^2/2 + x^3 P(x) with the first
// two terms exact (expm1_small).  From there to 512, exp's reduction,
// e^x = scale (1 + tail) e^r with r = rhi + rlo (rhi = x - k step_hi
// exact, rlo = -k step_lo), and
//
//   e^x - 1 = (scale - 1) + scale rhi + scale (rlo + q),
//   q = tail (1 + r) + r^2 P(r)  (~ (1 + tail) e^r - 1 - r),
//
// each of the first two terms formed exactly as a double-double: scale - 1
// = a + ea (exact when scale lies in [0.5, 2], otherwise a Fast2Sum with 1
// or -1 as the larger term), scale rhi = u + eu (Dekker's product from
// 26-bit halves).  a + u is a Fast2Sum (|a| >= |u| whenever k != 0; for
// k = 0, a = 0 and the sum is u).  The result w + (ew + eu + ea + scale
// (rlo + q)) then rounds once; every term in the parentheses is below
// 2^-8 of the result and carries at most 2^-60 relative error, so the
// error stays within about 0.51 ulp even where scale - 1 and scale r
// nearly cancel.  Measured: 0.543 overall, 0.505 on the table path.
inline double expm1(double x) noexcept {
  using namespace detail;
  const std::uint64_t ax = bits(x) & ~sign_bit;
  // 2^-54 <= |x| < 0.35: expm1_small; the rest of |x| < 512: the table
  // (below); NaN, infinities, tiny and large arguments: expm1_special.
  if (ax - bits(0x1p-54) < bits(0.35) - bits(0x1p-54)) return expm1_small(x);
  if (ax - bits(0x1p-54) >= bits(512.0) - bits(0x1p-54)) return expm1_special(x);
  const exp_step s = exp_reduce(x);
  const double rhi = x - s.kd * exp_step_hi;  // exact
  const double rlo = s.kd * -exp_step_lo;
  const double scale = from_bits(bits(s.entry->hi) + s.shift_bits);
  const double q = expm1_q(s.entry->tail, rhi + rlo);
  // scale rhi = u + eu exactly.
  const double sh = from_bits(bits(scale) & split_mask);
  const double sl = scale - sh;
  const double rh = from_bits(bits(rhi) & split_mask);
  const double rl = rhi - rh;
  const double u = scale * rhi;
  const double eu = product_error(sh, sl, rh, rl, u);
  // scale - 1 = a + ea exactly: for scale >= 1 (k >= 0) 1 is the smaller
  // term, below 1 the larger.
  const double a = scale - 1.0;
  const double ea = x >= 0 ? (scale - a) - 1.0 : scale - (a + 1.0);
  return expm1_sum(a, ea, u, eu, scale, rlo, q);
}

// ln(1 + x) for every double x.
//
// Behaviour, the same everywhere and as measured of glibc 2.36's log1p on
// x86-64: x = -1 gives -infinity with ERANGE; x < -1 (-infinity too) gives
// a NaN with EDOM (glibc's is the negative default NaN 0xFFF8000000000000;
// here it is the library's quiet NaN 0x7FF8000000000000, as from every
// other domain error); +infinity gives +infinity, a NaN comes back quiet
// with its sign and payload, +-0 and subnormals come back unchanged, none
// of them touching errno.
//
// Algorithm: log's reduction of u = 1 + x rounded (k, the cell, its centre
// c).  Where k = 0 (x in [-0.292, 0.416)), f = (1 - c) + x is exact and
// is the reduced argument itself (log1p_near_one).  Elsewhere the rounding
// error of 1 + x, e = 1 + x - u, is found exactly (Knuth's TwoSum) and
// added to f in z's units, e 2^-k (log1p_wide).  The exact decomposition
// and the final single rounding are those of log (above); e enters r's low
// part before the polynomial, so it is not a first-order term that the
// polynomial ignores.  Below 2^-30 in magnitude the two-term series is
// within 2^-61.6 relative (near 2^-52 the rounding of the sum of e and
// r^2 P, both just below the result's last bit, would cost up to a
// quarter ulp).  Measured 0.504.
inline double log1p(double x) noexcept {
  using namespace detail;
  const std::uint64_t ix = bits(x);
  const std::uint64_t ax = ix & ~sign_bit;
  // Fast path: 2^-30 <= |x| < +infinity and x > -1 (patterns of negative
  // values from -1 down lie at or above that of -1).
  if (ax - bits(0x1p-30) >= exponent_field - bits(0x1p-30) || ix >= bits(-1.0)) return log1p_special(x);
  const std::uint64_t t = bits(1.0 + x) - log_offset;
  // k = 0, 1 + x in [0.708, 1.416): the direct reduction, except where 1 + x
  // rounds up to 1 + 2^-9, the lower end of the cell above the centre cell:
  // there x may lie just below 2^-9, with its last place at 2^-62, and
  // f ~ -2^-9 would need 54 bits (see log1p_near_one).
  if ((t >> 52) == 0 && t != bits(log1p_inexact_at) - log_offset) return log1p_near_one(x, t);
  return log1p_wide(x);
}

// e^x - 1 for every float x, through binary64 and one final rounding.
//
// Behaviour, as measured of glibc 2.36's expm1f: +-0 and |x| < 2^-25
// (subnormals too) come back unchanged without errno; x above
// 88.72283172607422 gives +infinity with ERANGE; +infinity gives
// +infinity, -infinity and x below -88.72 give -1, a NaN comes back quiet
// with its sign and payload, none of them touching errno.
//
// The binary64 value (scale - 1) + scale tmp, with exp's table and a
// shorter polynomial, is within 2^-43 relative of e^x - 1 (each term's
// rounding is at most 2^-53 of a value no more than about 370 times the
// result), so the float result is within 0.5 + 2^-19 float ulp.
inline float expm1(float x) noexcept {
  using namespace detail;
  const std::uint32_t ax = word32::to_bits(x) & 0x7FFFFFFFu;
  const std::uint32_t tiny = word32::to_bits(0x1p-25f);
  // Fast path: 2^-25 <= |x| <= 88.72283172607422; the rest, NaN and
  // infinities included, below.
  if (ax - tiny > word32::to_bits(expm1f_overflow_above) - tiny) {
    if (ax > 0x7F800000u) return x + x;  // NaN
    if (ax < tiny) return x;             // e^x - 1 = x (1 + x/2 + ...) rounds to x
    if (x < 0) return -1.0f;             // below -88.72: -1 + e^x rounds to -1
    if (ax == 0x7F800000u) return x;     // +infinity
    policies::detail::store_errno(ERANGE);
    return static_cast<float>(infinity);
  }
  const double xd = x;
  const exp_step s = exp_reduce(xd);
  const double r = exp_remainder(xd, s.kd);
  const double scale = from_bits(bits(s.entry->hi) + s.shift_bits);
  return static_cast<float>(expm1f_sum(r, scale));
}

// ln(1 + x) for every float x, through binary64 and one final rounding.
//
// Behaviour, as measured of glibc 2.36's log1pf: x = -1 gives -infinity
// with ERANGE; x < -1 (-infinity too) gives a NaN with EDOM (glibc's is
// the negative default NaN 0xFFC00000, here the library's 0x7FC00000);
// +infinity gives +infinity, a NaN comes back quiet with its sign and
// payload, +-0 and |x| < 2^-25 (subnormals too) come back unchanged, none
// of them touching errno.
//
// 1 + x is exact in binary64 for every float from 2^-25 on (the bits of x
// and of 1 span at most 49 places) below 2^53; above, the lost 1 changes
// ln x by less than 2^-58 relative.  log's reduction with r = f invc
// rounded (exact in the centre cell, within 2^-61 elsewhere, where |log x|
// >= 2^-9) and a shorter polynomial (2^-40.3 relative) gives the binary64
// value within about 2^-40 relative, so the float result is within 0.5 +
// 2^-16 float ulp.
inline float log1p(float x) noexcept {
  using namespace detail;
  const std::uint32_t ix = word32::to_bits(x);
  const std::uint32_t ax = ix & 0x7FFFFFFFu;
  const std::uint32_t tiny = word32::to_bits(0x1p-25f);
  // Fast path: 2^-25 <= |x| < +infinity and x > -1.
  if (ax - tiny >= 0x7F800000u - tiny || ix >= 0xBF800000u) {
    if (ax > 0x7F800000u) return x + x;  // NaN
    if (ix == 0x7F800000u) return x;     // +infinity
    if (x == -1.0f) {
      policies::detail::store_errno(ERANGE);
      return -static_cast<float>(infinity);
    }
    if (x < -1.0f) {  // -infinity too
      policies::detail::store_errno(EDOM);
      return word32::from_bits(0x7FC00000u);
    }
    return x;  // |x| < 2^-25: ln(1 + x) = x (1 - x/2 + ...) rounds to x
  }
  const log_cell cell = log_reduce(bits(1.0 + static_cast<double>(x)));
  const log_entry& c = log_table[cell.row];
  const double r = cell.f * c.invc;
  return static_cast<float>(log1pf_sum(r, static_cast<double>(cell.k), c.log_c_hi, c.log_c_lo));
}

}  // namespace varnel::math::elementary::portable

#endif
