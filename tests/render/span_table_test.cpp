#include "engine/render/span_table.hpp"
#include "frame.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace korvid {
namespace {

SpanTable spanTable;

ScreenPoint at(float x, float y) {
    return ScreenPoint{x, y, 1.0f, 1.0f};
}

int32_t rowWidth(int32_t y) {
    return spanTable.right[size_t(y)] - spanTable.left[size_t(y)];
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
    for (int32_t y = 10; y < 20; ++y)
        EXPECT_GT(rowWidth(y), 0) << y;

    // Left edge at x = 5.9 and right edge at x = 9.2 on row 0: pixels 5 to 8.
    scanTriangle(at(5.9f, 0.0f), at(5.9f, 50.0f), at(9.2f, 0.0f), clip, true, spanTable);
    EXPECT_EQ(spanTable.yStart, 0);
    EXPECT_EQ(spanTable.left[0], 5);
    EXPECT_EQ(spanTable.right[0], 9);

    // Fractional corners: the first row is the ceil of the top.
    scanTriangle(at(10.5f, 3.2f), at(1.0f, 7.0f), at(20.0f, 7.9f), clip, true, spanTable);
    EXPECT_EQ(spanTable.yStart, 4);
    EXPECT_EQ(spanTable.yEnd, 8);
}

TEST(ScanTriangle, BackFacesAreEmptyUnlessTheWindingIsReversed) {
    const Rect clip{0, 64, 0, 48};
    // The front face above with B and C exchanged.
    scanTriangle(at(2.0f, 10.0f), at(40.0f, 10.0f), at(2.0f, 20.0f), clip, true, spanTable);
    EXPECT_EQ(spanTable.yStart, 10);
    EXPECT_EQ(spanTable.yEnd, 20);
    for (int32_t y = spanTable.yStart; y < spanTable.yEnd; ++y)
        EXPECT_LE(rowWidth(y), 0) << y;

    scanTriangle(at(2.0f, 10.0f), at(40.0f, 10.0f), at(2.0f, 20.0f), clip, false, spanTable);
    EXPECT_EQ(spanTable.left[10], 2);
    EXPECT_EQ(spanTable.right[10], 40);

    // Horizontal and point triangles cover no row.
    scanTriangle(at(2.0f, 10.0f), at(30.0f, 10.0f), at(12.0f, 10.0f), clip, true, spanTable);
    EXPECT_TRUE(spanTable.empty());
    scanTriangle(at(7.0f, 7.0f), at(7.0f, 7.0f), at(7.0f, 7.0f), clip, true, spanTable);
    EXPECT_TRUE(spanTable.empty());
}

TEST(ScanTriangle, SpansAreClampedIntoTheClipRectangle) {
    const Rect clip{4, 30, 5, 25};
    scanTriangle(at(-10.0f, -10.0f), at(-10.0f, 40.0f), at(50.0f, -10.0f), clip, true, spanTable);
    EXPECT_EQ(spanTable.yStart, 5);
    EXPECT_EQ(spanTable.yEnd, 25);
    for (int32_t y = 5; y < 25; ++y) {
        EXPECT_EQ(spanTable.left[size_t(y)], 4) << y;
        EXPECT_LE(spanTable.right[size_t(y)], 30) << y;
    }
    EXPECT_EQ(spanTable.right[5], 30);
    EXPECT_EQ(spanTable.right[24], 9); // x = -10 + (40 - 24) * 60 / 50 = 9.2

    // Wholly outside: no row, or only empty ones.
    scanTriangle(at(40.0f, 0.0f), at(40.0f, 20.0f), at(60.0f, 0.0f), clip, true, spanTable);
    for (int32_t y = spanTable.yStart; y < spanTable.yEnd; ++y)
        EXPECT_LE(rowWidth(y), 0) << y;
    scanTriangle(at(0.0f, -50.0f), at(0.0f, -20.0f), at(20.0f, -50.0f), clip, true, spanTable);
    EXPECT_TRUE(spanTable.empty());

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
