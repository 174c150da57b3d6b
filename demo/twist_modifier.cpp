#include "demo/twist_modifier.hpp"
#include "engine/math/elementary.hpp"

#include <cmath>
#include <cstring>

using korvid::Vector;

double TwistModifier::angleAt(float z) {
    // A new phase or amount starts a new generation of known angles (compared by their
    // bits, so that a NaN cannot keep stale angles alive).
    if (std::memcmp(&phase, &knownPhase, sizeof phase) != 0 ||
        std::memcmp(&amount, &knownAmount, sizeof amount) != 0) {
        knownPhase = phase;
        knownAmount = amount;
        if (++generation == 0) {
            known.fill({});
            generation = 1;
        }
    }
    uint32_t bits = 0;
    std::memcpy(&bits, &z, sizeof bits);
    std::array<KnownAngle, 2>& set = known[(bits * 2654435761u) >> 21];
    for (const KnownAngle& way : set)
        if (way.generation == generation && way.zBits == bits)
            return way.angle;
    // 0.013 and 0.01 are doubles; the phase's factor is the float nearest 1.2.
    const double angle =
        (korvid::cos(z * 0.013 + double(phase * 1.2f)) + korvid::sin(z * 0.01 + phase)) * amount;
    set[1] = set[0];
    set[0] = KnownAngle{bits, generation, angle};
    return angle;
}

Vector TwistModifier::deformPosition(const Vector& p) {
    // The radius is taken about the origin, the angle about the centre.
    const double r = std::sqrt(double(p.x * p.x + p.y * p.y));
    const double th = korvid::atan2(double(p.x - centre.x), double(p.y - centre.y)) + angleAt(p.z);
    double s, c;
    korvid::sincos(th, s, c);
    return {float(s * r + centre.x), float(c * r + centre.y), p.z};
}

Vector TwistModifier::deformNormal(const Vector& n, const korvid::RenderVertex&,
                                   const Vector& positionBefore) {
    const double r = std::sqrt(double(n.x * n.x + n.y * n.y));
    const double th = korvid::atan2(double(n.x), double(n.y)) + angleAt(positionBefore.z);
    double s, c;
    korvid::sincos(th, s, c);
    return {float(s * r), float(c * r), n.z};
}
