// exp, exp2, log, log10 and pow through two kernels: the exponential of a sum of two doubles and
// the logarithm as a sum of two doubles, each good to about 2^-68, so that pow, which
// multiplies a logarithm by up to 1075, still ends within an ulp. Then sinh and tanh in
// float.

#include "engine/math/double_double.hpp"
#include "engine/math/elementary.hpp"
#include "engine/math/maths_constants.hpp"

namespace korvid {

using namespace maths;

namespace {

// m 2^k for m near 1 and any k, with one rounding where the result is subnormal.
double scaled(double m, int k) {
    if (k > 1023)
        return m * powerOfTwo(1023) * powerOfTwo(k - 1023 > 1023 ? 1023 : k - 1023);
    if (k < -1022)
        return m * powerOfTwo(k + 600) * powerOfTwo(-600);
    return m * powerOfTwo(k);
}

// exp(a + aLo) for |aLo| <= ulp(a), |a| <= 750 or so: a = n ln2/64 + r, |r| <= ln2/128,
// and exp a = 2^(n/64) exp r = 2^k 2^(j/64) (1 + p) with p = exp r - 1.
double exponentialOf(double a, double aLo) {
    if (a > 710.0)
        return HUGE_VAL;
    if (a < -746.0)
        return 0.0; // below half the least subnormal
    const double shifter = 0x1.8p52;
    const double nd = (a * sixtyFourOverLn2 + shifter) - shifter;
    const int n = int(nd);
    // n times the first piece is exact (|n| < 2^17) and so is a minus it (within a factor 2
    // of each other unless n is 0); the rest of r is rounded once, an error of 2^-60 of
    // the result at most.
    const double r = ((a - nd * ln2Over64Hi) - nd * ln2Over64Lo) + aLo;
    const double p = r + (r * r) * polynomial(exponentialTail, r);
    const int j = n & 63;
    const int k = (n - j) / 64;
    const double th = exponentialTable[j][0], tl = exponentialTable[j][1];
    return scaled(th + (th * p + tl), k);
}

// log x for finite x > 0, as the sum of two doubles: x = 2^e m with 0.75 <= m < 1.5,
// m = f (1 + r) with f = 0.75 + i/256 the nearest table point, |r| <= 1/384, and
// log x = e ln2 + log f + log(1 + r).
DoubleDouble logarithmOf(double x) {
    int e = 0;
    if (x < 0x1p-1022) {
        x *= 0x1p54;
        e = -54;
    }
    uint64_t bits = 0;
    std::memcpy(&bits, &x, sizeof bits);
    e += int(bits >> 52) - 1023;
    bits = (bits & ((uint64_t(1) << 52) - 1)) | (uint64_t(1023) << 52);
    double m;
    std::memcpy(&m, &bits, sizeof m);
    if (m >= 1.5) {
        m *= 0.5;
        ++e;
    }
    const int i = int((m - 0.75) * 256.0 + 0.5);
    const double f = 0.75 + i * 0x1p-8;
    // m - f is exact (f is a multiple of 2^-8 within 2^-9 of m). r = (m - f)/f to two
    // doubles: f has 9 significant bits, so the products with the halves of r are exact,
    // and so is the remainder.
    const double d = m - f;
    const double r = d / f;
    const DoubleDouble rs = split(r);
    const double rLo = ((d - rs.hi * f) - rs.lo * f) / f;
    // log(1 + r + rLo) = r - r^2/2 + r^3 L(r) + rLo (1 - r), with r^2 exact.
    const DoubleDouble rr = square(r);
    DoubleDouble h = twoSum(r, -0.5 * rr.hi);
    h.lo += ((rLo - 0.5 * rr.lo) - r * rLo) + (r * rr.hi) * polynomial(logarithmTail, r);
    // e times the first piece of ln 2 is exact (|e| < 2^11).
    const DoubleDouble s1 = twoSum(e * ln2Hi, logarithmTable[i][0]);
    const DoubleDouble s2 = twoSum(s1.hi, h.hi);
    const double lo = ((s1.lo + s2.lo) + (e * ln2Lo + logarithmTable[i][1])) + h.lo;
    return fastTwoSum(s2.hi, lo);
}

bool isOddInteger(double y) {
    // Beyond 2^53 every double is even.
    return std::fabs(y) < 0x1p53 && std::floor(y) == y && std::fmod(y, 2.0) != 0.0;
}

// sinh x for |x| < 0.5 from its Taylor series to x^11/11!: the first term left out is
// below 2^-44 of the sum.
double sinhSeries(double x) {
    const double z = x * x;
    return x + (x * z) * (1.0 / 6 +
                          z * (1.0 / 120 + z * (1.0 / 5040 + z * (1.0 / 362880 + z / 39916800))));
}

} // namespace

double exp(double x) {
    if (x != x)
        return x + x;
    return exponentialOf(x, 0.0);
}

double exp2(double x) {
    if (x != x)
        return x + x;
    if (!(std::fabs(x) < 1100.0))
        return x > 0.0 ? HUGE_VAL : 0.0;
    // x ln2 to two doubles, good to 2^-98.
    DoubleDouble a = twoProduct(x, ln2Head);
    a.lo += x * ln2Tail;
    return exponentialOf(a.hi, a.lo);
}

double log(double x) {
    if (!(x > 0.0 && x < HUGE_VAL)) {
        if (x == 0.0)
            return -HUGE_VAL;
        return x == HUGE_VAL ? x : (x - x) / (x - x); // NaN for negatives and NaN
    }
    return logarithmOf(x).hi;
}

// log x / ln 10 with both to two doubles.
double log10(double x) {
    if (!(x > 0.0 && x < HUGE_VAL))
        return log(x);
    const DoubleDouble l = logarithmOf(x);
    DoubleDouble p = twoProduct(l.hi, inverseLn10Hi);
    p.lo += l.hi * inverseLn10Lo + l.lo * inverseLn10Hi;
    return p.hi + p.lo;
}

// x^y = exp(y log x) with the product taken to two doubles, and the special cases of the
// C standard.
double pow(double x, double y) {
    if (y == 0.0 || x == 1.0)
        return 1.0;
    if (x != x || y != y)
        return x + y;
    const double ax = std::fabs(x);
    if (std::isinf(y)) {
        if (ax == 1.0)
            return 1.0;
        return (ax > 1.0) == (y > 0.0) ? HUGE_VAL : 0.0;
    }
    const bool odd = isOddInteger(y);
    if (x == 0.0) {
        if (y < 0.0)
            return odd ? 1.0 / x : HUGE_VAL;
        return odd ? x : 0.0;
    }
    if (std::isinf(x)) {
        if (x > 0.0)
            return y < 0.0 ? 0.0 : HUGE_VAL;
        if (y < 0.0)
            return odd ? -0.0 : 0.0;
        return odd ? -HUGE_VAL : HUGE_VAL;
    }
    if (x < 0.0 && std::floor(y) != y)
        return (x - x) / (x - x);
    const double sign = x < 0.0 && odd ? -1.0 : 1.0;
    const DoubleDouble l = logarithmOf(ax);
    const double t = y * l.hi;
    if (t > 710.0)
        return sign * HUGE_VAL;
    if (t < -746.0)
        return sign * 0.0;
    DoubleDouble a = twoProduct(y, l.hi);
    a.lo += y * l.lo;
    return sign * exponentialOf(a.hi, a.lo);
}

float sinh(float x) {
    const double v = x;
    if (std::fabs(v) < 0.5)
        return float(sinhSeries(v));
    const double e = exp(std::fabs(v));
    const double s = 0.5 * (e - 1.0 / e);
    return float(v < 0.0 ? -s : s);
}

float tanh(float x) {
    const double v = x, a = std::fabs(v);
    if (v != v)
        return x;
    double t = 1.0;
    if (a < 0.5) {
        const double s = sinhSeries(a);
        t = s / std::sqrt(1.0 + s * s);
    } else if (a < 20.0) {
        const double e = exp(2.0 * a);
        t = (e - 1.0) / (e + 1.0);
    }
    return float(v < 0.0 || (v == 0.0 && std::signbit(v)) ? -t : t);
}

} // namespace korvid
