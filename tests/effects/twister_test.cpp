#include "demo/effects/twister.hpp"
#include "effects_test_support.hpp"

#include <cmath>

using namespace effects_test;

namespace {

struct Maps {
    std::vector<uint32_t> spec = randomWords(65536, 1), light = randomWords(65536, 2),
                          height = randomWords(65536, 3), colour = randomWords(65536, 4);
};

uint32_t plainShade(uint32_t t, uint32_t l, uint32_t s) {
    uint32_t out = 0;
    for (int b = 0; b < 32; b += 8) {
        const uint32_t v = ((((t >> b) & 0xFF) * ((l >> b) & 0xFF)) >> 8) + ((s >> b) & 0xFF);
        out |= std::min(v, 255u) << b;
    }
    return out;
}

// The twister as described, pixel by pixel instead of segment by segment, over every column
// of rows `pitch` pixels apart.
void plainTwister(const Maps& m, std::vector<uint32_t>& frame, int32_t height, int32_t pitch,
                  double d, int32_t centreX) {
    const auto h = [&m](int32_t x, int32_t y) {
        return int32_t(m.height[size_t((y & 255) * 256 + (x & 255))] & 0xFF);
    };
    double px[65], py[65], nx[65], s[65];
    const double k = std::sin(5 * d) * 0.05 + 0.1;
    for (int i = 0; i <= 64; ++i) {
        s[i] = i / 64.0;
        const double a = s[i] * 6.283185307179586, r = std::sin(3 * a) * k + 1.0;
        px[i] = std::cos(a) * r * 50.0;
        py[i] = std::sin(a) * r * 50.0;
    }
    double ny[65];
    for (int j = 0; j <= 64; ++j) {
        const int after = (j + 1) % 64, before = (j + 63) % 64;
        const double dx = px[after] - px[before], dy = py[after] - py[before];
        nx[j] = -dy / std::sqrt(dx * dx + dy * dy);
        ny[j] = dx / std::sqrt(dx * dx + dy * dy);
    }
    const double w = std::sin(d * 0.26);
    for (int32_t r = 0; r < height; ++r) {
        const double q = double(r) / height;
        const double scale = std::sin(q * 8.0 + d) * 0.25 + 1.0;
        const double angle = 2 * std::sin(3 * q) * std::cos(2 * q * w) + d;
        int32_t ix[65], iz[65], in[65], is[65];
        for (int i = 0; i <= 64; ++i) {
            ix[i] = int32_t((std::cos(angle) * px[i] - std::sin(angle) * py[i]) * scale);
            iz[i] = int32_t((std::sin(angle) * px[i] + std::cos(angle) * py[i]) * scale * 65536);
            in[i] =
                0x800000 + int32_t((std::cos(angle) * nx[i] - std::sin(angle) * ny[i]) * 8388608.0);
            is[i] = int32_t(s[i] * 16777216.0);
        }
        // Pixel by pixel: the nearest of the segments running left to right over the
        // column (the first of equals), its values at the column taken directly.
        const int32_t t = r % 256;
        for (int32_t x = 0; x < pitch; ++x) {
            int32_t best = -1, nearest = 100000000;
            for (int j = 0; j < 64; ++j) {
                const int32_t x0 = ix[j] + centreX, x1 = ix[j + 1] + centreX;
                const int32_t z = x0 <= x && x < x1
                                      ? iz[j] + (x - x0) * ((iz[j + 1] - iz[j]) / (x1 - x0))
                                      : nearest;
                if (z < nearest)
                    best = j, nearest = z;
            }
            if (best < 0)
                continue;
            const int32_t x0 = ix[best] + centreX, len = ix[best + 1] + centreX - x0;
            const int32_t sv = is[best] + (x - x0) * ((is[best + 1] - is[best]) / len);
            const int32_t n = in[best] + (x - x0) * ((in[best + 1] - in[best]) / len);
            const int32_t u = (sv >> 16) & 255;
            const int32_t lx = ((n >> 16) + (h(u + 1, t) - h(u, t)) / 4) & 255;
            const int32_t ly = ((h(u, t + 1) - h(u, t)) / 4 + t) & 255;
            frame[size_t(r * pitch + x)] =
                plainShade(m.colour[size_t(t * 256 + u)], m.light[size_t(ly * 256 + lx)],
                           m.spec[size_t(ly * 256 + lx)]);
        }
    }
}

} // namespace

TEST(Twister, RowsAndCutSpansMatchThePlainDrawing) {
    // Each channel (t * l >> 8) + s, held at 255.
    EXPECT_EQ(twister_shade(0xFFFFFFFF, 0xFFFFFFFF, 0x01010101), 0xFFFFFFFFu);
    EXPECT_EQ(twister_shade(0x80FF4000, 0x80808080, 0), 0x407F2000u);

    Maps maps;
    Twister twister;
    EXPECT_FALSE(
        twister.setMaps(nullptr, maps.light.data(), maps.height.data(), maps.colour.data()));
    ASSERT_TRUE(twister.setMaps(maps.spec.data(), maps.light.data(), maps.height.data(),
                                maps.colour.data()));
    // The slopes wrap at the texture's last column and row, which these frames do not show.
    const auto h = [&maps](int x, int y) { return int(maps.height[size_t(y * 256 + x)] & 0xFF); };
    EXPECT_EQ(twister.slopeX[10 * 256 + 255], int8_t((h(0, 10) - h(255, 10)) / 4));
    EXPECT_EQ(twister.slopeY[255 * 256 + 7], int8_t((h(7, 0) - h(7, 255)) / 4));
    // d = 0, and values the show uses for rock and cloth; rows past 256 repeat the texture
    // rows.
    for (const auto& [d, centre] :
         {std::pair{0.0, 256}, std::pair{213.75, 340}, std::pair{-226.5, 150}}) {
        std::vector<uint32_t> frame = randomWords(520 * 384, 8), expected = frame;
        plainTwister(maps, expected, 384, 520, d, centre);
        ASSERT_NE(frame, expected);
        twister.draw(frame.data(), 512, 384, 520, d, centre);
        ASSERT_EQ(frame, expected) << "d " << d;
    }

    // Around column 20 of a 300-pixel frame the column crosses the left edge; drawn 300
    // pixels further right into a wider frame it is whole. The cut picture is the same.
    const int32_t rows = 64;
    std::vector<uint32_t> cut(300 * rows, 0), whole(600 * rows, 0);
    twister.draw(cut.data(), 300, rows, 300, 1.0, 20);
    plainTwister(maps, whole, rows, 600, 1.0, 320);
    for (int32_t y = 0; y < rows; ++y)
        for (int32_t x = 0; x < 300; ++x)
            ASSERT_EQ(cut[size_t(y * 300 + x)], whole[size_t(y * 600 + 300 + x)]) << x << "," << y;
    // And on the right edge.
    std::vector<uint32_t> right(300 * rows, 0);
    twister.draw(right.data(), 300, rows, 300, 1.0, 290);
    for (int32_t y = 0; y < rows; ++y)
        for (int32_t x = 0; x < 300; ++x)
            ASSERT_EQ(right[size_t(y * 300 + x)], whole[size_t(y * 600 + 30 + x)]) << x << "," << y;
}
