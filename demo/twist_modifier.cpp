#include "demo/twist_modifier.hpp"

#include <cmath>

using korvid::Vector;

double TwistModifier::angleAt(float z) const {
    // 0.013 and 0.01 are doubles; the phase's factor is the float nearest 1.2.
    return (std::cos(z * 0.013 + double(phase * 1.2f)) + std::sin(z * 0.01 + phase)) * amount;
}

Vector TwistModifier::deformPosition(const Vector& p) {
    // The radius is taken about the origin, the angle about the centre.
    const double r = std::sqrt(double(p.x * p.x + p.y * p.y));
    const double th = std::atan2(double(p.x - centre.x), double(p.y - centre.y)) + angleAt(p.z);
    return {float(std::sin(th) * r + centre.x), float(std::cos(th) * r + centre.y), p.z};
}

Vector TwistModifier::deformNormal(const Vector& n, const korvid::RenderVertex&,
                                   const Vector& positionBefore) {
    const double r = std::sqrt(double(n.x * n.x + n.y * n.y));
    const double th = std::atan2(double(n.x), double(n.y)) + angleAt(positionBefore.z);
    return {float(std::sin(th) * r), float(std::cos(th) * r), n.z};
}
