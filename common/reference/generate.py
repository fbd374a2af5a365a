#!/usr/bin/env python3
"""Writes the high-precision reference tables used by the accuracy tests.

Run from the repository root:

    python3 common/reference/generate.py

It rewrites common/reference/data/<function>.tsv (double arguments) and
common/reference/data/<function>f.tsv (float-representable arguments) for
acosh asinh atanh cbrt erf erfc expm1 hypot lgamma log1p tgamma.

Every sample is drawn from a seeded random.Random using only getrandbits()
and random(), and placed with exact operations (ldexp, IEEE rounding of a
product and a sum), so the same Python and mpmath produce the same files byte
for byte.  Every reference value is computed twice, at 200 and at 256 bits;
when the two disagree after rounding to double-double, the precision is
raised until two consecutive evaluations agree.
"""

import argparse
import math
import os
import random
import struct
import sys
import time
from fractions import Fraction

import mpmath
from mpmath import mp, mpf

PRECISIONS = (200, 256, 400, 800, 1600)

DBL_MAX = sys.float_info.max
FLT_MAX = struct.unpack("<f", struct.pack("<I", 0x7F7FFFFF))[0]
LN_DBL_MAX = 709.782712893384  # just below log(DBL_MAX)
LN_FLT_MAX = 88.72283172607422  # just below log(FLT_MAX)


# ---------------------------------------------------------------------------
# Floating-point formats


class Format:
    def __init__(self, name, digits, emin, suffix, max_value):
        self.name = name
        self.digits = digits          # significand bits including the hidden one
        self.emin = emin              # exponent of the smallest normal
        self.suffix = suffix          # file-name suffix
        self.max_value = max_value
        self.min_normal = math.ldexp(1.0, emin)
        self.emax = 1023 if digits == 53 else 127

    def round(self, v):
        """Nearest value of this format to the double v (inf on overflow)."""
        if self.digits == 53:
            return v
        try:
            return struct.unpack("<f", struct.pack("<f", v))[0]
        except OverflowError:
            return math.copysign(math.inf, v)

    def contains(self, v):
        return self.round(v) == v

    def next_toward(self, v, direction):
        if self.digits == 53:
            return math.nextafter(v, direction)
        if v == direction:
            return v
        bits = struct.unpack("<I", struct.pack("<f", v))[0]
        up = direction > v
        if v == 0.0:
            bits = 1 if up else 0x80000001
        elif (v > 0) == up:
            bits += 1
        else:
            bits -= 1
        return struct.unpack("<f", struct.pack("<I", bits))[0]

    def neighbours(self, v, count=2):
        """v and its `count` neighbours on each side."""
        out = [v]
        lo = hi = v
        for _ in range(count):
            lo = self.next_toward(lo, -math.inf)
            hi = self.next_toward(hi, math.inf)
            out += [lo, hi]
        return out


DOUBLE = Format("double", 53, -1022, "", DBL_MAX)
FLOAT = Format("float", 24, -126, "f", FLT_MAX)


# ---------------------------------------------------------------------------
# Samplers.  Each returns a function of a random.Random giving one argument.


def binades(fmt, e_lo, e_hi, sign=1):
    """Log-uniform by binade: exponent uniform in [e_lo, e_hi), significand
    uniform.  Binades below the normal range give subnormal values."""
    span = e_hi - e_lo

    def draw(rng):
        e = e_lo + rng.getrandbits(32) % span
        if e < fmt.emin:
            # subnormal binade [2^e, 2^(e+1)): integer multiple of the
            # smallest subnormal with the matching bit length
            quantum_exp = fmt.emin - fmt.digits + 1
            bits = e - quantum_exp
            k = (1 << bits) | rng.getrandbits(bits) if bits > 0 else 1
            v = math.ldexp(float(k), quantum_exp)
        else:
            frac = rng.getrandbits(fmt.digits - 1)
            v = math.ldexp(float((1 << (fmt.digits - 1)) | frac), e - fmt.digits + 1)
        return sign * v
    return draw


def either_sign(draw):
    def d(rng):
        v = draw(rng)
        return -v if rng.getrandbits(1) else v
    return d


def uniform(fmt, a, b):
    def draw(rng):
        return fmt.round(a + (b - a) * rng.random())
    return draw


def offset_binades(fmt, base, direction, e_lo, e_hi):
    """base + direction * d with d log-uniform over [2^e_lo, 2^e_hi); the sum
    is rounded to the format, so points crowd towards `base`."""
    inner = binades(DOUBLE, e_lo, e_hi)

    def draw(rng):
        return fmt.round(base + direction * inner(rng))
    return draw


def near_integers(fmt, lo_int, hi_int, e_lo, e_hi):
    """Points just beside the integers in [lo_int, hi_int]: n +- d with d
    log-uniform over [2^e_lo, 2^e_hi)."""
    inner = binades(DOUBLE, e_lo, e_hi)

    def draw(rng):
        n = lo_int + rng.getrandbits(32) % (hi_int - lo_int + 1)
        d = inner(rng)
        return fmt.round(n + d if rng.getrandbits(1) else n - d)
    return draw


def pairs(first, second, swap=True, signs=True):
    def draw(rng):
        x, y = first(rng), second(rng)
        if swap and rng.getrandbits(1):
            x, y = y, x
        if signs:
            if rng.getrandbits(1):
                x = -x
            if rng.getrandbits(1):
                y = -y
        return (x, y)
    return draw


def scaled_pair(fmt, e_lo, e_hi, d_lo, d_hi):
    """x log-uniform over binades [e_lo, e_hi); y = x scaled by 2^d, d in
    [d_lo, d_hi], with a fresh significand, so that the magnitude ratio of
    the pair is controlled."""
    def draw(rng):
        x = binades(fmt, e_lo, e_hi)(rng)
        d = d_lo + rng.getrandbits(32) % (d_hi - d_lo + 1)
        ex = math.frexp(x)[1] - 1 + d
        y = binades(fmt, ex, ex + 1)(rng)
        return pairs(lambda r: x, lambda r: y)(rng)
    return draw


