#include "demo/effects/palettes.hpp"
#include "demo/effects/ring_field.hpp"
#include "effects_test_support.hpp"

#include <cmath>

using namespace effects_test;

namespace {

// The height at table position (x, y), from the formula itself.
uint8_t plainHeight(int32_t x, int32_t y, int32_t tw, int32_t th) {
    const int32_t dx = x - tw / 2, dy = y - th / 2;
    const double a = std::atan2(double(dy), double(dx));
    const double h = std::sqrt(double(dx * dx + dy * dy)) +
                     40.584509359066445 * (1.4 * std::cos(8 * a) + 1.3 * std::sin(13 * a));
    return uint8_t(int32_t(h));
}

// The frame at time t: three reads at the Lissajous offsets, summed in 8 bits.
std::vector<uint32_t> plainFrame(double t, const Palette& palette) {
    const int32_t cx = 256, cy = 192, tw = 1024, th = 768;
    const int32_t y1 = int32_t(90.0 * std::cos(t * double(0.8f) + double(1.1f)) + cy);
    const int32_t x1 = int32_t(120.0 * std::sin(t * double(1.1f) + 1.5) + cx);
    const int32_t y2 = int32_t(90.0 * std::cos(t * double(0.7f) + double(6.9f)) + cy);
    const int32_t x2 = int32_t(120.0 * std::sin(t * double(0.9f) + double(4.2f)) + cx);
    const int32_t y3 = int32_t(90.0 * std::cos(t * double(1.1f) + double(1.2f)) + cy);
    const int32_t x3 = int32_t(120.0 * std::sin(t * double(0.9f) + double(3.1f)) + cx);
    std::vector<uint32_t> frame(512 * 384);
    for (int32_t y = 0; y < 384; ++y)
        for (int32_t x = 0; x < 512; ++x)
            frame[size_t(y * 512 + x)] = palette[uint8_t(plainHeight(x + x1, y + y1, tw, th) +
                                                         plainHeight(x + x2, y + y2, tw, th) +
                                                         plainHeight(x + x3, y + y3, tw, th))];
    return frame;
}

} // namespace

TEST(RingField, FramesMatchTheFormula) {
    const Palette grey = grey_ramp_palette();
    RingField field(512, 384, grey, 1.4, 1.3, 8, 13);
    ASSERT_TRUE(field.isReady());
    EXPECT_EQ(field.tableWidth, 1024);
    EXPECT_EQ(field.tableHeight, 768);
    for (double t : {0.0, 7.375}) {
        std::vector<uint32_t> frame(512 * 384, 0xDEADBEEF);
        EXPECT_EQ(field.draw(frame.data(), t), 1);
        ASSERT_EQ(frame, plainFrame(t, grey)) << "t " << t;
    }

    // The clip rectangle (left, top, width, height) bounds the drawing; rows that start
    // and end between two 16-pixel steps.
    std::vector<uint32_t> band(512 * 384, 7);
    field.setClip({3, 100, 501, 20});
    field.draw(band.data(), 0.0);
    const std::vector<uint32_t> full = plainFrame(0.0, grey);
    for (size_t i = 0; i < band.size(); ++i) {
        const bool inside = i / 512 >= 100 && i / 512 < 120 && i % 512 >= 3 && i % 512 < 504;
        ASSERT_EQ(band[i], inside ? full[i] : 7u) << i;
    }
}

TEST(RingField, SmallFramesStayInsideTheTable) {
    // Offsets that would leave the table are held at its edges (checked under the
    // sanitizer build); the picture still fills the frame.
    RingField field(100, 60, grey_ramp_palette(), 1.4, 1.3, 8, 13);
    std::vector<uint32_t> frame(100 * 60, 1);
    for (double t : {0.0, 1.0, 2.5, 1e9, -1e300, std::nan(""), HUGE_VAL})
        EXPECT_EQ(field.draw(frame.data(), t), 1);
    field.setClip({-10, -10, 1000, 1000});
    EXPECT_EQ(field.draw(frame.data(), 2.5), 1);
    int32_t offsets[3];
    field.offsets(3.0, offsets);
    for (int32_t o : offsets) {
        EXPECT_GE(o, 0);
        EXPECT_LE(o % field.tableWidth, field.tableWidth - 100);
        EXPECT_LE(o / field.tableWidth, field.tableHeight - 60);
    }
}
