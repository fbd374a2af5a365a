#!/usr/bin/env python3
"""Generates include/varnel/math/elementary/portable_tables.generated.hpp,
the tables and polynomial coefficients of the library's own exp, log, pow,
sin, expm1 and log1p (elementary/portable.hpp).

usage:
    python3 scripts/elementary_tables.py > include/varnel/math/elementary/portable_tables.generated.hpp
    python3 scripts/elementary_tables.py --check HEADER    # exit 1 unless HEADER is what this prints

Needs mpmath only.  The output is deterministic: the same text on every run
and machine (mpmath works at a fixed 60 decimal digits, every fit starts
from the same reference points, and every decimal is Python's repr).

What it computes, all at 60 digits and rounded once to binary64 at the end:

  - 2^(j/128), j = 0..127, as the nearest double and the relative rest;
  - the 256 cells of the logarithm's reduction: each centre c, 1/c
    rounded, 1/c as a 10-bit high part and the rest, 1/c - 1 rounded,
    and log c as a high part (a multiple of 2^-42) and a low part;
  - sin and cos of j/64 for j = 16..101, each as the nearest double and the
    rest;
  - the polynomials: each approximates the part of a function beyond its
    leading terms, divided by their order (e.g. (e^r - 1 - r)/r^2), by a
    minimax fit on the stated interval with the Remez exchange (the extrema
    of each iterate's error are located on a grid of 4000 points and
    refined by golden-section search; the fit itself is unweighted, since a
    weight such as r^2 would vanish inside the interval), and then every
    coefficient is rounded to the nearest double.

"Measured max error" in each comment is the error of the polynomial with
the rounded (double) coefficients, evaluated exactly at 60 digits, over
20001 evenly spaced points of the interval plus the extrema found by the
fit, under the weight that matters to its caller (absolute, or relative to
the function's value, as each comment says); it is the approximation error
alone, before any rounding of the evaluation in binary64.  The evaluation's own rounding errors are bounded
in the comments of elementary.hpp and measured by tests/elementary.
"""
import sys

import mpmath
from mpmath import mp, mpf

mp.dps = 60

# --------------------------------------------------------------------------
# Formatting


def hex_literal(v):
    """C hex literal of a double, as printf's %a writes it (no trailing
    zeros in the fraction)."""
    v = float(v)
    if v == 0:
        return "0x0p+0" if str(v)[0] != "-" else "-0x0p+0"
    h = v.hex()  # e.g. '0x1.55bb50429b6d0p-4'
    sign = ""
    if h[0] == "-":
        sign, h = "-", h[1:]
    mant, exp = h[2:].split("p")
    if "." in mant:
        mant = mant.rstrip("0").rstrip(".")
    e = int(exp)
    return "%s0x%sp%s%d" % (sign, mant, "+" if e >= 0 else "-", abs(e))


def line(v, indent="    ", tail=","):
    lit = hex_literal(v) + tail
    return "%s%-26s// %r" % (indent, lit, float(v))


def rnd(v):
    """The double nearest to the mpf v (ties to even)."""
    return float(mpf(v))


def log2_of(v):
    v = abs(mpf(v))
    return float(mpmath.log(v, 2)) if v != 0 else float("-inf")


def significant_bits(v):
    m, e = mpmath.frexp(mpf(v))
    n = 0
    m = abs(m)
    while m != int(m):
        m *= 2
        n += 1
    return n


def round_to_bits(v, bits):
    """v rounded to nearest with `bits` significant bits (a double)."""
    v = mpf(v)
    m, e = mpmath.frexp(v)  # v = m 2^e, 0.5 <= |m| < 1
    scaled = m * mpf(2) ** bits
    return float(mpmath.nint(scaled) * mpf(2) ** (e - bits))


def round_to_multiple(v, quantum):
    return float(mpmath.nint(mpf(v) / quantum) * quantum)


# --------------------------------------------------------------------------
# Remez exchange for a weighted polynomial fit:
#   minimise max |w(x) (f(x) - sum_i c_i x^(p_i))| over [a, b]
# with the powers p_i given (consecutive or every other one).


