#include "demo/effects/interference_plasma.hpp"
#include "demo/effects/palettes.hpp"
#include "effects_test_support.hpp"
#include "platform/crt_rand.hpp"

#include <algorithm>

using namespace effects_test;

namespace {

// Index of the pattern at pixel (x, y) of the area, from the phases directly.
uint8_t plainIndex(const InterferencePlasma& p, int32_t x, int32_t y) {
    const auto wave = [&p](int64_t phase) { return p.wave[size_t(phase & 0xFFF)]; };
    const int32_t value =
        wave(p.phase[0] + int64_t(p.step[0]) * x) + wave(p.phase[1] + int64_t(p.step[1]) * x) +
        wave(p.phase[2] + int64_t(p.step[2]) * y) + wave(p.phase[3] + int64_t(p.step[3]) * y);
    return uint8_t((value >> 16) & 255);
}

uint32_t plainAdd(uint32_t d, uint32_t e) {
    return std::min((d & 0xFF0000) + (e & 0xFF0000), 0xFF0000u) |
           std::min((d & 0xFF00) + (e & 0xFF00), 0xFF00u) |
           std::min((d & 0xFF) + (e & 0xFF), 0xFFu);
}

} // namespace

TEST(Palettes, RampsAndFlicker) {
    const Palette alpha = alpha_ramp_palette();
    EXPECT_EQ(alpha[0], 0u);
    EXPECT_EQ(alpha[1], 0x04000000u);
    EXPECT_EQ(alpha[63], 0xFC000000u);
    EXPECT_TRUE(std::all_of(&alpha[64], &alpha[128], [](uint32_t c) { return c == 0xFF000000; }));
    EXPECT_EQ(alpha[128], 0xFC000000u);
    EXPECT_EQ(alpha[129], 0xF8000000u);
    EXPECT_EQ(alpha[191], 0u);
    EXPECT_TRUE(std::all_of(&alpha[192], &alpha[256], [](uint32_t c) { return c == 0; }));

    const Palette grey = grey_ramp_palette();
    EXPECT_EQ(grey[0], 0x202020u);
    EXPECT_EQ(grey[1], 0x202020u);
    EXPECT_EQ(grey[2], 0x242424u);
    EXPECT_EQ(grey[63], 0x9C9C9Cu);
    EXPECT_EQ(grey[64], 0xA0A0A0u);
    EXPECT_EQ(grey[127], 0xA0A0A0u);
    EXPECT_EQ(grey[128], 0x9C9C9Cu);
    EXPECT_EQ(grey[129], 0x9C9CBCu);
    EXPECT_EQ(grey[190], 0x202020u);
    EXPECT_EQ(grey[191], 0x202040u);
    EXPECT_EQ(grey[255], 0x202020u);

    // One draw per i in ascending order, mirrored to 255 - i.
    crt::srand(42);
    const Palette flicker = flicker_palette();
    crt::srand(42);
    for (uint32_t i = 0; i < 128; ++i) {
        const uint32_t r = uint32_t(crt::rand() % 10);
        ASSERT_EQ(flicker[i], (i / 6) << 16 | (i / 6 + r) << 8 | i / 3);
        ASSERT_EQ(flicker[255 - i], flicker[i]);
    }
}

