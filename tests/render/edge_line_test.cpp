#include "engine/render/edge_line.hpp"
#include "frame.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace korvid {
namespace {

using test::Frame;

constexpr uint32_t background = 0xFF808080;

ScreenPoint at(float x, float y, float invZ = 0.5f) {
    return ScreenPoint{x, y, 1.0f / invZ, invZ};
}

TEST(EdgeLine, DarkenWeighsThePairByTheLinesPosition) {
    Frame f(20, 16, background);
    drawEdgeLine(f.ctx, at(10.0f, 12.0f), at(10.0f, 2.0f), EdgeLineMode::darken);
    // x = 10.0 gives the pair (9, 10) with weight 0: column 9 black, column 10 at 255/256.
    for (int32_t y = 0; y < 16; ++y) {
        const bool drawn = y >= 2 && y < 12;
        EXPECT_EQ(f.pixel(9, y), drawn ? 0x00000000u : background) << y;
        EXPECT_EQ(f.pixel(10, y), drawn ? 0x007F7F7Fu : background) << y;
        EXPECT_EQ(f.pixel(11, y), background) << y;
    }
    EXPECT_EQ(f.countNot(background), 20);
    for (float d : f.depth)
        ASSERT_EQ(d, 0.0f);

    // Halfway between two columns: both halves at about half their value.
    Frame g(20, 16, background);
    drawEdgeLine(g.ctx, at(5.5f, 3.0f), at(5.5f, 4.0f), EdgeLineMode::darken);
    EXPECT_EQ(g.pixel(4, 3), 0x00404040u); // 128 * 128 / 256
    EXPECT_EQ(g.pixel(5, 3), 0x003F3F3Fu); // 128 * 127 / 256
}

TEST(EdgeLine, BlendPullsTheSecondPixelTowardTheFirst) {
    Frame f(20, 16, background);
    for (int32_t y = 0; y < 16; ++y)
        f.pixel(4, y) = 0xFF0000FF;
    drawEdgeLine(f.ctx, at(5.5f, 2.0f), at(5.5f, 6.0f), EdgeLineMode::blend);
    // Pair (4, 5) with weight 128: (0x80 * 127 + first * 128) / 256 per channel.
    const uint32_t blended = uint32_t((0x80 * 127) / 256) << 16 |
                             uint32_t((0x80 * 127) / 256) << 8 |
                             uint32_t((0x80 * 127 + 0xFF * 128) / 256);
    for (int32_t y = 2; y < 6; ++y) {
        EXPECT_EQ(f.pixel(4, y), 0xFF0000FFu) << y;
        EXPECT_EQ(f.pixel(5, y), blended) << y;
    }
    EXPECT_EQ(f.countNot(background), 16 + 4);
}

// Darken at weight f over the 0x80 background: the first pixel of the pair, the second.
uint32_t darkFirst(int32_t f) {
    return uint32_t(0x80 * f / 256) * 0x010101u;
}
uint32_t darkSecond(int32_t f) {
    return uint32_t(0x80 * (255 - f) / 256) * 0x010101u;
}

// Checks pairs of a mostly horizontal line: column c pairs the rows of floor(y(c)) with
// the weight of the fraction of y(c), where y(c) is the line's height, one pixel back.
void expectColumns(Frame& f, int32_t first, int32_t last, double y0, double slope) {
    for (int32_t c = first; c <= last; ++c) {
        const double y = y0 + (c - first) * slope;
        const int32_t row = int32_t(std::floor(y)), w = int32_t((y - row) * 256.0);
        EXPECT_EQ(f.pixel(c, row), darkFirst(w)) << c;
        EXPECT_EQ(f.pixel(c, row + 1), darkSecond(w)) << c;
    }
    EXPECT_EQ(f.countNot(background), 2 * (last - first + 1));
}

TEST(EdgeLine, MostlyHorizontalLinesStepColumnsAndPairRows) {
    // Moved one pixel left and down first, to (1, 6.25)-(17, 7.25): columns 1 to 16, the
    // pair's upper row at y - 1 = 5.25 + (c - 1) / 16.
    Frame f(20, 16, background);
    drawEdgeLine(f.ctx, at(2.0f, 5.25f), at(18.0f, 6.25f), EdgeLineMode::darken);
    expectColumns(f, 1, 16, 5.25, 1.0 / 16.0);

    // Ends on one row are not one above the other: nothing is drawn.
    Frame flat(20, 16, background);
    drawEdgeLine(flat.ctx, at(2.0f, 5.25f), at(15.0f, 5.25f), EdgeLineMode::darken);
    drawEdgeLine(flat.ctx, at(15.0f, 9.0f), at(2.0f, 9.0f), EdgeLineMode::blend);
    EXPECT_EQ(flat.countNot(background), 0);

    // A diagonal touches one pair a column; its ends are drawn in any order.
    Frame a(20, 16, background), b(20, 16, background);
    drawEdgeLine(a.ctx, at(2.0f, 3.0f), at(14.0f, 8.5f), EdgeLineMode::darken);
    drawEdgeLine(b.ctx, at(14.0f, 8.5f), at(2.0f, 3.0f), EdgeLineMode::darken);
    EXPECT_EQ(a.colour, b.colour);
    EXPECT_EQ(a.countNot(background), 24);
}

TEST(EdgeLine, LinesAtFortyFiveDegreesStepRowsAndOnlyTheRisingOneMoves) {
    // dx/dy = 1 is moved one pixel left and down first, dx/dy = -1 is not; both step rows,
    // here at weight 0: the first pixel of each pair black, the second at 255/256.
    Frame rising(20, 16, background), falling(20, 16, background);
    drawEdgeLine(rising.ctx, at(2.0f, 3.0f), at(12.0f, 13.0f), EdgeLineMode::darken);
    drawEdgeLine(falling.ctx, at(12.0f, 3.0f), at(2.0f, 13.0f), EdgeLineMode::darken);
    for (int32_t r = 0; r < 10; ++r) {
        // Moved to (1, 4)-(11, 14): rows 4 to 13, each pair from column row - 4.
        EXPECT_EQ(rising.pixel(r, r + 4), darkFirst(0)) << r;
        EXPECT_EQ(rising.pixel(r + 1, r + 4), darkSecond(0)) << r;
        // Rows 3 to 12 at x = 15 - row: each pair from column 14 - row.
        EXPECT_EQ(falling.pixel(11 - r, r + 3), darkFirst(0)) << r;
        EXPECT_EQ(falling.pixel(12 - r, r + 3), darkSecond(0)) << r;
    }
    EXPECT_EQ(rising.countNot(background), 20);
    EXPECT_EQ(falling.countNot(background), 20);
}

TEST(EdgeLine, NearerSurfacesHideTheLine) {
    Frame f(20, 16, background);
    f.depthAt(9, 3) = 0.5f, f.depthAt(10, 3) = 0.5f; // the line's 0.4 is below 0.999 * 0.5
    f.depthAt(9, 4) = 0.4f, f.depthAt(10, 4) = 0.4f; // 0.4 >= 0.3996
    f.depthAt(9, 5) = 0.5f;                          // the smaller of the pair decides: 0
    f.depthAt(10, 5) = 0.0f;
    f.depthAt(9, 6) = 0.5f, f.depthAt(10, 6) = 0.5f;
    drawEdgeLine(f.ctx, at(10.0f, 2.0f, 0.4f), at(10.0f, 8.0f, 0.4f), EdgeLineMode::darken);
    EXPECT_EQ(f.pixel(9, 2), 0u); // empty depth: drawn whatever its 1/z
    EXPECT_EQ(f.pixel(9, 3), background);
    EXPECT_EQ(f.pixel(9, 4), 0u);
    EXPECT_EQ(f.pixel(9, 5), 0u);
    EXPECT_EQ(f.pixel(9, 6), background);
    EXPECT_EQ(f.pixel(9, 7), 0u);
    EXPECT_EQ(f.depthAt(9, 4), 0.4f);

    // 1/z is interpolated along the line: the near end shows, the far end hides.
    Frame g(20, 16, background);
    for (float& d : g.depth)
        d = 0.5f;
    drawEdgeLine(g.ctx, at(10.0f, 2.0f, 0.9f), at(10.0f, 12.0f, 0.1f), EdgeLineMode::darken);
    EXPECT_EQ(g.pixel(9, 3), 0u);
    EXPECT_EQ(g.pixel(9, 10), background);
}

TEST(EdgeLine, LinesAreClippedInsideTheRectangle) {
    // Against the rectangle shrunk by one pixel: x 6 to 29, y 5 to 19.
    const auto clipped = [](Frame& f) {
        f.ctx.xmin = 5, f.ctx.xmax = 30, f.ctx.ymin = 4, f.ctx.ymax = 20;
    };
    // A vertical line through it keeps rows 5 to 18, pair (16, 17) at weight 128.
    Frame v(40, 30, background);
    clipped(v);
    drawEdgeLine(v.ctx, at(17.5f, -100.0f), at(17.5f, 100.0f), EdgeLineMode::darken);
    for (int32_t y = 5; y < 19; ++y) {
        EXPECT_EQ(v.pixel(16, y), darkFirst(128)) << y;
        EXPECT_EQ(v.pixel(17, y), darkSecond(128)) << y;
    }
    EXPECT_EQ(v.countNot(background), 28);

    // Slope 1/16, moved to (-101, 11)-(99, 23.5): the lower end slides up to y = 19
    // (x = 27), the upper end right to x = 6 (y = 17.6875). Columns 6 to 26.
    Frame h(40, 30, background);
    clipped(h);
    drawEdgeLine(h.ctx, at(-100.0f, 10.0f), at(100.0f, 22.5f), EdgeLineMode::darken);
    expectColumns(h, 6, 26, 16.6875, 1.0 / 16.0);

    // Lines from every direction leave no pixel outside the real rectangle.
    Frame f(40, 30, background);
    clipped(f);
    const ScreenPoint ends[][2] = {
        {at(-50.0f, -40.0f), at(90.0f, 70.0f)}, {at(-50.0f, 70.0f), at(90.0f, -40.0f)},
        {at(0.0f, 0.0f), at(4.0f, 3.0f)},       {at(31.0f, 21.0f), at(39.0f, 29.0f)},
        {at(-1e30f, 5.0f), at(1e30f, 6.0f)},
    };
    for (const auto& e : ends)
        for (const EdgeLineMode mode : {EdgeLineMode::darken, EdgeLineMode::blend})
            drawEdgeLine(f.ctx, e[0], e[1], mode);
    for (int32_t y = 0; y < 30; ++y)
        for (int32_t x = 0; x < 40; ++x)
            if (x < 5 || x >= 30 || y < 4 || y >= 20) {
                ASSERT_EQ(f.pixel(x, y), background) << x << "," << y;
            }
    EXPECT_GT(f.countNot(background), 40);

    // Lines wholly outside, points and non-finite ends draw nothing.
    Frame g(40, 30, background);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    drawEdgeLine(g.ctx, at(-5.0f, 3.0f), at(-1.0f, 28.0f), EdgeLineMode::darken);
    drawEdgeLine(g.ctx, at(3.0f, -5.0f), at(30.0f, -1.0f), EdgeLineMode::darken);
    drawEdgeLine(g.ctx, at(12.0f, 12.0f), at(12.0f, 12.0f), EdgeLineMode::darken);
    drawEdgeLine(g.ctx, at(nan, 12.0f), at(20.0f, 12.0f), EdgeLineMode::darken);
    EXPECT_EQ(g.countNot(background), 0);
}

} // namespace
} // namespace korvid
