#!/usr/bin/env python3
"""Derives every constant of the engine's maths functions and writes them as C++.

    python3 tools/maths/derive_constants.py > engine/math/maths_constants.hpp
    python3 tools/maths/derive_constants.py --check engine/math/maths_constants.hpp

Nothing is taken from elsewhere. pi comes from Machin's formula and ln 2 from
2 atanh(1/3), both summed in integer arithmetic; every table entry from a series
summed in integer or exact rational arithmetic; every polynomial from a minimax fit
(a Remez exchange in 60-digit decimal arithmetic) of the series it replaces, weighted
by what its error adds to the function's result, with its coefficients rounded to the
nearest double. No floating-point library function is used, so the output is the same
on every machine. Doubles are written as hexadecimal literals, so the C++ compiler reads
back the very bits derived here.
"""

import sys
from decimal import Decimal, getcontext
from fractions import Fraction
from math import isqrt

getcontext().prec = 60

WORK_BITS = 400  # fixed-point precision of the series below, far beyond two doubles


# ---------------------------------------------------------------- fixed-point series


def atan_inverse(n, one):
    """atan(1/n) * one, by its Taylor series."""
    total, power, k, sign = 0, one // n, 1, 1
    while power:
        total += sign * (power // k)
        power //= n * n
        k += 2
        sign = -sign
    return total


def pi_fixed(bits):
    """floor(pi * 2^bits), give or take a unit, by Machin's formula."""
    guard = 64
    one = 1 << (bits + guard)
    return (16 * atan_inverse(5, one) - 4 * atan_inverse(239, one)) >> guard


def ln2_fixed(bits):
    """ln 2 * 2^bits, by ln 2 = 2 atanh(1/3) = 2 sum 1 / ((2k + 1) 3^(2k + 1))."""
    guard = 64
    one = 1 << (bits + guard)
    total, power, k = 0, one // 3, 1
    while power:
        total += power // k
        power //= 9
        k += 2
    return (2 * total) >> guard


def exp_fixed(x, one):
    """exp(x / one) * one for 0 <= x < one, by its Taylor series."""
    total, term, k = one, one, 1
    while term:
        term = term * x // (one * k)
        total += term
        k += 1
    return total


def atan_fixed(x, one):
    """atan(x / one) * one for 0 <= x <= one: the angle halved twice
    (atan t = 2 atan(t / (1 + sqrt(1 + t^2)))), then the Taylor series."""
    for _ in range(2):
        x = x * one // (one + isqrt(one * one + x * x))
    total, power, k, sign = 0, x, 1, 1
    while power:
        total += sign * (power // k)
        power = power * x // one * x // one
        k += 2
        sign = -sign
    return 4 * total


def log_fixed(f, one):
    """log(f) * one for a rational f near 1, as 2 atanh((f - 1) / (f + 1))."""
    t = (f - 1) / (f + 1)
    tf = (abs(t.numerator) * one) // t.denominator
    total, power, k = 0, tf, 1
    while power:
        total += power // k
        power = power * tf // one * tf // one
        k += 2
    return 2 * total if t >= 0 else -2 * total


# ---------------------------------------------------------------- doubles


def to_double(x):
    """The double nearest x (Python rounds a Fraction to nearest, ties to even)."""
    return float(Fraction(x))


def split_double(x):
    """x as an unevaluated sum of two doubles, hi + lo, hi the double nearest x."""
    x = Fraction(x)
    hi = float(x)
    return hi, float(x - Fraction(hi))


def truncate_bits(x, bits):
    """x cut to its leading `bits` significant bits (toward zero)."""
    x = Fraction(x)
    e = 0
    while abs(x) >= 2 ** (e + 1):
        e += 1
    while abs(x) < 2**e:
        e -= 1
    scale = Fraction(2) ** (bits - 1 - e)
    return Fraction(int(x * scale), 1) / scale


def hexd(x):
    return float(x).hex()


# ---------------------------------------------------------------- minimax fits


def spread(a, b, n, offset):
    """n points from a to b, crowded toward both ends as a minimax error's extrema are:
    t = (i + offset) / (n - 1 + 2 offset) mapped through 3t^2 - 2t^3, in exact arithmetic."""
    points = []
    for i in range(n):
        t = Fraction(2 * i + 2 * offset, 2 * (n - 1) + 4 * offset)
        u = 3 * t * t - 2 * t * t * t
        x = Fraction(a) + (Fraction(b) - Fraction(a)) * u
        points.append(Decimal(x.numerator) / Decimal(x.denominator))
    return points


def log2(x):
    return float(Decimal(x).ln() / Decimal(2).ln())


def solve(matrix, rhs):
    """Gaussian elimination with partial pivoting, in decimal arithmetic."""
    n = len(rhs)
    m = [row[:] + [r] for row, r in zip(matrix, rhs)]
    for c in range(n):
        p = max(range(c, n), key=lambda r: abs(m[r][c]))
        m[c], m[p] = m[p], m[c]
        for r in range(c + 1, n):
            f = m[r][c] / m[c][c]
            for k in range(c, n + 1):
                m[r][k] -= f * m[c][k]
    x = [Decimal(0)] * n
    for r in reversed(range(n)):
        s = m[r][n] - sum(m[r][k] * x[k] for k in range(r + 1, n))
        x[r] = s / m[r][r]
    return x


def horner(coefficients, x):
    s = Decimal(0)
    for c in reversed(coefficients):
        s = s * x + c
    return s


def remez(f, weight, a, b, degree, fixed=(), grid_size=2000):
    """The coefficients c_k..c_degree (k = len(fixed)) that, after the fixed lower ones,
    minimise max |p(x) - f(x)| weight(x) on [a, b]: a Remez exchange, its extrema sought
    on a grid."""
    fixed = list(fixed)
    n = degree + 2 - len(fixed)
    # The first reference avoids the ends, where a weight may vanish.
    reference = spread(a, b, n, Fraction(1, 2))
    reference = [x if weight(x) != 0 else x + (Decimal(b) - Decimal(a)) / 1000 for x in reference]
    grid = spread(a, b, grid_size, 0)
    values = {x: f(x) for x in grid}
    value = lambda x: values[x] if x in values else f(x)
    coefficients = None
    for _ in range(40):
        rows, rhs = [], []
        for i, x in enumerate(reference):
            powers = [Decimal(1)]
            while len(powers) <= degree:
                powers.append(powers[-1] * x)
            wx = weight(x)
            rows.append([wx * p for p in powers[len(fixed):]] + [-((-1) ** i)])
            rhs.append(wx * (value(x) - sum(c * p for c, p in zip(fixed, powers))))
        solution = solve(rows, rhs)
        coefficients, level = solution[:-1], abs(solution[-1])
        full = fixed + coefficients
        errors = [((horner(full, x) - values[x]) * weight(x), x) for x in grid]
        # One extremum per run of equal sign, then trimmed at the ends to n points.
        runs = []
        for e, x in errors:
            if runs and (e >= 0) == (runs[-1][0] >= 0):
                if abs(e) > abs(runs[-1][0]):
                    runs[-1] = (e, x)
            else:
                runs.append((e, x))
        while len(runs) > n:
            runs.pop(0 if abs(runs[0][0]) < abs(runs[-1][0]) else -1)
        if len(runs) < n:
            break
        reference = [x for _, x in runs]
        worst = max(abs(e) for e, _ in errors)
        if worst <= level * Decimal("1.001"):
            break
    return coefficients


def max_weighted_error(f, weight, coefficients, a, b, points=4000):
    """Largest weighted error of the polynomial with these (rounded) coefficients."""
    worst = Decimal(0)
    for x in spread(a, b, points, 0):
        worst = max(worst, abs((horner(coefficients, x) - f(x)) * weight(x)))
    return worst


def power_series(x, coefficient):
    """sum coefficient(k) x^k for k = 0, 1, ..., until the terms vanish."""
    total, power, k = Decimal(0), Decimal(1), 0
    while True:
        term = coefficient(k) * power
        total += term
        if k > 2 and abs(term) < Decimal("1e-58"):
            return total
        power *= x
        k += 1


def factorial(n):
    r = 1
    for k in range(2, n + 1):
        r *= k
    return r


def sine_tail(z):
    # (sin r - r) / r^3 with z = r^2: sum (-1)^(k+1) z^k / (2k+3)!
    return power_series(z, lambda k: Decimal((-1) ** (k + 1)) / factorial(2 * k + 3))


def cosine_tail(z):
    # (cos r - 1 + r^2/2) / r^4 with z = r^2: sum (-1)^k z^k / (2k+4)!
    return power_series(z, lambda k: Decimal((-1) ** k) / factorial(2 * k + 4))


def arctangent_tail(w):
    # (atan u - u) / u^3 with w = u^2: sum (-1)^(k+1) w^k / (2k+3)
    return power_series(w, lambda k: Decimal((-1) ** (k + 1)) / (2 * k + 3))


def exponential_tail(r):
    # (exp r - 1 - r) / r^2: sum r^k / (k+2)!
    return power_series(r, lambda k: Decimal(1) / factorial(k + 2))


def logarithm_tail(r):
    # (log(1 + r) - r + r^2/2) / r^3: sum (-1)^k r^k / (k+3)
    return power_series(r, lambda k: Decimal((-1) ** k) / (k + 3))


def fit(name, f, weight, a, b, target_log2, comment, refit=True):
    """The lowest degree whose fit meets the target once its coefficients are doubles.
    With `refit`, they are rounded one at a time, lowest first, and the higher ones fitted
    again after each rounding to make up for it (over an interval that starts at 0, where
    the weight vanishes, the rounding of the lowest coefficients would otherwise stay)."""
    for degree in range(1, 14):
        if refit:
            rounded = []
            while len(rounded) <= degree:
                free = remez(f, weight, a, b, degree, rounded)
                rounded.append(Decimal(to_double(Fraction(free[0]))))
        else:
            rounded = [Decimal(to_double(Fraction(c))) for c in remez(f, weight, a, b, degree)]
        err = max_weighted_error(f, weight, rounded, a, b)
        if err > 0 and log2(err) <= target_log2:
            return name, [float(c) for c in rounded], log2(err), comment
    raise SystemExit("no fit for " + name)


# ---------------------------------------------------------------- the constants


def derive():
    out = []
    w = out.append
    bits = WORK_BITS
    one = 1 << bits
    pi = Fraction(pi_fixed(bits), one)
    ln2 = Fraction(ln2_fixed(bits), one)
    # Self-checks against the well-known leading hexadecimal digits of pi and ln 2.
    assert abs(pi_fixed(64) - 0x3243F6A8885A308D3) <= 1
    assert abs(ln2_fixed(64) - 0xB17217F7D1CF79AB) <= 1

    half_pi = pi / 2
    w("// Generated by tools/maths/derive_constants.py, which says how every value is obtained;")
    w("// do not edit by hand. Doubles are written in hexadecimal, so they keep their derived bits.")
    w("#pragma once")
    w("// clang-format off")
    w("")
    w("#include <cstdint>")
    w("")
    w("namespace korvid::maths {")
    w("")

    # --- pi/2 in pieces for the reduction of small and middling angles.
    p1 = truncate_bits(half_pi, 33)
    p2 = truncate_bits(half_pi - p1, 33)
    p3 = Fraction(to_double(half_pi - p1 - p2))
    w("// pi/2 in three pieces: the first two have 33 significant bits, so k times either is exact")
    w("// for k below 2^20; the third is the rest rounded to a double.")
    w("inline constexpr double halfPi1 = %s;" % hexd(p1))
    w("inline constexpr double halfPi2 = %s;" % hexd(p2))
    w("inline constexpr double halfPi3 = %s;" % hexd(p3))
    hi, lo = split_double(half_pi)
    w("// pi/2, pi/4 and pi as sums of two doubles.")
    w("inline constexpr double halfPiHi = %s, halfPiLo = %s;" % (hexd(hi), hexd(lo)))
    hi, lo = split_double(pi / 4)
    w("inline constexpr double quarterPiHi = %s, quarterPiLo = %s;" % (hexd(hi), hexd(lo)))
    hi, lo = split_double(pi)
    w("inline constexpr double piHi = %s, piLo = %s;" % (hexd(hi), hexd(lo)))
    w("// 2/pi rounded, to pick the nearest multiple of pi/2.")
    w("inline constexpr double twoOverPi = %s;" % hexd(2 / pi))
    w("")

    # --- 2/pi bits for the reduction of huge angles.
    words = 22
    total_bits = 64 * words - 64
    pib = pi_fixed(total_bits + 128)
    two_over_pi = (2 << (2 * total_bits + 128)) // pib  # floor(2/pi * 2^total_bits)
    assert two_over_pi >> (total_bits - 64) == 0xA2F9836E4E441529
    w("// The binary digits of 2/pi after the point, 64 to a word, behind one word of zeros (the")
    w("// digits before the point), so that a window may start a little before the point:")
    w("// word k holds the digits of weight 2^-(64k - 63) to 2^-64k.")
    w("inline constexpr uint64_t twoOverPiBits[%d] = {" % words)
    line = "    0x0000000000000000,"
    for k in range(words - 1):
        word = (two_over_pi >> (total_bits - 64 * (k + 1))) & ((1 << 64) - 1)
        item = " 0x%016X," % word
        if len(line) + len(item) > 100:
            w(line)
            line = "   "
        line += item
    w(line)
    w("};")
    w("")

    fits = []
    quarter = Fraction(7854, 10000) + Fraction(6, 10000)  # 0.786: pi/4 and a margin
    zmax = float(quarter * quarter)
    # Each fit is weighted by what its error adds to the relative error of the result:
    # z for the sine (r z S against r), z^2 for the cosine (against cos r >= 0.7), w for
    # the arctangent, r^2 for the exponential and the logarithm.
    square = lambda x: x * x
    fits.append(fit("sineTail", sine_tail, lambda z: z, 0.0, zmax, -60,
                    "sin r = r + r z S(z), z = r^2, |r| <= 0.786"))
    fits.append(fit("cosineTail", cosine_tail, lambda z: z * z / Decimal("0.7"), 0.0, zmax, -60,
                    "cos r = 1 - z/2 + z^2 C(z), z = r^2, |r| <= 0.786"))
    umax = (1.0 / 512) ** 2 * 1.01
    fits.append(fit("arctangentTail", arctangent_tail, lambda w: w, 0.0, umax, -60,
                    "atan u = u + u w A(w), w = u^2, |u| <= 1/512"))
    qmax = (1.0 / 16) ** 2 * 1.01
    fits.append(fit("arctangentSmall", arctangent_tail, lambda w: w, 0.0, qmax, -60,
                    "atan q = q + q w A(w), w = q^2, |q| <= 1/16"))
    rmax = float(ln2 / 128) * 1.01
    fits.append(fit("exponentialTail", exponential_tail, square, -rmax, rmax, -60,
                    "exp r = 1 + r + r^2 E(r), |r| <= ln 2 / 128", refit=False))
    lmax = 1.0 / 384 * 1.01
    fits.append(fit("logarithmTail", logarithm_tail, square, -lmax, lmax, -60,
                    "log(1 + r) = r - r^2/2 + r^3 L(r), |r| <= 1/384", refit=False))
    w("// Polynomials, lowest power first: minimax fits of the series they stand for, over the")
    w("// ranges given, each with the most that its error (after rounding the coefficients to")
    w("// doubles) adds to the relative error of the function's result.")
    for name, coefficients, err, comment in fits:
        w("// %s: 2^%.1f." % (comment, err))
        w("inline constexpr double %s[%d] = {" % (name, len(coefficients)))
        for c in coefficients:
            w("    %s," % hexd(c))
        w("};")
    w("")

    # --- atan(j/256) for j = 0..256.
    w("// atan(j/256), j = 0..256, as sums of two doubles.")
    w("inline constexpr double arctangentTable[257][2] = {")
    for j in range(257):
        value = Fraction(atan_fixed(j * one // 256, one), one)
        hi, lo = split_double(value)
        w("    {%s, %s}," % (hexd(hi), hexd(lo)))
    w("};")
    w("")

    # --- 2^(j/64) for j = 0..63.
    w("// 2^(j/64), j = 0..63, as sums of two doubles.")
    w("inline constexpr double exponentialTable[64][2] = {")
    ln2f = ln2_fixed(bits)
    for j in range(64):
        value = Fraction(exp_fixed(ln2f * j // 64, one), one)
        hi, lo = split_double(value)
        w("    {%s, %s}," % (hexd(hi), hexd(lo)))
    w("};")
    # ln2/64 for the reduction: 36 bits in the first piece, so n times it is exact for |n| < 2^17.
    l1 = truncate_bits(ln2 / 64, 36)
    l2 = Fraction(to_double(ln2 / 64 - l1))
    w("// ln 2 / 64 in two pieces (36 significant bits in the first: n times it is exact for")
    w("// |n| < 2^17), and 64 / ln 2 rounded.")
    w("inline constexpr double ln2Over64Hi = %s, ln2Over64Lo = %s;" % (hexd(l1), hexd(l2)))
    w("inline constexpr double sixtyFourOverLn2 = %s;" % hexd(64 / ln2))
    # ln 2 with 42 bits in the first piece: e times it is exact for |e| < 2^11.
    g1 = truncate_bits(ln2, 42)
    g2 = Fraction(to_double(ln2 - g1))
    w("// ln 2 in two pieces (42 significant bits in the first: e times it is exact for")
    w("// |e| < 2^11), and as the sum of two doubles.")
    w("inline constexpr double ln2Hi = %s, ln2Lo = %s;" % (hexd(g1), hexd(g2)))
    hi, lo = split_double(ln2)
    w("inline constexpr double ln2Head = %s, ln2Tail = %s;" % (hexd(hi), hexd(lo)))
    # ln 10 = 3 ln 2 + ln(5/4)
    ln10 = 3 * ln2 + Fraction(log_fixed(Fraction(5, 4), one), one)
    hi, lo = split_double(1 / ln10)
    w("// 1 / ln 10 as the sum of two doubles.")
    w("inline constexpr double inverseLn10Hi = %s, inverseLn10Lo = %s;" % (hexd(hi), hexd(lo)))
    w("")

    # --- log(0.75 + i/256) for i = 0..192.
    w("// log(0.75 + i/256), i = 0..192, as sums of two doubles.")
    w("inline constexpr double logarithmTable[193][2] = {")
    for i in range(193):
        f = Fraction(192 + i, 256)
        value = Fraction(log_fixed(f, one), one)
        hi, lo = split_double(value)
        w("    {%s, %s}," % (hexd(hi), hexd(lo)))
    w("};")
    w("")
    w("} // namespace korvid::maths")
    return "\n".join(out) + "\n"


def main():
    text = derive()
    if len(sys.argv) == 3 and sys.argv[1] == "--check":
        with open(sys.argv[2]) as f:
            if f.read() != text:
                print(sys.argv[2] + " differs from its derivation", file=sys.stderr)
                sys.exit(1)
        return
    sys.stdout.write(text)


if __name__ == "__main__":
    main()