TEST(InterferencePlasma, WaveTableAndTicks) {
    InterferencePlasma plasma(512, 384, alpha_ramp_palette());
    ASSERT_TRUE(plasma.isReady());
    plasma.setWaves(55.0, 16.0, 8.0, 0.0, 0.0, 0.0);
    EXPECT_EQ(plasma.wave[0], 79 << 16);
    EXPECT_EQ(plasma.wave[2048], (-55 + 16 + 8) * 65536); // cos(pi), cos(2 pi), cos(4 pi)
    for (int32_t v : plasma.wave) {
        ASSERT_EQ(v & 0xFFFF, 0);
        ASSERT_LE(std::abs(v >> 16), 79); // four of them: -316 .. 316
    }

    // Half ticks accumulate; each tick draws four numbers and moves p0, p1 and p2.
    plasma.setSpeeds(4, 4);
    crt::srand(5);
    plasma.advance(0.5);
    EXPECT_EQ(plasma.phase[0], 0);
    plasma.advance(0.5);
    crt::srand(5);
    crt::rand();
    const int32_t p1 = crt::rand() % 2, p2 = crt::rand() % 2 + 4;
    crt::rand();
    EXPECT_EQ(plasma.phase[0], 4);
    EXPECT_EQ(plasma.phase[1], p1);
    EXPECT_EQ(plasma.phase[2], p2);
    EXPECT_EQ(plasma.phase[3], 0);
    EXPECT_EQ(plasma.clock, 0.0);

    // 2.5 more makes two ticks (eight draws) and leaves 0.5.
    crt::srand(5);
    plasma.advance(2.5);
    const int32_t afterTwoTicks = crt::rand();
    EXPECT_EQ(plasma.clock, 0.5);
    EXPECT_EQ(plasma.phase[0], 12);
    crt::srand(5);
    for (int i = 0; i < 8; ++i)
        crt::rand();
    EXPECT_EQ(afterTwoTicks, crt::rand());

    // Phases wrap at 12 bits.
    plasma.setSpeeds(4000, 0);
    plasma.advance(1.0);
    EXPECT_EQ(plasma.phase[0], (12 + 4000) & 0xFFF);
}

TEST(InterferencePlasma, AddAndAlphaMatchThePlainPattern) {
    // The show's second configuration.
    crt::srand(1);
    InterferencePlasma plasma(64, 40, flicker_palette());
    plasma.setWaves(40.0, 20.0, 63.0, 0.0, 0.0, 0.0);
    plasma.setSpeeds(3, 3);
    plasma.setSteps(5, 4, 6, 2);
    for (int i = 0; i < 3; ++i)
        plasma.advance(7.0); // phases away from 0
    ASSERT_NE(plasma.phase[0], 0);

    // The drawing rectangle (left, top, width, height); rows are `width` pixels long.
    plasma.setClip({5, 7, 50, 20});
    std::vector<uint32_t> frame = randomWords(64 * 40, 8), expected = frame;
    for (int32_t y = 0; y < 20; ++y)
        for (int32_t x = 0; x < 50; ++x) {
            uint32_t& d = expected[size_t((y + 7) * 64 + x + 5)];
            d = plainAdd(d, plasma.palette[plainIndex(plasma, x, y)]);
        }
    EXPECT_EQ(plasma.addTo(frame.data()), 1);
    EXPECT_EQ(frame, expected);

    // A rectangle reaching out of the area: the part inside is the same pattern.
    plasma.setClip({-3, 30, 60, 20});
    frame = randomWords(64 * 40, 9);
    expected = frame;
    for (int32_t y = 0; y < 10; ++y)
        for (int32_t x = 3; x < 60; ++x) {
            uint32_t& d = expected[size_t((y + 30) * 64 + x - 3)];
            d = plainAdd(d, plasma.palette[plainIndex(plasma, x, y)]);
        }
    plasma.addTo(frame.data());
    EXPECT_EQ(frame, expected);

    // Alpha clamped to [lo, hi] as whole words; pixels with alpha 0 stay.
    InterferencePlasma dissolve(64, 40, alpha_ramp_palette());
    dissolve.setWaves(55.0, 16.0, 8.0, 0.0, 0.0, 0.0);
    dissolve.setSteps(3, 2, 5, 1);
    dissolve.phase[0] = 100, dissolve.phase[1] = 2000, dissolve.phase[2] = 7;
    const std::vector<uint32_t> picture = randomWords(64 * 40, 10);
    for (const auto& [lo, hi] :
         {std::pair{0, 255}, std::pair{100, 200}, std::pair{0, 0}, std::pair{255, 255}}) {
        frame = picture;
        expected = picture;
        for (int32_t y = 0; y < 40; ++y)
            for (int32_t x = 0; x < 64; ++x) {
                uint32_t& d = expected[size_t(y * 64 + x)];
                const uint32_t e = dissolve.palette[plainIndex(dissolve, x, y)];
                if (d < 0x01000000)
                    continue;
                const uint64_t low = uint64_t(lo) << 24, high = uint64_t(hi) << 24;
                const uint32_t top = e < low ? uint32_t(low) : e > high ? uint32_t(high) : e;
                d = (d & 0xFFFFFF) + top;
            }
        EXPECT_EQ(dissolve.alphaTo(frame.data(), lo, hi), 1);
        EXPECT_EQ(frame, expected) << lo << " " << hi;
    }
}
