#include "demo/twist_modifier.hpp"
#include "engine/scene/render_data.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using korvid::Vector;

namespace {

// The twist written out plainly, every angle worked out afresh.
double plainAngle(float z, float phase, float amount) {
    return (std::cos(z * 0.013 + double(phase * 1.2f)) + std::sin(z * 0.01 + phase)) * amount;
}

Vector plainPosition(const Vector& p, const Vector& centre, float phase, float amount) {
    const double r = std::sqrt(double(p.x * p.x + p.y * p.y));
    const double th =
        std::atan2(double(p.x - centre.x), double(p.y - centre.y)) + plainAngle(p.z, phase, amount);
    return {float(std::sin(th) * r + centre.x), float(std::cos(th) * r + centre.y), p.z};
}

Vector plainNormal(const Vector& n, float z, float phase, float amount) {
    const double r = std::sqrt(double(n.x * n.x + n.y * n.y));
    const double th = std::atan2(double(n.x), double(n.y)) + plainAngle(z, phase, amount);
    return {float(std::sin(th) * r), float(std::cos(th) * r), n.z};
}

} // namespace

TEST(TwistModifier, RemembersAnglesWithoutChangingThem) {
    // Rings of points at a few heights, their normals asked for at the same heights, over
    // several settings, one of them coming back; and more heights than the modifier keeps.
    TwistModifier twist;
    twist.centre = Vector{3.0f, -2.0f, 7.0f};
    std::vector<Vector> points;
    for (int i = 0; i < 6000; ++i) {
        const float z = i < 3000 ? float(i % 40) * 2.5f - 30.0f : float(i) * 0.37f;
        points.push_back(Vector{std::cos(float(i)) * 20.0f, std::sin(float(i)) * 15.0f, z});
    }
    const korvid::RenderVertex vertex;
    const float settings[][2] = {
        {0.0f, 0.0f}, {1.5f, 0.7f}, {1.5f, 2.0f}, {0.0f, 0.0f}, {-3.25f, 1.0f}};
    for (const auto& s : settings) {
        twist.phase = s[0];
        twist.amount = s[1];
        for (const Vector& p : points) {
            const Vector moved = twist.deformPosition(p);
            const Vector expected = plainPosition(p, twist.centre, s[0], s[1]);
            ASSERT_EQ(moved, expected) << p.z << " phase " << s[0] << " amount " << s[1];
        }
        for (const Vector& p : points) {
            const Vector n{p.y * 0.05f, p.x * 0.05f, 0.5f};
            ASSERT_EQ(twist.deformNormal(n, vertex, p), plainNormal(n, p.z, s[0], s[1]));
        }
    }
}