def remez(f, w, powers, a, b, iterations=30, grid=4000):
    a, b = mpf(a), mpf(b)
    n = len(powers)

    def err(cs, x):
        return w(x) * (f(x) - sum(c * x ** p for c, p in zip(cs, powers)))

    # Reference: the n + 1 extrema of the Chebyshev polynomial of degree n,
    # mapped to [a, b].
    ref = [(a + b) / 2 - (b - a) / 2 * mpmath.cos(mpmath.pi * k / n) for k in range(n + 1)]
    # A weight that vanishes at a point (r^2 at r = 0) leaves that point out
    # of every reference: nudge it aside.
    xs = [a + (b - a) * k / grid for k in range(grid + 1)]
    cs = None
    level = None
    for _ in range(iterations):
        # Solve sum c_i x_k^p_i + (-1)^k E / w(x_k) = f(x_k).
        m = mpmath.matrix(n + 1, n + 1)
        rhs = mpmath.matrix(n + 1, 1)
        for k, x in enumerate(ref):
            for i, p in enumerate(powers):
                m[k, i] = x ** p
            m[k, n] = (-1) ** k / w(x)
            rhs[k] = f(x)
        sol = mpmath.lu_solve(m, rhs)
        cs = [sol[i] for i in range(n)]
        level = abs(sol[n])
        # Extrema of the error: sign changes split the grid into runs; the
        # largest |error| of each run, refined, is one candidate.
        vals = [err(cs, x) for x in xs]
        runs = []
        start = 0
        for k in range(1, len(xs) + 1):
            if k == len(xs) or (vals[k] > 0) != (vals[start] > 0):
                best = max(range(start, k), key=lambda q: abs(vals[q]))
                runs.append(best)
                start = k
        cand = []
        for q in runs:
            lo = xs[max(q - 1, 0)]
            hi = xs[min(q + 1, len(xs) - 1)]
            cand.append(golden_max(lambda x: abs(err(cs, x)), lo, hi))
        # Keep n + 1 alternating extrema with the largest magnitudes.
        while len(cand) > n + 1:
            mags = [abs(err(cs, x)) for x in cand]
            # Drop the smaller end, or merge the smallest interior one with
            # a neighbour, keeping alternation.
            if mags[0] < mags[-1]:
                cand.pop(0)
            else:
                cand.pop()
        if len(cand) < n + 1:
            break
        ref = cand
        mags = [abs(err(cs, x)) for x in ref]
        if max(mags) - min(mags) < max(mags) * mpf("1e-6"):
            break
    return cs, ref


def golden_max(g, lo, hi, steps=60):
    gr = (mpmath.sqrt(5) - 1) / 2
    a, b = mpf(lo), mpf(hi)
    c = b - gr * (b - a)
    d = a + gr * (b - a)
    gc, gd = g(c), g(d)
    for _ in range(steps):
        if gc > gd:
            b, d, gd = d, c, gc
            c = b - gr * (b - a)
            gc = g(c)
        else:
            a, c, gc = c, d, gd
            d = a + gr * (b - a)
            gd = g(d)
    best = max([(g(x), x) for x in (a, b, (a + b) / 2, mpf(lo), mpf(hi))], key=lambda t: t[0])
    return best[1]


def measured_error(f, w, powers, coeffs, a, b, extra=(), points=20001):
    """Max |w (f - p)| of the polynomial with the double coefficients, at
    60 digits."""
    a, b = mpf(a), mpf(b)
    cs = [mpf(c) for c in coeffs]
    worst = mpf(0)
    xs = [a + (b - a) * k / (points - 1) for k in range(points)] + [mpf(x) for x in extra]
    for x in xs:
        e = abs(w(x) * (f(x) - sum(c * x ** p for c, p in zip(cs, powers))))
        if e > worst:
            worst = e
    return worst


def fit(f, w, powers, a, b, measure):
    """Remez fit of f with the weight w (which must not vanish on [a, b]),
    coefficients rounded to double, and the error of the rounded polynomial
    under the weight `measure`."""
    cs, ref = remez(f, w, powers, a, b)
    dbl = [rnd(c) for c in cs]
    e = measured_error(f, measure, powers, dbl, a, b, extra=ref)
    return dbl, e


def series_or(fun, series, x, cutoff=mpf("1e-12")):
    """fun(x), or a short series where fun cancels badly near 0."""
    return series(x) if abs(x) < cutoff else fun(x)


# --------------------------------------------------------------------------
# Tables and fits

LN2 = mpmath.log(2)
N_EXP = 128


