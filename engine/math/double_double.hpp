#pragma once
// Exact sums and products of doubles: each returns the rounded result and the error that
// rounding made, so that a value can be carried as the unevaluated sum hi + lo of two
// doubles, with about 106 bits. They hold only under round-to-nearest double arithmetic
// without fused multiply-adds, which the build guarantees (-ffp-contract=off).

#include <cstdint>
#include <cstring>

namespace korvid::maths {

struct DoubleDouble {
    double hi, lo;
};

// a + b exactly, whatever their sizes (Knuth's two-sum).
inline DoubleDouble twoSum(double a, double b) {
    const double s = a + b;
    const double bb = s - a;
    return {s, (a - (s - bb)) + (b - bb)};
}

// a + b exactly, when |a| >= |b| or a is 0 (Dekker's fast two-sum).
inline DoubleDouble fastTwoSum(double a, double b) {
    const double s = a + b;
    return {s, b - (s - a)};
}

// a as hi + lo with hi holding the leading 26 bits and lo the other 27 (Veltkamp), so that
// the product of either half with another such half, or with a number of at most 26
// significant bits, is exact. Valid for |a| below 2^995.
inline DoubleDouble split(double a) {
    const double t = 134217729.0 * a; // 2^27 + 1
    const double hi = t - (t - a);
    return {hi, a - hi};
}

// a * b exactly (Dekker's two-product), barring overflow and underflow.
inline DoubleDouble twoProduct(double a, double b) {
    const double p = a * b;
    const DoubleDouble x = split(a), y = split(b);
    return {p, ((x.hi * y.hi - p) + x.hi * y.lo + x.lo * y.hi) + x.lo * y.lo};
}

// a * a exactly.
inline DoubleDouble square(double a) {
    const double p = a * a;
    const DoubleDouble x = split(a);
    return {p, ((x.hi * x.hi - p) + 2.0 * x.hi * x.lo) + x.lo * x.lo};
}

// 2^e, for -1022 <= e <= 1023, from its bits.
inline double powerOfTwo(int e) {
    const uint64_t bits = uint64_t(e + 1023) << 52;
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

// c[0] + c[1] x + c[2] x^2 + ..., by Horner's rule.
template <int N>
inline double polynomial(const double (&c)[N], double x) {
    double s = c[N - 1];
    for (int i = N - 2; i >= 0; --i)
        s = s * x + c[i];
    return s;
}

} // namespace korvid::maths
