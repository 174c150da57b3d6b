#pragma once
// The reduction of an angle to the quarter turn around 0: x = k pi/2 + r, |r| <= pi/4 (a
// hair more where k is rounded the other way), with r carried as the sum of two doubles.

#include "engine/math/double_double.hpp"
#include "engine/math/maths_constants.hpp"

#include <cmath>
#include <cstdint>

namespace korvid::maths {

struct ReducedAngle {
    int quadrant; // k mod 4
    double hi, lo;
};

// For any finite x with |x| > pi/4, exactly enough for 1 ulp however close x comes to a
// multiple of pi/2: from the digits of 2/pi that matter at x's exponent.
ReducedAngle reduceLargeAngle(double x);

// For any finite x.
inline ReducedAngle reduceAngle(double x) {
    const double ax = std::fabs(x);
    if (ax <= quarterPiHi)
        return {0, x, 0.0};
    if (ax < 0x1p19) {
        // k = x 2/pi rounded to nearest: adding and taking away 1.5 * 2^52 leaves no bits
        // below the point. Then x - k pi/2 with pi/2 in three pieces: with k below 2^19,
        // k times each of the first two is exact, and so is x minus the first product
        // (the two are within a factor 2 of each other); the third product is rounded, an
        // error below 2^-100 in all.
        const double shifter = 0x1.8p52;
        const double k = (x * twoOverPi + shifter) - shifter;
        const DoubleDouble s = twoSum(x - k * halfPi1, -(k * halfPi2));
        const DoubleDouble r = fastTwoSum(s.hi, s.lo - k * halfPi3);
        // Near a multiple of pi/2 that error would show: take the long way there.
        if (std::fabs(r.hi) > 0x1p-30)
            return {int(int64_t(k) & 3), r.hi, r.lo};
    }
    return reduceLargeAngle(x);
}

} // namespace korvid::maths