def exp_part():
    out = {}
    # k = round(x 128/ln2); r = x - k (ln2/128) in two parts.  k fits in 18
    # bits (|x| < 792 for every caller), so step_hi keeps 35 bits and
    # k * step_hi is exact.
    step = LN2 / N_EXP
    step_hi = round_to_bits(step, 35)
    step_lo = rnd(step - mpf(step_hi))
    out["inv_step"] = rnd(N_EXP / LN2)
    out["step_hi"] = step_hi
    out["step_lo"] = step_lo
    out["step_error"] = log2_of(mpf(step_hi) + mpf(step_lo) - step)
    table = []
    worst_tail = 0
    for j in range(N_EXP):
        t = mpf(2) ** (mpf(j) / N_EXP)
        hi = rnd(t)
        tail = rnd((t - mpf(hi)) / mpf(hi))
        table.append((hi, tail))
        worst_tail = max(worst_tail, abs(tail))
    out["table"] = table
    out["tail_max"] = log2_of(worst_tail)
    # |r| <= ln2/256 plus what the rounding of k and of x*128/ln2 can add.
    bound = float(step / 2 * (1 + mpf(2) ** -20) + mpf(2) ** -60)
    out["r_bound"] = bound

    def g(r):  # (e^r - 1 - r) / r^2
        return series_or(lambda r: (mpmath.exp(r) - 1 - r) / r ** 2,
                         lambda r: mpf(1) / 2 + r / 6 + r ** 2 / 24 + r ** 3 / 120, r)

    # The fits run on g = (e^r - 1 - r)/r^2 without weight (a weight r^2
    # would vanish at 0, where the exchange needs a nonzero one); the
    # error of 1 + r + r^2 P(r) is at most r^2 times that of P and peaks at
    # the ends anyway.  Measured: the error relative to e^r.
    coeffs, e = fit(g, lambda r: 1, [0, 1, 2, 3], -bound, bound, lambda r: r ** 2 / mpmath.exp(r))
    out["poly"] = coeffs
    out["poly_error"] = log2_of(e)
    # expm1's polynomial, one degree more: where k = 0 the result is e^r - 1
    # itself, ~ r, and the error must be small relative to that.
    coeffs, e = fit(g, lambda r: 1, [0, 1, 2, 3, 4], -bound, bound,
                    lambda r: r ** 2 / abs(mpmath.expm1(r)) if r != 0 else abs(r))
    out["polym1"] = coeffs
    out["polym1_error"] = log2_of(e)
    # The shorter polynomial of expm1f: relative error of e^r - 1.
    coeffs, e = fit(g, lambda r: 1, [0, 1, 2], -bound, bound,
                    lambda r: r ** 2 / abs(mpmath.expm1(r)) if r != 0 else abs(r))
    out["polyf"] = coeffs
    out["polyf_error"] = log2_of(e)
    # Thresholds.
    out["overflow"] = last_double_below(lambda x: mpmath.exp(x) < mpf(2) ** 1024 * (1 - mpf(2) ** -54), 709.0, 710.0)
    out["underflow"] = first_double_above(lambda x: mpmath.exp(x) > mpf(2) ** -1075, -746.0, -745.0)
    # expm1f: the largest float whose e^x - 1 rounds to a finite float.
    out["overflowf"] = last_float_below(lambda x: mpmath.expm1(x) < mpf(2) ** 128 * (1 - mpf(2) ** -25), 88.0, 89.0)
    return out


def bisect_format(pred, true_end, false_end, fmt):
    """The value v of the binary format fmt ("d" or "f") nearest false_end
    with pred(v) true, between true_end (pred true) and false_end (pred
    false), pred monotone.  Patterns of values of one sign are ordered like
    their magnitudes, so the search runs on the patterns."""
    import struct
    code = {"d": "q", "f": "i"}[fmt]
    def bits(x): return struct.unpack("<" + code, struct.pack("<" + fmt, x))[0]
    def val(b): return struct.unpack("<" + fmt, struct.pack("<" + code, b))[0]
    a, b = bits(true_end), bits(false_end)
    assert pred(mpf(val(a))) and not pred(mpf(val(b)))
    while abs(b - a) > 1:
        m = (a + b) // 2
        if pred(mpf(val(m))):
            a = m
        else:
            b = m
    return val(a)


def last_double_below(pred, lo, hi):
    """The largest double x in [lo, hi] with pred(x) true (pred monotone)."""
    return bisect_format(pred, lo, hi, "d")


def first_double_above(pred, lo, hi):
    """The most negative double x in [lo, hi] (lo < hi < 0) with pred true."""
    return bisect_format(pred, hi, lo, "d")


def last_float_below(pred, lo, hi):
    return bisect_format(pred, lo, hi, "f")


N_LOG = 256
LOG_INDEX_SHIFT = 44  # 52 - 8: the top eight fraction bits of x - offset
LOG_INVC_BITS = 10    # f = z - c has at most 43 significant bits


def quantum(v):
    """The weight of the last significant bit of the nonzero double v."""
    m, e = mpmath.frexp(mpf(v))
    return mpf(2) ** (e - significant_bits(v))


def ulp_of(v):
    """The spacing of doubles at the normal |v| (the weight of its last place)."""
    m, e = mpmath.frexp(mpf(v))
    return mpf(2) ** (e - 53)


