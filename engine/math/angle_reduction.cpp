#include "engine/math/angle_reduction.hpp"

#include <cstring>

namespace korvid::maths {

namespace {

// a * b as a 128-bit number, from 32-bit halves (the same on every compiler).
void multiply64(uint64_t a, uint64_t b, uint64_t& hi, uint64_t& lo) {
    const uint64_t a0 = a & 0xFFFFFFFFu, a1 = a >> 32, b0 = b & 0xFFFFFFFFu, b1 = b >> 32;
    const uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
    const uint64_t middle = (p00 >> 32) + (p01 & 0xFFFFFFFFu) + (p10 & 0xFFFFFFFFu);
    lo = (middle << 32) | (p00 & 0xFFFFFFFFu);
    hi = p11 + (p01 >> 32) + (p10 >> 32) + (middle >> 32);
}

// 64 digits of 2/pi from bit position p of the table on (position 0 is the top of word 0).
uint64_t digitsAt(int p) {
    const int word = p >> 6, shift = p & 63;
    if (shift == 0)
        return twoOverPiBits[word];
    return (twoOverPiBits[word] << shift) | (twoOverPiBits[word + 1] >> (64 - shift));
}

} // namespace

ReducedAngle reduceLargeAngle(double x) {
    uint64_t bits = 0;
    std::memcpy(&bits, &x, sizeof bits);
    const int exponent = int((bits >> 52) & 0x7FF);
    const uint64_t m = (bits & ((uint64_t(1) << 52) - 1)) | (uint64_t(1) << 52);
    // |x| = m 2^e with e = exponent - 1075 (x is normal: |x| > pi/4). Of |x| 2/pi only the
    // part modulo 4 matters (whole turns), and the digits of 2/pi of weight 2^-i with
    // i <= e - 2 give multiples of 4: the 192 digits from i = e - 1 on, times m, leave
    // 2 bits of quadrant and 190 of fraction. The digits left out add less than 2^-137.
    // Digit i sits at position i + 63 of the table; e - 1 >= -54 for |x| > pi/4.
    const int p = exponent - 1076 + 63;
    const uint64_t w0 = digitsAt(p), w1 = digitsAt(p + 64), w2 = digitsAt(p + 128);
    uint64_t h2, l2, h1, l1;
    multiply64(m, w2, h2, l2);
    multiply64(m, w1, h1, l1);
    l1 += h2;
    h1 += l1 < h2 ? 1 : 0;
    const uint64_t top = m * w0 + h1; // modulo 2^64: the whole turns fall away
    int k = int(top >> 62);
    // The fraction, 190 bits, as a 192-bit number f0 f1 f2 scaled by 2^-192.
    uint64_t f0 = (top << 2) | (l1 >> 62), f1 = (l1 << 2) | (l2 >> 62), f2 = l2 << 2;
    // Past half a quadrant, count the next one and go back from it.
    const bool back = (f0 >> 63) != 0;
    if (back) {
        ++k;
        f0 = ~f0, f1 = ~f1, f2 = ~f2;
        if (++f2 == 0 && ++f1 == 0)
            ++f0;
    }
    // Bring the leading 1 to the top; 2/pi is irrational, so the fraction is never 0 to
    // the precision that |x| allows (the closest a double comes to a multiple of pi/2 is
    // about 2^-61), but stay defined if it were.
    int shifted = 0;
    while (f0 == 0 && shifted < 128) {
        f0 = f1, f1 = f2, f2 = 0;
        shifted += 64;
    }
    double hi = 0.0, lo = 0.0;
    if (f0 != 0) {
        const int lead = __builtin_clzll(f0);
        if (lead > 0) {
            f0 = (f0 << lead) | (f1 >> (64 - lead));
            f1 = (f1 << lead) | (f2 >> (64 - lead));
        }
        shifted += lead;
        // f = (a 2^-53 + b 2^-116) 2^-shifted, a the top 53 bits, b the next 63.
        const uint64_t a = f0 >> 11, b = ((f0 & 0x7FF) << 52) | (f1 >> 12);
        const double fHi = double(a) * powerOfTwo(-53 - shifted);
        const double fLo = double(b) * powerOfTwo(-116 - shifted);
        // r = f pi/2
        DoubleDouble r = twoProduct(fHi, halfPiHi);
        r.lo += fHi * halfPiLo + fLo * halfPiHi;
        r = fastTwoSum(r.hi, r.lo);
        hi = r.hi, lo = r.lo;
    }
    if (back)
        hi = -hi, lo = -lo;
    if (x < 0.0)
        hi = -hi, lo = -lo, k = -k;
    return {k & 3, hi, lo};
}

} // namespace korvid::maths
