#include "engine/render/span_table.hpp"
#include "frame.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

namespace korvid {
namespace {

SpanTable spanTable;

ScreenPoint at(float x, float y) {
    return ScreenPoint{x, y, 1.0f, 1.0f};
}

int32_t rowWidth(int32_t y) {
    return spanTable.right[size_t(y)] - spanTable.left[size_t(y)];
}

// The truncated columns, clamped into [lo, hi], that x may give when it is computed another
// way: both sides of a whole number that it nearly hits.
bool columnOf(int32_t got, double x, int32_t lo, int32_t hi) {
    const auto column = [&](double v) { return int32_t(std::clamp(v, double(lo), double(hi))); };
    return got == column(x - 1e-3) || got == column(x + 1e-3);
}

TEST(ScanTriangle, RandomTrianglesCoverTheRowsAndColumnsOfTheirOutline) {
    // Front faces (whose corners turn as the pipeline's front faces do) against their
    // outline: rows ceil(top) to ceil(bottom) - 1, each from the truncated x of the
    // outline's leftmost crossing of the row's line to that of its rightmost. Back faces
    // leave every row empty, and the reversed winding is the other order of the corners.
    std::mt19937 random(17);
    std::uniform_real_distribution<float> x(-12.0f, 76.0f), y(-12.0f, 60.0f);
    const Rect clip{3, 60, 2, 45};
    const auto rowOf = [&](float v) {
        return std::clamp(int32_t(std::ceil(v)), clip.ymin, clip.ymax);
    };
    int fronts = 0, rows = 0;
    for (int n = 0; n < 3000; ++n) {
        // Corners on whole rows and columns now and then.
        ScreenPoint p[3];
        for (ScreenPoint& q : p)
            q = n % 4 ? at(x(random), y(random)) : at(std::round(x(random)), std::round(y(random)));
        const double cross = (double(p[2].x) - p[0].x) * (double(p[2].y) - p[1].y) -
                             (double(p[2].y) - p[0].y) * (double(p[2].x) - p[1].x);
        SpanTable reversed;
        scanTriangle(p[0], p[1], p[2], clip, false, reversed);
        scanTriangle(p[0], p[2], p[1], clip, true, spanTable);
        ASSERT_EQ(reversed.yStart, spanTable.yStart);
        ASSERT_EQ(reversed.yEnd, spanTable.yEnd);
        for (int32_t r = spanTable.yStart; r < spanTable.yEnd; ++r)
            ASSERT_TRUE(reversed.left[size_t(r)] == spanTable.left[size_t(r)] &&
                        reversed.right[size_t(r)] == spanTable.right[size_t(r)])
                << n << " row " << r;

        scanTriangle(p[0], p[1], p[2], clip, true, spanTable);
        const float top = std::min({p[0].y, p[1].y, p[2].y}),
                    bottom = std::max({p[0].y, p[1].y, p[2].y});
        if (rowOf(top) == rowOf(bottom)) {
            ASSERT_TRUE(spanTable.empty()) << n;
            continue;
        }
        ASSERT_EQ(spanTable.yStart, rowOf(top)) << n;
        ASSERT_EQ(spanTable.yEnd, rowOf(bottom)) << n;
        if (cross >= 0.0) {
            for (int32_t r = spanTable.yStart; r < spanTable.yEnd; ++r)
                ASSERT_LE(rowWidth(r), 0) << n << " row " << r;
            continue;
        }
        ++fronts;
        for (int32_t r = spanTable.yStart; r < spanTable.yEnd; ++r, ++rows) {
            double lo = INFINITY, hi = -INFINITY;
            for (int k = 0; k < 3; ++k) {
                const ScreenPoint &a = p[k], &b = p[(k + 1) % 3];
                if (a.y == b.y || r < std::min(a.y, b.y) || r > std::max(a.y, b.y))
                    continue;
                const double cut =
                    a.x + (r - double(a.y)) * (double(b.x) - a.x) / (double(b.y) - a.y);
                lo = std::min(lo, cut), hi = std::max(hi, cut);
            }
            ASSERT_TRUE(columnOf(spanTable.left[size_t(r)], lo, clip.xmin, clip.xmax))
                << n << " row " << r << ": " << spanTable.left[size_t(r)] << " for " << lo;
            ASSERT_TRUE(columnOf(spanTable.right[size_t(r)], hi, clip.xmin, clip.xmax))
                << n << " row " << r << ": " << spanTable.right[size_t(r)] << " for " << hi;
        }
    }
    EXPECT_GT(fronts, 1000);
    EXPECT_GT(rows, 20000);
}

TEST(ScanTriangle, RowsRunFromCeilTopToCeilBottomAndColumnsAreTruncated) {
    const Rect clip{0, 64, 0, 48};
    // Apex exactly on row 10, bottom edge exactly on row 20: rows 10 to 19.
    scanTriangle(at(2.0f, 10.0f), at(2.0f, 20.0f), at(40.0f, 10.0f), clip, true, spanTable);
    EXPECT_EQ(spanTable.yStart, 10);
    EXPECT_EQ(spanTable.yEnd, 20);
    EXPECT_EQ(spanTable.left[10], 2);
    EXPECT_EQ(spanTable.right[10], 40);
    EXPECT_EQ(spanTable.right[19], 5); // x = 40 - 0.9 * 38 = 5.8

    // Left edge at x = 5.9 and right edge at x = 9.2 on row 0: pixels 5 to 8.
    scanTriangle(at(5.9f, 0.0f), at(5.9f, 50.0f), at(9.2f, 0.0f), clip, true, spanTable);
    EXPECT_EQ(spanTable.left[0], 5);
    EXPECT_EQ(spanTable.right[0], 9);

    // The same faces with two corners exchanged face the other way: no pixels.
    scanTriangle(at(2.0f, 10.0f), at(40.0f, 10.0f), at(2.0f, 20.0f), clip, true, spanTable);
    for (int32_t y = spanTable.yStart; y < spanTable.yEnd; ++y)
        EXPECT_LE(rowWidth(y), 0) << y;
    scanTriangle(at(7.0f, 7.0f), at(7.0f, 7.0f), at(7.0f, 7.0f), clip, true, spanTable);
    EXPECT_TRUE(spanTable.empty());
}

TEST(ScanTriangle, FarCornersClampAndTallRectanglesGrowTheTable) {
    const Rect clip{4, 30, 5, 25};
    // Non-finite corners clamp like any other far-away point.
    const float inf = std::numeric_limits<float>::infinity();
    scanTriangle(at(10.0f, 10.0f), at(std::nanf(""), 20.0f), at(inf, 12.0f), clip, true, spanTable);
    for (int32_t y = spanTable.yStart; y < spanTable.yEnd; ++y) {
        EXPECT_GE(spanTable.left[size_t(y)], 4);
        EXPECT_LE(spanTable.right[size_t(y)], 30);
    }

    // A taller rectangle grows the table.
    scanTriangle(at(0.0f, 0.0f), at(0.0f, 900.0f), at(5.0f, 0.0f), Rect{0, 10, 0, 1000}, true,
                 spanTable);
    EXPECT_EQ(spanTable.capacity, 1020);
    EXPECT_EQ(spanTable.yEnd, 900);
}

} // namespace
} // namespace korvid