def log_part():
    import struct
    def bits(x): return struct.unpack("<Q", struct.pack("<d", x))[0]
    def val(b): return struct.unpack("<d", struct.pack("<Q", b))[0]
    out = {}
    # The offset puts a cell boundary 2^43 patterns below 1.0 and one 2^43
    # patterns above it, so that one cell is centred on 1, and z runs over
    # [offset, 2 offset) ~ [0.708, 1.416).  Each cell is then [m 2^44 + 2^43,
    # (m + 1) 2^44 + 2^43) in patterns, and its centre c is the pattern
    # (m + 1) 2^44.  Every c has at most 9 significant bits, so f = z - c is
    # exact (Sterbenz) and below half a cell in magnitude.
    one = bits(1.0)
    step = 1 << LOG_INDEX_SHIFT
    below = (one - bits(0.7071067811865476)) // step  # whole cells below 1
    offset = one - (step >> 1) - below * step
    out["offset"] = offset
    center = (one - offset) // step
    out["center"] = center
    cells, deltas = [], []
    r_min, r_max = mpf(0), mpf(0)
    split_margin = fast2sum_margin = None
    log1p_exceptions = []
    for i in range(N_LOG):
        lo_b = offset + i * step
        hi_b = lo_b + step  # exclusive
        c_b = (lo_b + (step >> 1)) & ~(step - 1)
        c = val(c_b)
        assert significant_bits(c) <= 9
        invc = 1 / mpf(c)
        ih = round_to_bits(invc, LOG_INVC_BITS)
        il = rnd(invc - mpf(ih))
        logc = mpmath.log(mpf(c))
        logc_hi = round_to_multiple(logc, mpf(2) ** -42)
        logc_lo = rnd(logc - mpf(logc_hi))
        cells.append((c, rnd(invc), ih, il, logc_hi, logc_lo))
        deltas.append(rnd(invc - 1))
        z_lo, z_last = mpf(val(lo_b)), mpf(val(hi_b - 1))
        f_max = max(abs(z_lo - c), abs(z_last - c))
        r_min = min(r_min, (z_lo - c) * invc)
        r_max = max(r_max, (mpf(val(hi_b)) - c) * invc)
        # f invc_hi exact: f is a multiple of g (2^-53 below 1, 2^-52 from
        # 1 on, z and c alike), invc_hi one of its quantum q, so the product
        # is a multiple of g q and exact while below 2^53 g q.
        g = mpf(2) ** -53 if z_lo < 1 else mpf(2) ** -52
        assert f_max * mpf(ih) < mpf(2) ** 53 * g * quantum(ih), i
        if i == center:
            assert c == 1.0 and ih == 1.0 and il == 0.0 and logc_hi == 0.0 and logc_lo == 0.0
            assert deltas[-1] == 0.0
            continue
        # Fast2Sum of log_c_hi + f invc_hi (log, k = 0) and of log_c_hi + f
        # (log1p): |log_c_hi| must exceed both; f may reach half an ulp of
        # 1 + x beyond the cell in log1p.
        m = abs(mpf(logc_hi)) / (max(f_max * max(mpf(ih), 1), f_max + mpf(2) ** -53))
        fast2sum_margin = m if fast2sum_margin is None else min(fast2sum_margin, m)
        # log1p: f = (1 - c) + x for the x whose 1 + x rounds into this cell.
        # f is a multiple of the finer of the last places of x and of 1 - c,
        # and exact while below 2^53 of those.  Where it is not, it must be
        # only at the cell's lower end (x just below it, in a finer binade).
        def log1p_f_exact(u_first, u_last):
            x_a = u_first - 1 - ulp_of(u_first) / 2
            x_b = u_last - 1 + ulp_of(u_last) / 2
            x_min = min(abs(x_a), abs(x_b))
            grain = min(ulp_of(x_min), quantum(1 - c))
            f_top = max(abs(x_a + 1 - c), abs(x_b + 1 - c))
            return f_top < mpf(2) ** 53 * grain
        if not log1p_f_exact(z_lo, z_last):
            assert log1p_f_exact(mpf(val(lo_b + 1)), z_last), i
            log1p_exceptions.append(val(lo_b))
    # The one pattern log1p must send elsewhere: 1 + x rounding up to the
    # lower end of the cell above the centre cell.
    assert log1p_exceptions == [1.0 + 2.0 ** (LOG_INDEX_SHIFT - 53)], log1p_exceptions
    out["log1p_exception"] = log1p_exceptions[0]
    out["cells"] = cells
    out["deltas"] = deltas
    out["r_min"] = float(r_min)
    out["r_max"] = float(r_max)
    out["fast2sum_margin"] = float(fast2sum_margin)
    assert fast2sum_margin > 1
    out["ln2_hi"] = round_to_multiple(LN2, mpf(2) ** -42)
    out["ln2_lo"] = rnd(LN2 - mpf(out["ln2_hi"]))
    a, b = mpf(out["r_min"]) * (1 + mpf(2) ** -30), mpf(out["r_max"]) * (1 + mpf(2) ** -30)

    def g(r):  # (log1p(r) - r) / r^2
        return series_or(lambda r: (mpmath.log1p(r) - r) / r ** 2,
                         lambda r: -mpf(1) / 2 + r / 3 - r ** 2 / 4 + r ** 3 / 5, r)

    # Relative error of r + r^2 P(r) against log1p(r): weight r^2/|log1p(r)|.
    def w(r):
        return r ** 2 / abs(mpmath.log1p(r)) if r != 0 else mpf(0)

    coeffs, e = fit(g, lambda r: 1, [0, 1, 2, 3, 4], a, b, w)
    out["poly"] = coeffs
    out["poly_error"] = log2_of(e)
    out["poly_abs_error"] = log2_of(measured_error(g, lambda r: r ** 2, [0, 1, 2, 3, 4], coeffs, a, b))
    coeffs, e = fit(g, lambda r: 1, [0, 1, 2, 3], a, b, lambda r: r ** 2)
    out["poly_fast"] = coeffs
    out["poly_fast_error"] = log2_of(e)
    coeffs, e = fit(g, lambda r: 1, [0, 1, 2], a, b, w)
    out["polyf"] = coeffs
    out["polyf_error"] = log2_of(e)
    out["r_bound"] = (float(a), float(b))
    return out


