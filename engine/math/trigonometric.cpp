// sin, cos and tan: the angle reduced to r = hi + lo within pi/4 of 0, then one of two
// polynomials, chosen and signed by the quadrant.

#include "engine/math/angle_reduction.hpp"
#include "engine/math/elementary.hpp"

namespace korvid {

using namespace maths;

namespace {

// Below this size sin x is x and cos x is 1, correctly rounded (x^3/6 and x^2/2 are less
// than half an ulp); this also passes signed zeros and subnormals through unchanged.
constexpr double tiny = 0x1p-27;

// sin(hi + lo) = hi + (hi z S(z) + lo (1 - z/2)) with z = hi^2: the correction is at most a
// tenth of hi, so its rounding errors weigh a tenth as much as the final addition's. The
// sum comes as two doubles, its upper part the rounded sine.
DoubleDouble sineOf(double hi, double lo) {
    const double z = hi * hi;
    return fastTwoSum(hi, (hi * z) * polynomial(sineTail, z) + lo * (1.0 - 0.5 * z));
}

// cos(hi + lo) = 1 - z/2 + z^2 C(z) - hi lo with z = hi^2. 1 - z/2 is where precision is
// lost (z/2 reaches 0.31), so z is taken exactly, and what rounding 1 - z/2 loses is
// put back: (1 - w) - z/2 is exact, both subtractions being of numbers within a factor 2.
DoubleDouble cosineOf(double hi, double lo) {
    const DoubleDouble z = square(hi);
    const double half = 0.5 * z.hi;
    const double w = 1.0 - half;
    const double lost = (1.0 - w) - half;
    const double tail = (z.hi * z.hi) * polynomial(cosineTail, z.hi);
    return fastTwoSum(w, ((lost - 0.5 * z.lo) - hi * lo) + tail);
}

} // namespace

double sin(double x) {
    const double ax = std::fabs(x);
    if (!(ax >= tiny && ax < HUGE_VAL))
        return ax < tiny ? x : x - x; // NaN for NaN and infinities
    const ReducedAngle r = reduceAngle(x);
    switch (r.quadrant) {
    case 0:
        return sineOf(r.hi, r.lo).hi;
    case 1:
        return cosineOf(r.hi, r.lo).hi;
    case 2:
        return -sineOf(r.hi, r.lo).hi;
    default:
        return -cosineOf(r.hi, r.lo).hi;
    }
}

double cos(double x) {
    const double ax = std::fabs(x);
    if (!(ax >= tiny && ax < HUGE_VAL))
        return ax < tiny ? 1.0 : x - x;
    const ReducedAngle r = reduceAngle(x);
    switch (r.quadrant) {
    case 0:
        return cosineOf(r.hi, r.lo).hi;
    case 1:
        return -sineOf(r.hi, r.lo).hi;
    case 2:
        return -cosineOf(r.hi, r.lo).hi;
    default:
        return sineOf(r.hi, r.lo).hi;
    }
}

void sincos(double x, double& s, double& c) {
    const double ax = std::fabs(x);
    if (!(ax >= tiny && ax < HUGE_VAL)) {
        s = ax < tiny ? x : x - x;
        c = ax < tiny ? 1.0 : x - x;
        return;
    }
    const ReducedAngle r = reduceAngle(x);
    const double sine = sineOf(r.hi, r.lo).hi, cosine = cosineOf(r.hi, r.lo).hi;
    switch (r.quadrant) {
    case 0:
        s = sine, c = cosine;
        break;
    case 1:
        s = cosine, c = -sine;
        break;
    case 2:
        s = -sine, c = -cosine;
        break;
    default:
        s = -cosine, c = sine;
        break;
    }
}

// sin r / cos r with both to two doubles (good to about 2^-56) and the quotient's remainder
// taken exactly: within an ulp and a hair.
double tan(double x) {
    const double ax = std::fabs(x);
    if (!(ax >= tiny && ax < HUGE_VAL))
        return ax < tiny ? x : x - x; // tan x = x + x^3/3 rounds to x
    const ReducedAngle r = reduceAngle(x);
    const DoubleDouble s = sineOf(r.hi, r.lo), c = cosineOf(r.hi, r.lo);
    // In the odd quadrants tan x = -cos r / sin r.
    const bool odd = (r.quadrant & 1) != 0;
    const DoubleDouble n = odd ? c : s, d = odd ? s : c;
    const double q = n.hi / d.hi;
    const DoubleDouble p = twoProduct(q, d.hi);
    const double t = q + ((((n.hi - p.hi) - p.lo) + n.lo) - q * d.lo) / d.hi;
    return odd ? -t : t;
}

} // namespace korvid