def fixed(values):
    """Deterministic list of values, drawn in order (then repeated)."""
    state = {"i": 0}

    def draw(rng):
        v = values[state["i"] % len(values)]
        state["i"] += 1
        return v
    return draw


# ---------------------------------------------------------------------------
# Ranges


class Range:
    """A named set of arguments.

    accept(x) decides membership (x is a number, or a pair for hypot);
    parts is a list of (count, sampler); text defines the range in the
    file header."""

    def __init__(self, name, text, accept, parts, tiny_result_names=None):
        self.name = name
        self.text = text
        self.accept = accept
        self.parts = parts
        # for the reflection tail of tgamma: where results below the normal
        # range go instead of being skipped
        self.tiny_result_names = tiny_result_names


def non_integer(x):
    return x != math.floor(x)


def build_double_tables():
    d = DOUBLE
    n = 600            # default points per range
    tables = {}

    # erf / erfc ------------------------------------------------------------
    def erf_ranges(with_tail):
        r = [
            Range("tiny", "0 < |x| < 2^-28, log-uniform over binades, both signs",
                  lambda x: 0 < abs(x) < 2.0**-28,
                  [(n, either_sign(binades(d, -1022, -28)))]),
            Range("small", "2^-28 <= |x| < 0.5, half uniform, half log-uniform, both signs",
                  lambda x: 2.0**-28 <= abs(x) < 0.5,
                  [(n // 2, uniform(d, -0.5, 0.5)),
                   (n // 2, either_sign(binades(d, -28, -1)))]),
            Range("near", "0.5 <= x < 1.25, uniform", lambda x: 0.5 <= x < 1.25,
                  [(n, uniform(d, 0.5, 1.25))]),
            Range("mid", "1.25 <= x < 2.857, uniform", lambda x: 1.25 <= x < 2.857,
                  [(n, uniform(d, 1.25, 2.857))]),
            Range("far", "2.857 <= x < 6, uniform", lambda x: 2.857 <= x < 6,
                  [(n, uniform(d, 2.857, 6.0))]),
        ]
        if with_tail:
            r.append(Range("tail", "6 <= x < 28, uniform (results below 2^-1022 skipped)",
                           lambda x: 6 <= x < 28, [(n, uniform(d, 6.0, 28.0))]))
        r.append(Range("negative", "-6 < x <= -0.5, uniform", lambda x: -6 < x <= -0.5,
                       [(n, uniform(d, -6.0, -0.5))]))
        return r

    erf_thresholds = [1e-10, -1e-10, 2.0**-28, 0.5, -0.5, 1.25, 1.5, -1.5, 2.5, -2.5,
                      2.857, 3.5, 4.5, -4.5, 5.929999828338623046875,
                      -5.929999828338623046875, 6.0, -6.0]
    tables["erf"] = (mp.erf, erf_ranges(False), erf_thresholds)
    tables["erfc"] = (mp.erfc, erf_ranges(True),
                      erf_thresholds + [-0.5000000000000001, 26.5, 26.54, 27.0, 27.2, 28.0])

    # acosh -------------------------------------------------------------------
    tables["acosh"] = (mp.acosh, [
        Range("near-one", "1 < x < 1.5: half uniform, half 1 + d with d log-uniform in [2^-52, 0.5)",
              lambda x: 1 < x < 1.5,
              [(n // 2, uniform(d, 1.0, 1.5)), (n // 2, offset_binades(d, 1.0, 1, -52, -1))]),
        Range("medium", "1.5 <= x <= 2^26, log-uniform", lambda x: 1.5 <= x <= 2.0**26,
              [(n // 2, binades(d, 0, 26)), (n // 2, uniform(d, 1.5, 4.0))]),
        Range("huge", "2^26 < x <= 1e300, log-uniform", lambda x: 2.0**26 < x <= 1e300,
              [(n, binades(d, 26, 996))]),
    ], [1 + 2.0**-52, 1 + 2.0**-26, 1.5, 2.0**26, 2.0**27, 1e300])

    # asinh -------------------------------------------------------------------
    tables["asinh"] = (mp.asinh, [
        Range("tiny", "2^-1022 <= x < 2^-26, log-uniform", lambda x: 0 < x < 2.0**-26,
              [(n, binades(d, -1022, -26))]),
        Range("small", "2^-26 <= x < 0.5, log-uniform and uniform", lambda x: 2.0**-26 <= x < 0.5,
              [(n // 2, binades(d, -26, -1)), (n // 2, uniform(d, 0.0, 0.5))]),
        Range("medium", "0.5 <= x <= 2^26, log-uniform and uniform", lambda x: 0.5 <= x <= 2.0**26,
              [(n // 2, binades(d, -1, 26)), (n // 2, uniform(d, 0.5, 4.0))]),
        Range("huge", "2^26 < x <= 1e300, log-uniform", lambda x: 2.0**26 < x <= 1e300,
              [(n, binades(d, 26, 996))]),
        Range("negative", "-1e300 <= x <= -2^-1022, log-uniform", lambda x: -1e300 <= x < 0,
              [(n, binades(d, -1022, 996, sign=-1))]),
    ], [2.0**-26, -2.0**-26, 2.0**-13, -2.0**-13, 0.5, -0.5, 0.75, 2.0**26, -2.0**26,
        2.0**27, -2.0**27, 1e300, -1e300])

    # atanh -------------------------------------------------------------------
    tables["atanh"] = (mp.atanh, [
        Range("tiny", "2^-1022 <= x < 2^-26, log-uniform", lambda x: 0 < x < 2.0**-26,
              [(n, binades(d, -1022, -26))]),
        Range("small", "2^-26 <= x < 0.5, log-uniform and uniform", lambda x: 2.0**-26 <= x < 0.5,
              [(n // 2, binades(d, -26, -1)), (n // 2, uniform(d, 0.0, 0.5))]),
        Range("medium", "0.5 <= x < 1: half uniform, half 1 - d with d log-uniform in [2^-53, 0.5)",
              lambda x: 0.5 <= x < 1,
              [(n // 2, uniform(d, 0.5, 1.0)), (n // 2, offset_binades(d, 1.0, -1, -53, -1))]),
        Range("negative", "-1 < x <= -2^-1022: log-uniform magnitude, and -1 + d as above",
              lambda x: -1 < x < 0,
              [(n // 2, binades(d, -1022, -1, sign=-1)), (n // 4, uniform(d, -1.0, -0.5)),
               (n // 4, offset_binades(d, -1.0, 1, -53, -1))]),
    ], [2.0**-26, -2.0**-26, 2.0**-13, -2.0**-13, 0.5, -0.5, 1 - 2.0**-53, -(1 - 2.0**-53),
        1 - 2.0**-52, -(1 - 2.0**-52)])

    # cbrt --------------------------------------------------------------------
    def m_cbrt(x):
        return mp.cbrt(x) if x >= 0 else -mp.cbrt(-x)
    tables["cbrt"] = (m_cbrt, [
        Range("unit", "0.5 <= x < 8, uniform", lambda x: 0.5 <= x < 8,
              [(n // 2, uniform(d, 0.5, 8.0))]),
        Range("normal", "2^-1022 <= x <= DBL_MAX, log-uniform over all binades",
              lambda x: x >= 2.0**-1022, [(n, binades(d, -1022, 1024))]),
        Range("subnormal", "0 < |x| < 2^-1022, log-uniform over the subnormal binades, both signs",
              lambda x: 0 < abs(x) < 2.0**-1022, [(n // 2, either_sign(binades(d, -1074, -1022)))]),
        Range("negative", "-DBL_MAX <= x <= -2^-1022, log-uniform", lambda x: x <= -2.0**-1022,
              [(n, binades(d, -1022, 1024, sign=-1))]),
    ], [1.0, 2.0, 8.0, 27.0, 1000.0, 2.0**1020, DBL_MAX, 2.0**-1022, 5e-324, 8e-319,
        -8.0, -27.0, -(2.0**1020), -DBL_MAX, -5e-324, 1e-300, 1e300])

    # expm1 -------------------------------------------------------------------
    tables["expm1"] = (mp.expm1, [
        Range("small", "2^-1022 <= |x| < 1e-5, log-uniform, both signs", lambda x: 0 < abs(x) < 1e-5,
              [(n, either_sign(binades(d, -1022, -16)))]),
        Range("moderate", "1e-5 <= |x| < 40, log-uniform and uniform", lambda x: 1e-5 <= abs(x) < 40,
              [(n // 2, either_sign(binades(d, -16, 6))), (n // 2, uniform(d, -40.0, 40.0))]),
        Range("large", "40 <= x <= log(DBL_MAX), uniform", lambda x: 40 <= x <= LN_DBL_MAX,
              [(n, uniform(d, 40.0, LN_DBL_MAX))]),
        Range("large-negative", "-745 <= x <= -40, uniform", lambda x: -745 <= x <= -40,
              [(n // 2, uniform(d, -745.0, -40.0))]),
    ], [1e-5, -1e-5, 2.0**-26, -2.0**-26, 0.5, -0.5, math.log(2) / 2, -math.log(2) / 2,
        40.0, -40.0, LN_DBL_MAX, -745.0])

    # log1p -------------------------------------------------------------------
    tables["log1p"] = (mp.log1p, [
        Range("small", "2^-1022 <= |x| < 1e-5, log-uniform, both signs", lambda x: 0 < abs(x) < 1e-5,
              [(n, either_sign(binades(d, -1022, -16)))]),
        Range("near-minus-one", "-1 < x <= -0.5: -1 + d with d log-uniform in [2^-53, 0.5), and uniform",
              lambda x: -1 < x <= -0.5,
              [(n // 2, offset_binades(d, -1.0, 1, -53, -1)), (n // 2, uniform(d, -1.0, -0.5))]),
        Range("moderate", "-0.5 < x < 10, |x| >= 1e-5, uniform and log-uniform",
              lambda x: -0.5 < x < 10 and abs(x) >= 1e-5,
              [(n // 2, uniform(d, -0.5, 10.0)), (n // 2, either_sign(binades(d, -16, 3)))]),
        Range("large", "10 <= x <= 1e300, log-uniform", lambda x: 10 <= x <= 1e300,
              [(n, binades(d, 3, 996))]),
    ], [1e-5, -1e-5, -0.5, -(1 - 2.0**-53), -0.9999, 10.0, 1e300, 2.0**-26, -2.0**-26])

    # hypot -------------------------------------------------------------------
    def m_hypot(x, y):
        return mp.hypot(x, y)

    def mag(p):
        return max(abs(p[0]), abs(p[1])), min(abs(p[0]), abs(p[1]))

    tables["hypot"] = (m_hypot, [
        Range("unit", "|x|, |y| <= 10, uniform", lambda p: mag(p)[0] <= 10,
              [(n // 2, pairs(uniform(d, 0.0, 1.0), uniform(d, 0.0, 1.0))),
               (n // 2, pairs(uniform(d, 0.0, 10.0), uniform(d, 0.0, 10.0)))]),
        Range("comparable", "|x| log-uniform over 2^-1000 .. 2^1000, |y|/|x| within 2^-10 .. 2^10",
              lambda p: mag(p)[0] > 10 or mag(p)[0] < 2.0**-10,
              [(n, scaled_pair(d, -1000, 1000, -10, 10))]),
        Range("different", "|y|/|x| between 2^-62 and 2^-20 (around the 2^-52 cut-off), |x| log-uniform",
              lambda p: mag(p)[1] < mag(p)[0] * 2.0**-19,
              [(n, scaled_pair(d, -900, 900, -62, -20))]),
        Range("wide", "|x| and |y| independently log-uniform over all binades, subnormals included",
              lambda p: True,
              [(n, pairs(binades(d, -1074, 1024), binades(d, -1074, 1024)))]),
        Range("extreme", "both near the top (2^1020 .. DBL_MAX) or both tiny (2^-1074 .. 2^-1000)",
              lambda p: True,
              [(n // 2, pairs(binades(d, 1020, 1024), binades(d, 1020, 1024))),
               (n // 2, pairs(binades(d, -1074, -1000), binades(d, -1074, -1000)))]),
    ], [(3.0, 4.0), (1.0, 2.0**-52), (1.0, math.nextafter(2.0**-52, 1)),
        (1.0, math.nextafter(2.0**-52, 0)), (1.0, 2.0**-53), (1.0, 1e-17), (1e308, 1e308),
        (DBL_MAX, 2.0**970), (DBL_MAX / 2, DBL_MAX / 2), (2.0**-1022, 2.0**-1022),
        (5e-324, 2.0**-1022), (1e-160, 1e-160), (1e154, 1e154)])

    # tgamma ------------------------------------------------------------------
    tail_points = [-170.1, -170.25, -170.5, -170.75, -170.9, -171.1, -171.25, -171.5, -171.75,
                   -172.5, -173.5, -175.5, -177.5, -179.5, -180.5, -182.5, -185.5, -189.5, -200.5]
    tables["tgamma"] = (mp.gamma, [
        Range("tiny", "0 < x <= 2^-26, log-uniform over normal binades (overflowing results skipped)",
              lambda x: 0 < x <= 2.0**-26, [(n, binades(d, -1022, -26))]),
        Range("small", "2^-26 < x < 1, log-uniform and uniform", lambda x: 2.0**-26 < x < 1,
              [(n // 2, binades(d, -26, 0)), (n // 2, uniform(d, 0.0, 1.0))]),
        Range("medium", "1 <= x < 20, non-integers, uniform", lambda x: 1 <= x < 20 and non_integer(x),
              [(n, uniform(d, 1.0, 20.0))]),
        Range("large", "20 <= x < 170, non-integers, uniform", lambda x: 20 <= x < 170 and non_integer(x),
              [(n, uniform(d, 20.0, 170.0))]),
        Range("near-overflow", "170 <= x <= 171.62437695630272 (last finite), non-integers",
              lambda x: 170 <= x <= 171.62437695630272 and non_integer(x),
              [(n // 2, uniform(d, 170.0, 171.62437695630272))]),
        Range("integers", "x = 1, 2, ..., 171: (x-1)!, exact factorials correctly rounded",
              lambda x: 1 <= x <= 171 and not non_integer(x),
              [(171, fixed([float(k) for k in range(1, 172)]))]),
        Range("negative", "-20 < x < 0, non-integers: uniform, log-uniform near 0, and n +- d beside the poles",
              lambda x: -20 < x < 0 and non_integer(x),
              [(n // 2, uniform(d, -20.0, 0.0)), (n // 4, binades(d, -1022, 0, sign=-1)),
               (n // 4, near_integers(d, -19, -1, -40, -2))]),
        Range("negative-large", "-170 < x < -20, non-integers: uniform and beside the poles",
              lambda x: -170 < x < -20 and non_integer(x),
              [(n * 3 // 4, uniform(d, -170.0, -20.0)), (n // 4, near_integers(d, -169, -21, -40, -2))]),
        Range("reflection-tail", "-190 < x <= -170 non-integers and -200.5, normal results only "
              "(fixed points -170.1 ... -200.5, uniform on (-171, -170) where results are normal, "
              "on (-178, -171) where they become subnormal, and on (-190, -178))",
              lambda x: (-190 < x <= -170 or x == -200.5) and non_integer(x),
              [(len(tail_points), fixed(tail_points)), (80, uniform(d, -171.0, -170.0)),
               (60, uniform(d, -178.0, -171.0)), (20, uniform(d, -190.0, -178.0))],
              tiny_result_names=("reflection-subnormal", "reflection-underflow")),
    ], [2.0**-26, 1.0 / DBL_MAX, 0.5, 1.5, 2.5, 19.5, 20.5, 141.975, 169.5, 170.5,
        171.62437695630272, -0.5, -19.5, -20.5, -1e-20, -(1 - 2.0**-53), -169.5])

    # lgamma ------------------------------------------------------------------
    def m_lgamma(x):
        return mp.loggamma(x) if x > 0 else mp.log(abs(mp.gamma(x)))

    def lg(lo, hi):
        return lambda x: lo <= x < hi and not (0.99 <= x <= 1.01) and not (1.99 <= x <= 2.01)
    tables["lgamma"] = (m_lgamma, [
        Range("tiny", "0 < x <= 2^-26, log-uniform over all binades", lambda x: 0 < x <= 2.0**-26,
              [(n, binades(d, -1074, -26))]),
        Range("small", "2^-26 < x < 0.99, log-uniform and uniform", lambda x: 2.0**-26 < x < 0.99,
              [(n // 2, binades(d, -26, 0)), (n // 2, uniform(d, 0.0, 0.99))]),
        Range("near-zero-1", "0.99 <= x <= 1.01 (zero of lgamma at 1: measure absolute error): "
              "uniform and 1 +- d with d log-uniform in [2^-53, 2^-7)",
              lambda x: 0.99 <= x <= 1.01,
              [(n // 2, uniform(d, 0.99, 1.01)), (n // 4, offset_binades(d, 1.0, 1, -52, -7)),
               (n // 4, offset_binades(d, 1.0, -1, -53, -7))]),
        Range("near-zero-2", "1.99 <= x <= 2.01 (zero of lgamma at 2: measure absolute error): "
              "uniform and 2 +- d with d log-uniform in [2^-52, 2^-7)",
              lambda x: 1.99 <= x <= 2.01,
              [(n // 2, uniform(d, 1.99, 2.01)), (n // 4, offset_binades(d, 2.0, 1, -51, -7)),
               (n // 4, offset_binades(d, 2.0, -1, -52, -7))]),
        Range("low", "1.01 < x < 3 outside [1.99, 2.01], uniform", lg(1.0, 3.0),
              [(n, uniform(d, 1.0, 3.0))]),
        Range("medium", "3 <= x < 15, uniform", lg(3.0, 15.0), [(n, uniform(d, 3.0, 15.0))]),
        Range("high", "15 <= x < 100, uniform", lg(15.0, 100.0), [(n, uniform(d, 15.0, 100.0))]),
        Range("large", "100 <= x < 1e6, log-uniform", lg(100.0, 1e6), [(n, binades(d, 6, 20))]),
        Range("huge", "1e6 <= x: log-uniform up to 2^997 (about 1.3e300), and the thresholds 1e305 and "
              "2.5599833278516385e305 (last finite) "
              "(results above DBL_MAX skipped)", lambda x: x >= 1e6,
              [(n, binades(d, 20, 997))]),
        Range("negative", "-100 < x < 0, non-integers: uniform, log-uniform near 0, beside the poles",
              lambda x: -100 < x < 0 and non_integer(x),
              [(n // 2, uniform(d, -100.0, 0.0)), (n // 4, binades(d, -1074, 0, sign=-1)),
               (n // 4, near_integers(d, -99, -1, -40, -2))]),
    ], [2.0**-54, 2.0**-26, 0.5, 1.0, 1.5, 2.0, 2.5, 3.0, 14.9, 15.0, 99.9, 100.0, 1e6,
        2.6109e15, 1e300, 1e305, 2.5599833278516385e305, -2.0**-26, -0.5, -2.5, -100.5 + 1,
        -1e-10, -1e-20])
    return tables


def build_float_tables():
    f = FLOAT
    n = 350
    tables = {}
    fmax = FLT_MAX

    def erf_ranges(with_tail):
        r = [
            Range("tiny", "2^-126 <= |x| < 2^-28, log-uniform over binades, both signs",
                  lambda x: 0 < abs(x) < 2.0**-28, [(n, either_sign(binades(f, -126, -28)))]),
            Range("small", "2^-28 <= |x| < 0.5, half uniform, half log-uniform, both signs",
                  lambda x: 2.0**-28 <= abs(x) < 0.5,
                  [(n // 2, uniform(f, -0.5, 0.5)), (n // 2, either_sign(binades(f, -28, -1)))]),
            Range("near", "0.5 <= x < 1.25, uniform", lambda x: 0.5 <= x < 1.25,
                  [(n, uniform(f, 0.5, 1.25))]),
            Range("mid", "1.25 <= x < 2.857, uniform", lambda x: 1.25 <= x < 2.857,
                  [(n, uniform(f, 1.25, 2.857))]),
            Range("far", "2.857 <= x < 6, uniform", lambda x: 2.857 <= x < 6,
                  [(n, uniform(f, 2.857, 6.0))]),
        ]
        if with_tail:
            r.append(Range("tail", "6 <= x < 9.2, uniform (results below 2^-126 skipped)",
                           lambda x: 6 <= x < 9.2, [(n, uniform(f, 6.0, 9.2))]))
        r.append(Range("negative", "-6 < x <= -0.5, uniform", lambda x: -6 < x <= -0.5,
                       [(n, uniform(f, -6.0, -0.5))]))
        return r

    erf_thresholds = [1e-10, 2.0**-28, 0.5, -0.5, 1.25, 1.5, 2.5, 2.857, 3.5, 4.5,
                      5.929999828338623046875, -5.929999828338623046875, 6.0, -6.0]
    tables["erf"] = (mp.erf, erf_ranges(False), erf_thresholds)
    tables["erfc"] = (mp.erfc, erf_ranges(True), erf_thresholds + [9.1945])

    tables["acosh"] = (mp.acosh, [
        Range("near-one", "1 < x < 1.5: half uniform, half 1 + d with d log-uniform in [2^-23, 0.5)",
              lambda x: 1 < x < 1.5,
              [(n // 2, uniform(f, 1.0, 1.5)), (n // 2, offset_binades(f, 1.0, 1, -23, -1))]),
        Range("medium", "1.5 <= x <= 2^26, log-uniform", lambda x: 1.5 <= x <= 2.0**26,
              [(n // 2, binades(f, 0, 26)), (n // 2, uniform(f, 1.5, 4.0))]),
        Range("huge", "2^26 < x <= FLT_MAX, log-uniform", lambda x: 2.0**26 < x,
              [(n, binades(f, 26, 128))]),
    ], [1 + 2.0**-23, 1.5, 2.0**26, 2.0**27, fmax])

    tables["asinh"] = (mp.asinh, [
        Range("tiny", "2^-126 <= x < 2^-26, log-uniform", lambda x: 0 < x < 2.0**-26,
              [(n, binades(f, -126, -26))]),
        Range("small", "2^-26 <= x < 0.5, log-uniform and uniform", lambda x: 2.0**-26 <= x < 0.5,
              [(n // 2, binades(f, -26, -1)), (n // 2, uniform(f, 0.0, 0.5))]),
        Range("medium", "0.5 <= x <= 2^26, log-uniform and uniform", lambda x: 0.5 <= x <= 2.0**26,
              [(n // 2, binades(f, -1, 26)), (n // 2, uniform(f, 0.5, 4.0))]),
        Range("huge", "2^26 < x <= FLT_MAX, log-uniform", lambda x: 2.0**26 < x,
              [(n, binades(f, 26, 128))]),
        Range("negative", "-FLT_MAX <= x <= -2^-126, log-uniform", lambda x: x < 0,
              [(n, binades(f, -126, 128, sign=-1))]),
    ], [2.0**-26, -2.0**-26, 2.0**-13, -2.0**-13, 0.5, -0.5, 2.0**26, 2.0**27, fmax, -fmax])

    tables["atanh"] = (mp.atanh, [
        Range("tiny", "2^-126 <= x < 2^-26, log-uniform", lambda x: 0 < x < 2.0**-26,
              [(n, binades(f, -126, -26))]),
        Range("small", "2^-26 <= x < 0.5, log-uniform and uniform", lambda x: 2.0**-26 <= x < 0.5,
              [(n // 2, binades(f, -26, -1)), (n // 2, uniform(f, 0.0, 0.5))]),
        Range("medium", "0.5 <= x < 1: half uniform, half 1 - d with d log-uniform in [2^-24, 0.5)",
              lambda x: 0.5 <= x < 1,
              [(n // 2, uniform(f, 0.5, 1.0)), (n // 2, offset_binades(f, 1.0, -1, -24, -1))]),
        Range("negative", "-1 < x <= -2^-126: log-uniform magnitude, and -1 + d as above",
              lambda x: -1 < x < 0,
              [(n // 2, binades(f, -126, -1, sign=-1)), (n // 4, uniform(f, -1.0, -0.5)),
               (n // 4, offset_binades(f, -1.0, 1, -24, -1))]),
    ], [2.0**-26, 2.0**-13, 0.5, -0.5, 1 - 2.0**-24, -(1 - 2.0**-24)])

    def m_cbrt(x):
        return mp.cbrt(x) if x >= 0 else -mp.cbrt(-x)
    tables["cbrt"] = (m_cbrt, [
        Range("unit", "0.5 <= x < 8, uniform", lambda x: 0.5 <= x < 8,
              [(n // 2, uniform(f, 0.5, 8.0))]),
        Range("normal", "2^-126 <= x <= FLT_MAX, log-uniform over all binades",
              lambda x: x >= 2.0**-126, [(n, binades(f, -126, 128))]),
        Range("subnormal", "0 < |x| < 2^-126 (float subnormals), log-uniform, both signs",
              lambda x: 0 < abs(x) < 2.0**-126, [(n // 2, either_sign(binades(f, -149, -126)))]),
        Range("negative", "-FLT_MAX <= x <= -2^-126, log-uniform", lambda x: x <= -2.0**-126,
              [(n, binades(f, -126, 128, sign=-1))]),
    ], [1.0, 8.0, 27.0, 1000.0, fmax, 2.0**-126, 2.0**-149, -8.0, -(2.0**-149)])

    tables["expm1"] = (mp.expm1, [
        Range("small", "2^-126 <= |x| < 1e-5, log-uniform, both signs", lambda x: 0 < abs(x) < 1e-5,
              [(n, either_sign(binades(f, -126, -16)))]),
        Range("moderate", "1e-5 <= |x| < 20, log-uniform and uniform", lambda x: 1e-5 <= abs(x) < 20,
              [(n // 2, either_sign(binades(f, -16, 5))), (n // 2, uniform(f, -20.0, 20.0))]),
        Range("large", "20 <= x <= log(FLT_MAX), uniform", lambda x: 20 <= x <= LN_FLT_MAX,
              [(n, uniform(f, 20.0, LN_FLT_MAX))]),
        Range("large-negative", "-104 <= x <= -20, uniform", lambda x: -104 <= x <= -20,
              [(n // 2, uniform(f, -104.0, -20.0))]),
    ], [1e-5, -1e-5, 0.5, -0.5, 20.0, -20.0, LN_FLT_MAX])

    tables["log1p"] = (mp.log1p, [
        Range("small", "2^-126 <= |x| < 1e-5, log-uniform, both signs", lambda x: 0 < abs(x) < 1e-5,
              [(n, either_sign(binades(f, -126, -16)))]),
        Range("near-minus-one", "-1 < x <= -0.5: -1 + d with d log-uniform in [2^-24, 0.5), and uniform",
              lambda x: -1 < x <= -0.5,
              [(n // 2, offset_binades(f, -1.0, 1, -24, -1)), (n // 2, uniform(f, -1.0, -0.5))]),
        Range("moderate", "-0.5 < x < 10, |x| >= 1e-5, uniform and log-uniform",
              lambda x: -0.5 < x < 10 and abs(x) >= 1e-5,
              [(n // 2, uniform(f, -0.5, 10.0)), (n // 2, either_sign(binades(f, -16, 3)))]),
        Range("large", "10 <= x <= FLT_MAX, log-uniform", lambda x: 10 <= x,
              [(n, binades(f, 3, 128))]),
    ], [1e-5, -1e-5, -0.5, -(1 - 2.0**-24), 10.0, fmax])

    def mag(p):
        return max(abs(p[0]), abs(p[1])), min(abs(p[0]), abs(p[1]))
    tables["hypot"] = (lambda x, y: mp.hypot(x, y), [
        Range("unit", "|x|, |y| <= 10, uniform", lambda p: mag(p)[0] <= 10,
              [(n // 2, pairs(uniform(f, 0.0, 1.0), uniform(f, 0.0, 1.0))),
               (n // 2, pairs(uniform(f, 0.0, 10.0), uniform(f, 0.0, 10.0)))]),
        Range("comparable", "|x| log-uniform over 2^-110 .. 2^110, |y|/|x| within 2^-10 .. 2^10",
              lambda p: mag(p)[0] > 10 or mag(p)[0] < 2.0**-10,
              [(n, scaled_pair(f, -110, 110, -10, 10))]),
        Range("different", "|y|/|x| between 2^-34 and 2^-10 (around the 2^-23 cut-off), |x| log-uniform",
              lambda p: mag(p)[1] < mag(p)[0] * 2.0**-9,
              [(n, scaled_pair(f, -90, 90, -34, -10))]),
        Range("wide", "|x| and |y| independently log-uniform over all float binades, subnormals included",
              lambda p: True, [(n, pairs(binades(f, -149, 128), binades(f, -149, 128)))]),
        Range("extreme", "both near the top (2^124 .. FLT_MAX) or both tiny (2^-149 .. 2^-100)",
              lambda p: True,
              [(n // 2, pairs(binades(f, 124, 128), binades(f, 124, 128))),
               (n // 2, pairs(binades(f, -149, -100), binades(f, -149, -100)))]),
    ], [(3.0, 4.0), (1.0, 2.0**-23), (1.0, f.next_toward(2.0**-23, 1)),
        (1.0, f.next_toward(2.0**-23, 0)), (1.0, 2.0**-24), (fmax, 2.0**100),
        (2.0**-126, 2.0**-126), (2.0**-149, 2.0**-126)])

    tables["tgamma"] = (mp.gamma, [
        Range("tiny", "0 < x <= 2^-26, log-uniform (overflowing results skipped)",
              lambda x: 0 < x <= 2.0**-26, [(n, binades(f, -128, -26))]),
        Range("small", "2^-26 < x < 1, log-uniform and uniform", lambda x: 2.0**-26 < x < 1,
              [(n // 2, binades(f, -26, 0)), (n // 2, uniform(f, 0.0, 1.0))]),
        Range("medium", "1 <= x < 20, non-integers, uniform", lambda x: 1 <= x < 20 and non_integer(x),
              [(n, uniform(f, 1.0, 20.0))]),
        Range("large", "20 <= x <= 35.0401 (last finite float result), non-integers, uniform",
              lambda x: 20 <= x <= 35.0401 and non_integer(x), [(n, uniform(f, 20.0, 35.0401))]),
        Range("integers", "x = 1, 2, ..., 35: (x-1)!", lambda x: 1 <= x <= 35 and not non_integer(x),
              [(35, fixed([float(k) for k in range(1, 36)]))]),
        Range("negative", "-20 < x < 0, non-integers: uniform, log-uniform near 0, beside the poles",
              lambda x: -20 < x < 0 and non_integer(x),
              [(n // 2, uniform(f, -20.0, 0.0)), (n // 4, binades(f, -126, 0, sign=-1)),
               (n // 4, near_integers(f, -19, -1, -19, -2))]),
        Range("negative-large", "-36 < x < -20, non-integers (results below 2^-126 skipped)",
              lambda x: -36 < x < -20 and non_integer(x),
              [(n * 3 // 4, uniform(f, -36.0, -20.0)), (n // 4, near_integers(f, -35, -21, -18, -2))]),
    ], [2.0**-26, 0.5, 1.5, 19.5, 20.5, 35.04, 35.0401, -0.5, -19.5, -20.5])

    def m_lgamma(x):
        return mp.loggamma(x) if x > 0 else mp.log(abs(mp.gamma(x)))

    def lg(lo, hi):
        return lambda x: lo <= x < hi and not (0.99 <= x <= 1.01) and not (1.99 <= x <= 2.01)
    tables["lgamma"] = (m_lgamma, [
        Range("tiny", "0 < x <= 2^-26, log-uniform over all float binades", lambda x: 0 < x <= 2.0**-26,
              [(n, binades(f, -149, -26))]),
        Range("small", "2^-26 < x < 0.99, log-uniform and uniform", lambda x: 2.0**-26 < x < 0.99,
              [(n // 2, binades(f, -26, 0)), (n // 2, uniform(f, 0.0, 0.99))]),
        Range("near-zero-1", "0.99 <= x <= 1.01 (zero of lgamma at 1: measure absolute error): "
              "uniform and 1 +- d with d log-uniform in [2^-24, 2^-7)", lambda x: 0.99 <= x <= 1.01,
              [(n // 2, uniform(f, 0.99, 1.01)), (n // 4, offset_binades(f, 1.0, 1, -23, -7)),
               (n // 4, offset_binades(f, 1.0, -1, -24, -7))]),
        Range("near-zero-2", "1.99 <= x <= 2.01 (zero of lgamma at 2: measure absolute error): "
              "uniform and 2 +- d with d log-uniform in [2^-23, 2^-7)", lambda x: 1.99 <= x <= 2.01,
              [(n // 2, uniform(f, 1.99, 2.01)), (n // 4, offset_binades(f, 2.0, 1, -22, -7)),
               (n // 4, offset_binades(f, 2.0, -1, -23, -7))]),
        Range("low", "1.01 < x < 3 outside [1.99, 2.01], uniform", lg(1.0, 3.0),
              [(n, uniform(f, 1.0, 3.0))]),
        Range("medium", "3 <= x < 15, uniform", lg(3.0, 15.0), [(n, uniform(f, 3.0, 15.0))]),
        Range("high", "15 <= x < 100, uniform", lg(15.0, 100.0), [(n, uniform(f, 15.0, 100.0))]),
        Range("large", "100 <= x < 1e6, log-uniform", lg(100.0, 1e6), [(n, binades(f, 6, 20))]),
        Range("huge", "1e6 <= x < 4.08e36, log-uniform (results above FLT_MAX skipped)",
              lambda x: 1e6 <= x < 4.08e36, [(n, binades(f, 20, 122))]),
        Range("negative", "-100 < x < 0, non-integers: uniform, log-uniform near 0, beside the poles",
              lambda x: -100 < x < 0 and non_integer(x),
              [(n // 2, uniform(f, -100.0, 0.0)), (n // 4, binades(f, -149, 0, sign=-1)),
               (n // 4, near_integers(f, -99, -1, -17, -2))]),
    ], [2.0**-26, 0.5, 1.0, 1.5, 2.0, 2.5, 3.0, 15.0, 100.0, 1e6, 4.0e36, 4.08e36, -0.5, -2.5])
    return tables


# ---------------------------------------------------------------------------
# Reference values


def exact_fraction(v):
    sign, man, exp, _ = v._mpf_
    if exp >= 0:
        q = Fraction(man << exp)
    else:
        q = Fraction(man, 1 << -exp)
    return -q if sign else q


def double_double(v):
    """(hi, lo, exact) for a finite mpf v: hi is v rounded to nearest binary64,
    lo the binary64 nearest to v - hi.  Python's int / int division is
    correctly rounded, subnormals included.  None when v is not finite or
    beyond DBL_MAX."""
    if not mpmath.isfinite(v):
        return None
    q = exact_fraction(v)
    if abs(q) > Fraction(DBL_MAX):
        return None
    hi = q.numerator / q.denominator
    r = q - Fraction(hi)
    lo = r.numerator / r.denominator
    if hi == 0.0 and q < 0:
        hi = -0.0
    return hi, lo, q


def reference(fn, args):
    """Evaluate fn at rising precision until two evaluations round to the
    same double-double."""
    unset = object()
    previous = unset
    for prec in PRECISIONS:
        with mp.workprec(prec):
            try:
                v = fn(*[mpf(a) for a in args])
            except (ValueError, ZeroDivisionError):
                return None
            if isinstance(v, mpmath.mpc):
                if v.imag != 0:
                    raise RuntimeError("complex result for %r" % (args,))
                v = v.real
            cur = double_double(v)
        if previous is not unset and (cur is None) == (previous is None) and \
                (cur is None or cur[:2] == previous[:2]):
            return cur
        previous = cur
    raise RuntimeError("no agreement for %r" % (args,))


def hexf(v):
    """C hex float with trailing zero digits removed: 0x1.8p+2, -0x1p-3."""
    if v == 0.0:
        return "-0x0p+0" if math.copysign(1.0, v) < 0 else "0x0p+0"
    s = v.hex()
    mant, exp = s.split("p")
    if "." in mant:
        mant = mant.rstrip("0").rstrip(".")
    return mant + "p" + exp


# ---------------------------------------------------------------------------
# Table generation


def generate_table(function, fmt, fn, ranges, thresholds):
    # erf and erfc draw the same arguments in their common ranges, so that
    # the accuracy tests (and the cross-check erf + erfc = 1) can pair them
    seed_name = "erf" if function == "erfc" else function
    binary = function == "hypot"
    min_result = fmt.min_normal
    max_result = fmt.max_value
    seen = set()
    per_range = {}
    extra_names = []

    def candidates():
        for rg in ranges:
            for idx, (count, sampler) in enumerate(rg.parts):
                rng = random.Random("%s%s/%s/%d" % (seed_name, fmt.suffix, rg.name, idx))
                for _ in range(count):
                    yield rg, sampler(rng)
        for t in thresholds:
            if binary:
                x, y = fmt.round(t[0]), fmt.round(t[1])
                pts = [(x, yy) for yy in fmt.neighbours(y, 1)]
            else:
                pts = fmt.neighbours(fmt.round(t), 2)
            for p in pts:
                for rg in ranges:
                    if rg.accept(p):
                        yield rg, p
                        break

    for rg, p in candidates():
        args = p if binary else (p,)
        if any(not math.isfinite(a) or not fmt.contains(a) for a in args):
            continue
        if not rg.accept(p) or args in seen:
            continue
        seen.add(args)
        ref = reference(fn, args)
        if ref is None:
            continue
        hi, lo, exact = ref
        name = rg.name
        if exact == 0 or abs(exact) > Fraction(max_result):
            continue
        if abs(exact) < Fraction(min_result):
            if fmt is DOUBLE and rg.tiny_result_names:
                name = rg.tiny_result_names[0] if hi != 0 else rg.tiny_result_names[1]
                if name not in extra_names:
                    extra_names.append(name)
            else:
                continue
        per_range.setdefault(name, []).append((args, hi, lo))

    lines_by_range = []
    for name in [rg.name for rg in ranges] + extra_names:
        rows = sorted(per_range.get(name, []), key=lambda r: r[0])
        lines_by_range.append((name, rows))
    return lines_by_range


def header(function, fmt, ranges, thresholds, lines_by_range):
    counts = dict((name, len(rows)) for name, rows in lines_by_range)
    binary = function == "hypot"
    args = "x, y" if binary else "x"
    kind = "double arguments" if fmt is DOUBLE else "float-representable arguments"
    limit = "2^-1022" if fmt is DOUBLE else "2^-126 (FLT_MIN)"
    top = "DBL_MAX" if fmt is DOUBLE else "FLT_MAX"
    what = "log|Gamma(x)|" if function == "lgamma" else "%s(%s)" % (function, args)
    out = [
        "# Generated by common/reference/generate.py; do not edit.  Regenerate with:"
        " python3 common/reference/generate.py",
        "# %s%s: reference values of %s for %s" % (function, fmt.suffix, what, kind),
        "# mpmath %s, working precision %d bits, confirmed at %d bits "
        "(raised up to %d bits until two evaluations agree)"
        % (mpmath.__version__, PRECISIONS[0], PRECISIONS[1], PRECISIONS[-1]),
        "# columns (tab separated, C hex floats): range, %s, ref_hi, ref_lo"
        % ("x, y" if binary else "x"),
        "# ref_hi: exact result rounded to nearest binary64; ref_lo: binary64 nearest to exact - ref_hi",
        "# skipped: results that are zero, infinite, NaN, above %s or below %s in magnitude"
        % (top, limit),
    ]
    for rg in ranges:
        out.append("# range %s: %s (%d points)" % (rg.name, rg.text, counts.get(rg.name, 0)))
    for name, rows in lines_by_range:
        if name == "reflection-subnormal":
            out.append("# range reflection-subnormal: points of reflection-tail whose result is "
                       "subnormal; ref_hi is the correctly rounded subnormal (%d points)" % len(rows))
        elif name == "reflection-underflow":
            out.append("# range reflection-underflow: points of reflection-tail whose exact "
                       "|result| is below 2^-1075 (half the smallest subnormal), so ref_hi is "
                       "the correctly rounded signed zero (%d points)" % len(rows))
    if function == "hypot":
        listed = ", ".join("(%r, %r)" % (fmt.round(a), fmt.round(b)) for a, b in thresholds)
        how = "each y with its neighbour on each side"
    else:
        listed = ", ".join(repr(fmt.round(t)) for t in thresholds)
        how = "each with two neighbours on each side"
    out.append("# thresholds (%s), placed in the range that contains them: %s" % (how, listed))
    return out


def write_table(path, function, fmt, ranges, thresholds, lines_by_range):
    binary = function == "hypot"
    with open(path, "w", newline="\n") as fh:
        for line in header(function, fmt, ranges, thresholds, lines_by_range):
            fh.write(line + "\n")
        for name, rows in lines_by_range:
            for args, hi, lo in rows:
                cols = [name] + [hexf(a) for a in args] + [hexf(hi), hexf(lo)]
                fh.write("\t".join(cols) + "\n")
    return sum(len(rows) for _, rows in lines_by_range)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--out", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), "data"),
                        help="output directory (default: data/ beside this script)")
    parser.add_argument("functions", nargs="*", help="only these files (e.g. erf tgammaf)")
    opts = parser.parse_args(argv)
    os.makedirs(opts.out, exist_ok=True)
    start = time.time()
    total = 0
    for fmt, tables in ((DOUBLE, build_double_tables()), (FLOAT, build_float_tables())):
        for function in sorted(tables):
            file_name = function + fmt.suffix
            if opts.functions and file_name not in opts.functions:
                continue
            t0 = time.time()
            fn, ranges, thresholds = tables[function]
            lines = generate_table(function, fmt, fn, ranges, thresholds)
            path = os.path.join(opts.out, file_name + ".tsv")
            count = write_table(path, function, fmt, ranges, thresholds, lines)
            total += count
            print("%-8s %6d points %8d bytes %6.1f s" % (file_name, count, os.path.getsize(path),
                                                          time.time() - t0), file=sys.stderr)
    print("total    %6d points, %.1f s" % (total, time.time() - start), file=sys.stderr)


if __name__ == "__main__":
    main(sys.argv[1:])