# expm1 for |x| < 0.35, directly: e^x - 1 = x + x^2/2 + x^3 P(x).
EXPM1_SMALL = 0.35


def expm1_small_part():
    out = {}
    a = mpf(EXPM1_SMALL) * (1 + mpf(2) ** -40)

    def g(x):  # (e^x - 1 - x - x^2/2) / x^3
        return series_or(lambda x: (mpmath.expm1(x) - x - x ** 2 / 2) / x ** 3,
                         lambda x: mpf(1) / 6 + x / 24 + x ** 2 / 120 + x ** 3 / 720, x, cutoff=mpf("1e-8"))

    # The error relative to e^x - 1 of the whole: weight x^3 / |e^x - 1|.
    powers = list(range(10))
    coeffs, e = fit(g, lambda x: 1, powers, -a, a,
                    lambda x: abs(x) ** 3 / abs(mpmath.expm1(x)) if x != 0 else mpf(0))
    out["poly"] = coeffs
    out["poly_error"] = log2_of(e)
    out["poly_own_error"] = log2_of(measured_error(g, lambda x: 6, powers, coeffs, -a, a))
    out["bound"] = float(a)
    return out


SIN_FIRST, SIN_LAST = 16, 101  # j/64 for 0.25 <= x <= pi/2


def sin_part():
    out = {}
    rows = []
    for j in range(SIN_FIRST, SIN_LAST + 1):
        a = mpf(j) / 64
        s, c = mpmath.sin(a), mpmath.cos(a)
        s_hi, c_hi = rnd(s), rnd(c)
        rows.append((s_hi, rnd(s - mpf(s_hi)), c_hi, rnd(c - mpf(c_hi))))
    out["rows"] = rows
    d = mpf(1) / 128 * (1 + mpf(2) ** -40)

    # sin d = d + d^3 S(d^2), cos d = 1 + d^2 C(d^2), as functions of t = d^2.
    def gs(t):
        return series_or(lambda t: (mpmath.sin(mpmath.sqrt(t)) - mpmath.sqrt(t)) / t ** mpf(1.5),
                         lambda t: -mpf(1) / 6 + t / 120 - t ** 2 / 5040, t)

    def gc(t):
        return series_or(lambda t: (mpmath.cos(mpmath.sqrt(t)) - 1) / t,
                         lambda t: -mpf(1) / 2 + t / 24 - t ** 2 / 720, t)

    # Absolute errors (the terms are added to sin(a) >= 0.247): weights d^3, d^2.
    out["sind"], e = fit(gs, lambda t: 1, [0, 1], 0, d * d, lambda t: t ** mpf(1.5))
    out["sind_error"] = log2_of(e)
    out["cosd"], e = fit(gc, lambda t: 1, [0, 1, 2], 0, d * d, lambda t: t)
    out["cosd_error"] = log2_of(e)
    out["d_bound"] = float(d)
    # Below 0.25: sin x = x + x^3 P(x^2), relative error x^2 |P - S| / (sin x / x).
    x0 = mpf(0.25)

    def wsmall(t):
        x = mpmath.sqrt(t)
        return t / (mpmath.sin(x) / x) if t != 0 else mpf(0)

    out["small"], e = fit(gs, lambda t: 1, [0, 1, 2, 3, 4], 0, x0 * x0, wsmall)
    out["small_error"] = log2_of(e)
    return out


# --------------------------------------------------------------------------
# Output

