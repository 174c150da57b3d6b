// atan, atan2, asin and acos, all through one kernel: the arctangent of a ratio n/d of
// two numbers with 0 <= n <= d, as the sum of two doubles, to which the quadrant's
// multiple of pi/2 is then added before the one rounding.

#include "engine/math/double_double.hpp"
#include "engine/math/elementary.hpp"
#include "engine/math/maths_constants.hpp"

namespace korvid {

using namespace maths;

namespace {

// atan(n/d) for 0 <= n <= d as the sum of two doubles, within 2^-60 or so, where n/d >=
// 2^-60 and d lies within 2^-500..2^500. With Wide, n + nLo and d + dLo are sums of two
// doubles; without, the low parts are 0 and left out.
template <bool Wide>
DoubleDouble arctangentOfRatio(double n, double nLo, double d, double dLo) {
    const double q = n / d;
    if (q < 1.0 / 16) {
        // atan q = q + q w A(w), w = q^2, with q to two doubles: the remainder of the
        // division, n - q d, is exact from the exact product q d.
        const DoubleDouble p = twoProduct(q, d);
        double remainder = (n - p.hi) - p.lo;
        if (Wide)
            remainder += nLo - q * dLo;
        const double w = q * q;
        return {q, remainder / d + (q * w) * polynomial(arctangentSmall, w)};
    }
    // atan(n/d) = atan c + atan u with c = j/256 the nearest table point (j >= 16) and
    // u = (n - c d) / (d + c n), |u| <= 1/512. c has 9 significant bits, so c times the
    // upper half of a split d is exact, and n minus it too (the two are within 4% of each
    // other): u comes out within 2^-51 of its size, which is at most 1/32 of the result,
    // and so weighs 2^-56 of it.
    const int j = int(q * 256.0 + 0.5);
    const double c = j * 0x1p-8;
    const DoubleDouble dSplit = split(d);
    double numerator = (n - c * dSplit.hi) - c * dSplit.lo;
    double denominator = d + c * n;
    if (Wide) {
        numerator += nLo - c * dLo;
        denominator += dLo + c * nLo;
    }
    const double u = numerator / denominator;
    const double w = u * u;
    DoubleDouble sum = fastTwoSum(arctangentTable[j][0], u);
    sum.lo += arctangentTable[j][1] + (u * w) * polynomial(arctangentTail, w);
    return sum;
}

// (aHi + aLo) - b for sums of two doubles, a the larger.
DoubleDouble minus(double aHi, double aLo, DoubleDouble b) {
    DoubleDouble s = twoSum(aHi, -b.hi);
    s.lo += aLo - b.lo;
    return s;
}

// (aHi + aLo) + b for sums of two doubles, a the larger.
DoubleDouble plus(double aHi, double aLo, DoubleDouble b) {
    DoubleDouble s = twoSum(aHi, b.hi);
    s.lo += aLo + b.lo;
    return s;
}

double rounded(DoubleDouble a) {
    return a.hi + a.lo;
}

// sqrt(1 - x^2) for |x| < 1 as the sum of two doubles: 1 - x^2 exactly from the exact
// square, its root with the remainder of the root taken into account.
DoubleDouble complementRoot(double x) {
    const DoubleDouble xx = square(x);
    DoubleDouble d = twoSum(1.0, -xx.hi);
    d = fastTwoSum(d.hi, d.lo - xx.lo);
    const double root = std::sqrt(d.hi);
    const DoubleDouble r2 = square(root);
    return {root, (((d.hi - r2.hi) - r2.lo) + d.lo) / (2.0 * root)};
}

} // namespace

double atan2(double y, double x) {
    if (x != x || y != y)
        return x + y;
    const double ax = std::fabs(x), ay = std::fabs(y);
    const bool negative = std::signbit(y);
    const auto sign = [negative](double v) { return negative ? -v : v; };
    // Zeros and infinities, as the C standard has them.
    if (ay == 0.0)
        return std::signbit(x) ? sign(piHi) : y;
    if (ax == 0.0 || (ay == HUGE_VAL && ax < HUGE_VAL))
        return sign(halfPiHi);
    if (ax == HUGE_VAL) {
        if (ay == HUGE_VAL)
            return sign(x > 0.0 ? quarterPiHi
                                : rounded(minus(piHi, piLo, {quarterPiHi, quarterPiLo})));
        return x > 0.0 ? sign(0.0) : sign(piHi);
    }
    const bool steep = ay > ax;
    double n = steep ? ax : ay, d = steep ? ay : ax;
    DoubleDouble a;
    const double q = n / d;
    if (q < 0x1p-60) {
        // atan q = q within far less than an ulp; q itself is correctly rounded, even
        // where it falls below the normal range.
        a = {q, 0.0};
    } else {
        if (d > 0x1p500)
            n *= 0x1p-600, d *= 0x1p-600;
        else if (d < 0x1p-500)
            n *= 0x1p600, d *= 0x1p600;
        a = arctangentOfRatio<false>(n, 0.0, d, 0.0);
    }
    // Into the quadrant: pi/2 - a above the diagonal, pi - a left of the axis, and both
    // together pi/2 + a, in one exact sum each.
    if (steep)
        a = x < 0.0 ? plus(halfPiHi, halfPiLo, a) : minus(halfPiHi, halfPiLo, a);
    else if (x < 0.0)
        a = minus(piHi, piLo, a);
    return sign(rounded(a));
}

double atan(double x) {
    const double ax = std::fabs(x);
    if (!(ax >= 0x1p-27))
        return x; // tiny, zero or NaN: atan x = x - x^3/3 rounds to x
    double a;
    if (ax > 0x1p60)
        a = halfPiHi + (halfPiLo - 1.0 / ax); // pi/2 - 1/x, and pi/2 for infinities
    else if (ax <= 1.0)
        a = rounded(arctangentOfRatio<false>(ax, 0.0, 1.0, 0.0));
    else
        a = rounded(minus(halfPiHi, halfPiLo, arctangentOfRatio<false>(1.0, 0.0, ax, 0.0)));
    return x < 0.0 ? -a : a;
}

// asin x = atan2(x, sqrt(1 - x^2))
double asin(double x) {
    const double ax = std::fabs(x);
    if (!(ax <= 1.0))
        return (x - x) / (x - x); // NaN beyond 1 and for NaN
    if (ax < 0x1p-26)
        return x; // asin x = x + x^3/6 rounds to x
    double a = halfPiHi;
    if (ax < 1.0) {
        const DoubleDouble s = complementRoot(ax);
        a = ax <= s.hi
                ? rounded(arctangentOfRatio<true>(ax, 0.0, s.hi, s.lo))
                : rounded(minus(halfPiHi, halfPiLo, arctangentOfRatio<true>(s.hi, s.lo, ax, 0.0)));
    }
    return x < 0.0 ? -a : a;
}

// acos x = atan2(sqrt(1 - x^2), x)
double acos(double x) {
    const double ax = std::fabs(x);
    if (!(ax <= 1.0))
        return (x - x) / (x - x);
    if (ax == 1.0)
        return x > 0.0 ? 0.0 : piHi;
    const DoubleDouble s = complementRoot(ax);
    DoubleDouble a = ax <= s.hi
                         ? minus(halfPiHi, halfPiLo, arctangentOfRatio<true>(ax, 0.0, s.hi, s.lo))
                         : arctangentOfRatio<true>(s.hi, s.lo, ax, 0.0);
    if (x < 0.0)
        a = minus(piHi, piLo, a);
    return rounded(a);
}

} // namespace korvid
