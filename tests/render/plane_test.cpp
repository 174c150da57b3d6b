#include "engine/render/plane.hpp"

#include <gtest/gtest.h>

#include <random>

namespace korvid {
namespace {

// The value at (x, y) from barycentric weights in double precision.
double direct(const ScreenPoint p[3], const float a[3], double x, double y) {
    const double area =
        (p[1].x - p[0].x) * double(p[2].y - p[0].y) - (p[2].x - p[0].x) * double(p[1].y - p[0].y);
    const double w1 = ((x - p[0].x) * (p[2].y - p[0].y) - (p[2].x - p[0].x) * (y - p[0].y)) / area;
    const double w2 = ((p[1].x - p[0].x) * (y - p[0].y) - (x - p[0].x) * (p[1].y - p[0].y)) / area;
    return a[0] * (1.0 - w1 - w2) + a[1] * w1 + a[2] * w2;
}

TEST(Plane, MatchesDirectEvaluationAndTheCornerValues) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> coordinate(-50.0f, 550.0f), value(-10.0f, 70.0f);
    int tested = 0;
    while (tested < 500) {
        ScreenPoint p[3];
        float a[3];
        for (int k = 0; k < 3; ++k) {
            p[k] = ScreenPoint{coordinate(random), coordinate(random), 1.0f, 1.0f};
            a[k] = value(random);
        }
        TriangleSetup t;
        if (!t.begin(p[0], p[1], p[2]) || std::fabs(t.det) < 100.0f)
            continue;
        ++tested;
        // det is twice the signed area, positive when the edges running down are on the left.
        const float cross =
            (p[2].x - p[0].x) * (p[2].y - p[1].y) - (p[2].y - p[0].y) * (p[2].x - p[1].x);
        EXPECT_NEAR(t.det, -cross, std::fabs(cross) * 1e-5f);
        const Plane plane = t.plane(a[0], a[1], a[2]);
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(plane.at(p[k].x, p[k].y), a[k], 0.01);
        for (int i = 0; i < 4; ++i) {
            const float x = coordinate(random), y = coordinate(random);
            const double expected = direct(p, a, x, y);
            EXPECT_NEAR(plane.at(x, y), expected, 1e-3 * (1.0 + std::fabs(expected)));
        }
    }
}

TEST(Plane, DegenerateTrianglesAreRefused) {
    TriangleSetup t;
    const ScreenPoint a{0.0f, 0.0f, 1.0f, 1.0f}, b{10.0f, 10.0f, 1.0f, 1.0f},
        c{20.0f, 20.0f, 1.0f, 1.0f};
    EXPECT_FALSE(t.begin(a, b, c));
    EXPECT_EQ(t.det, 0.0f);
    EXPECT_FALSE(t.begin(a, a, a));
    const ScreenPoint far{std::numeric_limits<float>::infinity(), 0.0f, 1.0f, 1.0f};
    EXPECT_FALSE(t.begin(a, b, far));
    EXPECT_TRUE(
        t.begin(a, ScreenPoint{0.0f, 10.0f, 1.0f, 1.0f}, ScreenPoint{10.0f, 0.0f, 1.0f, 1.0f}));
    EXPECT_EQ(t.det, 100.0f);
}

} // namespace
} // namespace korvid