HEADER = """\
// Generated by scripts/elementary_tables.py, which documents how; do not
// edit by hand.  Regenerate with:
//
//   python3 scripts/elementary_tables.py > include/varnel/math/elementary/portable_tables.generated.hpp
//
// Tables and polynomial coefficients of the library's own elementary
// functions (elementary/portable.hpp).
//
// Every value is the exact binary64 written as a hex literal, with the
// shortest decimal that reads back as the same double beside it.  Each
// polynomial is a minimax fit (Remez exchange) with its coefficients then
// rounded to double; each "measured max error" is that of the polynomial
// with these rounded coefficients, computed exactly at 60 digits over 20001
// points of the interval and the extrema of the fit: the approximation
// alone, before the evaluation's own roundings.
#ifndef VARNEL_MATH_ELEMENTARY_PORTABLE_TABLES_GENERATED_HPP
#define VARNEL_MATH_ELEMENTARY_PORTABLE_TABLES_GENERATED_HPP

#include <cstdint>

namespace varnel::math::elementary::portable::detail {
"""

FOOTER = """\
}  // namespace varnel::math::elementary::portable::detail

#endif
"""


def pow2(e):
    return "2^%.1f" % e


def emit():
    ex = exp_part()
    lg = log_part()
    sn = sin_part()
    es = expm1_small_part()
    o = [HEADER]
    w = o.append

    def coefficients(name, values):
        """An array of doubles, each as its exact literal and its decimal."""
        w("inline constexpr double %s[%d] = {" % (name, len(values)))
        for c in values:
            w(line(c))
        w("};")

    # ---- exp
    w("// ---- exp, expm1 and the exponential half of pow ------------------------")
    w("//")
    w("// x = k ln2/128 + r, k = round(x 128/ln2);")
    w("// e^x = 2^(k >> 7) 2^((k & 127)/128) e^r.")
    w("// 128/ln2, rounded.")
    w("constexpr double exp_inv_step = %s;  // %r" % (hex_literal(ex["inv_step"]), ex["inv_step"]))
    w("// ln2/128 in two parts: the high part has 35 significant bits, so k times")
    w("// it is exact for |k| < 2^18 (|x| < 1418); the sum is ln2/128 to within")
    w("// %s." % pow2(ex["step_error"]))
    w("constexpr double exp_step_hi = %s;  // %r" % (hex_literal(ex["step_hi"]), ex["step_hi"]))
    w("constexpr double exp_step_lo = %s;  // %r" % (hex_literal(ex["step_lo"]), ex["step_lo"]))
    w("")
    w("// 2^(j/128) for j = 0..127: hi is the nearest double, tail the relative rest")
    w("// (2^(j/128) - hi)/hi rounded, at most %s in magnitude; hi (1 + tail) is" % pow2(ex["tail_max"]))
    w("// 2^(j/128) to within about 2^-106 relative.")
    w("struct exp_entry {")
    w("  double hi;")
    w("  double tail;")
    w("};")
    w("inline constexpr exp_entry exp_table[128] = {")
    for j, (hi, tail) in enumerate(ex["table"]):
        w("    // j = %d" % j)
        w("    {" + line(hi, indent="", tail=",")[0:])
        w(line(tail, indent="     ", tail="},"))
    w("};")
    w("")
    w("// e^r ~ 1 + r + r^2 (c0 + c1 r + c2 r^2 + c3 r^3) on |r| <= %r" % ex["r_bound"])
    w("// (ln2/256 and a margin for the rounding of k).  Measured max error %s" % pow2(ex["poly_error"]))
    w("// relative to e^r.")
    coefficients("exp_poly", ex["poly"])
    w("")
    w("// expm1's: e^r ~ 1 + r + r^2 (c0 + c1 r + ... + c4 r^4) on the same")
    w("// interval, one degree more, since where k = 0 the result is e^r - 1")
    w("// itself.  Measured max error %s relative to e^r - 1." % pow2(ex["polym1_error"]))
    coefficients("expm1_poly", ex["polym1"])
    w("")
    w("// The shorter polynomial of expm1f: e^r ~ 1 + r + r^2 (c0 + c1 r + c2 r^2)")
    w("// on the same interval.  Measured max error %s relative to e^r - 1, far" % pow2(ex["polyf_error"]))
    w("// below the 2^-31 that a float result computed through double needs.")
    coefficients("expm1f_poly", ex["polyf"])
    w("")
    w("// The largest double whose exp (and expm1) rounds to a finite double: every")
    w("// larger x overflows.")
    w("constexpr double exp_overflow_above = %s;  // %r" % (hex_literal(ex["overflow"]), ex["overflow"]))
    w("// The most negative double whose exp rounds to the smallest subnormal,")
    w("// 2^-1074: every smaller x has exp below 2^-1075, which rounds to +0.")
    w("constexpr double exp_underflow_below = %s;  // %r" % (hex_literal(ex["underflow"]), ex["underflow"]))
    w("// The largest float whose e^x - 1 rounds to a finite float.")
    w("constexpr float expm1f_overflow_above = %sf;  // %r" % (hex_literal(ex["overflowf"]), ex["overflowf"]))
    w("")

    # ---- log
    w("// ---- log, log1p and the logarithmic half of pow -------------------------")
    w("//")
    w("// x = 2^k z with z in [offset, 2 offset) = [%r, %r):" % (struct_val(lg["offset"]), 2 * struct_val(lg["offset"])))
    w("// k and z are read from the pattern of x minus the pattern of offset.  The")
    w("// top eight fraction bits of that difference pick one of %d cells of z." % N_LOG)
    w("// In patterns a cell is [m 2^44 + 2^43, (m + 1) 2^44 + 2^43), and its centre")
    w("// c is the pattern (m + 1) 2^44.  Every c has at most 9 significant bits, so")
    w("// f = z - c is exact and has at most 43; cell %d is centred on 1 (c = 1)." % lg["center"])
    w("// Over all cells r = f/c lies in [%r, %r]." % (lg["r_min"], lg["r_max"]))
    w("constexpr std::uint64_t log_offset = 0x%016xu;  // pattern of %r" % (lg["offset"], struct_val(lg["offset"])))
    w("constexpr unsigned log_index_shift = %du;  // the cell is (pattern - log_offset) >> 44, mod %d" % (LOG_INDEX_SHIFT, N_LOG))
    w("constexpr unsigned log_cells = %du;" % N_LOG)
    w("// ln2 in two parts: the high part is a multiple of 2^-42, so k times it")
    w("// (|k| <= 1075) and its sum with a cell's log_c_hi are exact.")
    w("constexpr double log_ln2_hi = %s;  // %r" % (hex_literal(lg["ln2_hi"]), lg["ln2_hi"]))
    w("constexpr double log_ln2_lo = %s;  // %r" % (hex_literal(lg["ln2_lo"]), lg["ln2_lo"]))
    w("// log1p's exception: where 1 + x rounds to this value (the lower end of the")
    w("// cell above the centre cell) from x just below %r, f = (1 - c) + x would" % (lg["log1p_exception"] - 1))
    w("// need 54 bits; at every other value of 1 + x in [offset, 2 offset) it is")
    w("// exact.")
    w("constexpr double log1p_inexact_at = %s;  // %r" % (hex_literal(lg["log1p_exception"]), lg["log1p_exception"]))
    w("")
    w("// Per cell: its centre c, 1/c rounded (invc), and log c as log_c_hi, a")
    w("// multiple of 2^-42, plus log_c_lo, to within about 2^-96.  Outside cell")
    w("// %d, |log_c_hi| exceeds every |f| and |f invc_hi| of its cell (by a factor" % lg["center"])
    w("// of at least %.3f), which the Fast2Sums of log_c_hi + f (log1p) and" % lg["fast2sum_margin"])
    w("// log_c_hi + f invc_hi (log with k = 0) need.")
    w("struct alignas(32) log_entry {")
    w("  double c;")
    w("  double invc;")
    w("  double log_c_hi;")
    w("  double log_c_lo;")
    w("};")
    w("inline constexpr log_entry log_table[%d] = {" % N_LOG)
    for i, (c, invc, ih, il, hi, lo) in enumerate(lg["cells"]):
        w("    // i = %d" % i)
        w("    {" + line(c, indent="", tail=","))
        w(line(invc, indent="     ", tail=","))
        w(line(hi, indent="     ", tail=","))
        w(line(lo, indent="     ", tail="},"))
    w("};")
    w("")
    w("// Per cell, 1/c in two parts: invc_hi, rounded to %d significant bits so" % LOG_INVC_BITS)
    w("// that f invc_hi is exact, and invc_lo, the rest rounded; their sum is 1/c")
    w("// to within about 2^-63 relative.")
    w("struct log_split {")
    w("  double invc_hi;")
    w("  double invc_lo;")
    w("};")
    w("inline constexpr log_split log_invc_split[%d] = {" % N_LOG)
    for i, (c, invc, ih, il, hi, lo) in enumerate(lg["cells"]):
        w("    // i = %d" % i)
        w("    {" + line(ih, indent="", tail=","))
        w(line(il, indent="     ", tail="},"))
    w("};")
    w("")
    w("// Per cell, 1/c - 1 rounded: log1p's correction f (1/c - 1), to within")
    w("// 2^-53 relative of itself.")
    w("inline constexpr double log_delta[%d] = {" % N_LOG)
    for i, dl in enumerate(lg["deltas"]):
        w("    %-26s// %r  (i = %d)" % (hex_literal(dl) + ",", dl, i))
    w("};")
    w("")
    w("// log1p(r) ~ r + r^2 (c0 + c1 r + ... + c4 r^4) on")
    w("// [%r, %r]." % lg["r_bound"])
    w("// Measured max error %s relative to log1p(r) (%s absolute)." % (pow2(lg["poly_error"]), pow2(lg["poly_abs_error"])))
    coefficients("log_poly", lg["poly"])
    w("")
    w("// The shorter polynomial of log's main path, where |log x| > 1:")
    w("// log1p(r) ~ r + r^2 (c0 + c1 r + c2 r^2 + c3 r^3) on the same interval.")
    w("// Measured max error %s absolute." % pow2(lg["poly_fast_error"]))
    coefficients("log_fast_poly", lg["poly_fast"])
    w("")
    w("// The shorter polynomial of log1pf: log1p(r) ~ r + r^2 (c0 + c1 r + c2 r^2)")
    w("// on the same interval.  Measured max error %s relative to log1p(r), far" % pow2(lg["polyf_error"]))
    w("// below the 2^-31 that a float result computed through double needs.")
    coefficients("log1pf_poly", lg["polyf"])
    w("")

    # ---- sin
    w("// ---- expm1 below 0.35 ---------------------------------------------------")
    w("//")
    w("// e^x - 1 - x - x^2/2 ~ x^3 (c0 + c1 x + ... + c9 x^9) on")
    w("// |x| <= %r.  Measured max error %s relative to c0 = 1/6," % (es["bound"], pow2(es["poly_own_error"])))
    w("// which is at most %s relative to e^x - 1." % pow2(es["poly_error"]))
    coefficients("expm1_small_poly", es["poly"])
    w("")

    w("// ---- sin on [0, pi/2] ----------------------------------------------------")
    w("//")
    w("// Below 0.25: sin x ~ x + x^3 (c0 + c1 x^2 + ... + c4 x^8) on [0, 0.25].")
    w("// Measured max error %s relative to sin x." % pow2(sn["small_error"]))
    coefficients("sin_small_poly", sn["small"])
    w("")
    w("// From 0.25 on: x = a + d with a = j/64, j = round(64 x) = %d..%d," % (SIN_FIRST, SIN_LAST))
    w("// |d| <= 1/128, and sin x = sin a cos d + cos a sin d.")
    w("// sin d ~ d + d^3 (s0 + s1 d^2) on |d| <= %r." % sn["d_bound"])
    w("// Measured max error %s absolute." % pow2(sn["sind_error"]))
    coefficients("sin_d_poly", sn["sind"])
    w("// cos d ~ 1 + d^2 (c0 + c1 d^2 + c2 d^4) on the same interval.  Measured")
    w("// max error %s absolute." % pow2(sn["cosd_error"]))
    coefficients("cos_d_poly", sn["cosd"])
    w("")
    w("// sin(j/64) and cos(j/64) for j = %d..%d, each as the nearest double (hi)" % (SIN_FIRST, SIN_LAST))
    w("// and the rest rounded (lo): hi + lo is exact to about 2^-106 relative.")
    w("constexpr unsigned sin_first_row = %du;" % SIN_FIRST)
    w("constexpr unsigned sin_last_row = %du;" % SIN_LAST)
    w("struct sin_entry {")
    w("  double sin_hi;")
    w("  double sin_lo;")
    w("  double cos_hi;")
    w("  double cos_lo;")
    w("};")
    w("inline constexpr sin_entry sin_table[%d] = {" % (SIN_LAST - SIN_FIRST + 1))
    for j, (sh, sl, ch, cl) in zip(range(SIN_FIRST, SIN_LAST + 1), sn["rows"]):
        w("    // j = %d" % j)
        w("    {" + line(sh, indent="", tail=","))
        w(line(sl, indent="     ", tail=","))
        w(line(ch, indent="     ", tail=","))
        w(line(cl, indent="     ", tail="},"))
    w("};")
    w("")
    o.append(FOOTER)
    return "\n".join(o[:1]) + "\n".join(o[1:-1]) + "\n" + o[-1]


def struct_val(b):
    import struct
    return struct.unpack("<d", struct.pack("<Q", b))[0]


def main(argv):
    text = emit()
    if len(argv) == 3 and argv[1] == "--check":
        with open(argv[2]) as f:
            current = f.read()
        if current != text:
            sys.stdout.write("%s differs from what scripts/elementary_tables.py generates\n" % argv[2])
            return 1
        sys.stdout.write("%s is up to date\n" % argv[2])
        return 0
    if len(argv) != 1:
        sys.stderr.write(__doc__)
        return 2
    sys.stdout.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
