#include "demo/effects/blend.hpp"
#include "demo/effects/noise_table.hpp"
#include "effects_test_support.hpp"
#include "engine/core/cpu.hpp"
#include "engine/core/pixel.hpp"
#include "guarded_rows.hpp"
#include "platform/crt_rand.hpp"

#include <cmath>
#include <limits>

using namespace effects_test;
using korvid::Surface;

namespace {

// Per channel red, green, blue: (s * (256 - a) + o * a) >> 8; alpha 0.
uint32_t plainBlend(uint32_t s, uint32_t o, uint32_t a) {
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t cs = (s >> shift) & 0xFF, co = (o >> shift) & 0xFF;
        out |= ((cs * (256 - a) + co * a) >> 8) << shift;
    }
    return out;
}

} // namespace

TEST(Blend, WeightFromFraction) {
    EXPECT_EQ(korvid::opacityWeight(0.0f), 0u);
    EXPECT_EQ(korvid::opacityWeight(-3.0f), 0u);
    EXPECT_EQ(korvid::opacityWeight(0.5f), 128u);
    EXPECT_EQ(korvid::opacityWeight(0.99f), 253u);
    EXPECT_EQ(korvid::opacityWeight(0.99609375f), 255u);
    EXPECT_EQ(korvid::opacityWeight(1.0f), 255u);
    EXPECT_EQ(korvid::opacityWeight(1e30f), 255u);
    EXPECT_EQ(korvid::opacityWeight(std::numeric_limits<float>::quiet_NaN()), 0u);
    EXPECT_EQ(korvid::opacityWeight(-std::numeric_limits<float>::infinity()), 0u);
}

TEST(Blend, RowsMatchPlainArithmetic) {
    // Every form this processor runs, from a source row or in place, toward other pixels
    // and toward one colour, at weights from one end to the other.
    using Row = void (*)(uint32_t*, const uint32_t*, const uint32_t*, int32_t, uint32_t);
    using ColourRow = void (*)(uint32_t*, const uint32_t*, uint32_t, int32_t, uint32_t);
    std::vector<std::pair<Row, ColourRow>> forms = {{blend_row, blend_row_colour}};
#if defined(__SSE2__)
    forms.push_back({sse2::blend_row, sse2::blend_row_colour});
    if (korvid::cpuHasAvx2())
        forms.push_back({avx2::blend_row, avx2::blend_row_colour});
#endif
    using Rows = std::vector<guarded::Row>;
    const auto keep = [](Rows&, int32_t, uint32_t&) {};
    const uint32_t colour = 0xA05C17E3;
    for (const auto& [row, colourRow] : forms)
        for (uint32_t a : {0u, 1u, 100u, 128u, 254u, 255u}) {
            guarded::checkRows<2>(
                "toward other pixels", keep,
                [&](guarded::Row& out, Rows& in, int32_t n) {
                    row(out.data(), in[0].data(), in[1].data(), n, a);
                },
                [a](Rows& in, int32_t i) { return plainBlend(in[0][i], in[1][i], a); });
            guarded::checkRows<1>(
                "toward a colour in place", keep,
                [&](guarded::Row& out, Rows& in, int32_t n) {
                    out.words = in[0].words;
                    colourRow(out.data(), out.data(), colour, n, a);
                },
                [a, colour](Rows& in, int32_t i) { return plainBlend(in[0][i], colour, a); });
        }
    // The divisor is 256: white at full weight over black gives 255/256 of white, and
    // weight 0 keeps the source; the alpha is always cleared.
    uint32_t black = 0xFF000000, pixel = 0;
    blend_row_colour(&pixel, &black, 0xFFFFFFFF, 1, 255);
    EXPECT_EQ(pixel, 0x00FEFEFEu);
    uint32_t other = 0xAB123456;
    blend_row_colour(&pixel, &other, 0xFFFFFFFF, 1, 0);
    EXPECT_EQ(pixel, 0x00123456u);
}

TEST(Blend, NoiseTableOrderAndJump) {
    // The generator itself, pinned: seed 1 gives the classic sequence of 0..32767 values.
    crt::srand(1);
    for (int expected : {41, 18467, 6334, 26500, 19169})
        EXPECT_EQ(crt::rand(), expected);

    // The program's table was made before main with seed 100.
    crt::srand(100);
    for (int32_t i = 0; i < NoiseTable::count; ++i) {
        const uint32_t g = uint32_t(crt::rand()) & 0xFF;
        ASSERT_EQ(noiseTable.entries[size_t(i)], 0xFF000000u | g * 0x010101u);
    }

    // The first pass reads in order; after the last entry the cursor jumps at once.
    NoiseTable table;
    EXPECT_EQ(table.entries, noiseTable.entries);
    for (int32_t i = 0; i < NoiseTable::count - 1; ++i)
        ASSERT_EQ(table.next(), table.entries[size_t(i)]);
    crt::srand(1);
    crt::rand(); // 41: the jump draws the next number, 18467
    EXPECT_EQ(table.next(), table.entries[NoiseTable::count - 1]);
    EXPECT_EQ(table.cursor, 18467 % NoiseTable::count);
    EXPECT_EQ(table.next(), table.entries[467]);

    // Runs never cross the end of the table.
    table.cursor = NoiseTable::count - 3;
    const uint32_t* values = nullptr;
    EXPECT_EQ(table.take(10, values), 3);
    EXPECT_EQ(values, table.entries.data() + NoiseTable::count - 3);
}

TEST(Blend, SurfacesMatchPlainPerPixelBlend) {
    // Sizes whose pixel counts pass the table's end, so that the cursor jumps mid-row.
    Surface src, dst, small;
    makeSurface(src, 67, 45, 3);
    makeSurface(dst, 67, 45, 4);
    makeSurface(small, 40, 60, 5);
    const std::vector<uint32_t> s = readPixels(src), d = readPixels(dst), sm = readPixels(small);

    // Colour, from a source and in place.
    blend_colour_to(&dst, &src, 0xFF336699, 0.3f);
    std::vector<uint32_t> expected(s.size());
    for (size_t i = 0; i < s.size(); ++i)
        expected[i] = plainBlend(s[i], 0xFF336699, 76);
    EXPECT_EQ(readPixels(dst), expected);
    blend_colour(&dst, 0xFFFFFFFF, 1.0f);
    for (uint32_t& p : expected)
        p = plainBlend(p, 0xFFFFFFFF, 255);
    EXPECT_EQ(readPixels(dst), expected);

    // Noise, in place: one table value per pixel in row order, continuing from the cursor.
    NoiseTable reference = noiseTable;
    crt::srand(9);
    blend_noise(&src, 0.15f);
    crt::srand(9);
    for (size_t i = 0; i < s.size(); ++i)
        expected[i] = plainBlend(s[i], reference.next(), 38);
    EXPECT_EQ(readPixels(src), expected);
    EXPECT_EQ(noiseTable.cursor, reference.cursor);

    // Noise into a destination narrower and taller than the source: only the common
    // top-left 40 x 45 area is touched, and only its pixels read noise.
    const std::vector<uint32_t> blended = readPixels(src);
    crt::srand(10);
    blend_noise_to(&small, &src, 0.6f);
    crt::srand(10);
    std::vector<uint32_t> area = sm;
    for (int32_t y = 0; y < 45; ++y)
        for (int32_t x = 0; x < 40; ++x)
            area[size_t(y * 40 + x)] =
                plainBlend(blended[size_t(y * 67 + x)], reference.next(), 153);
    EXPECT_EQ(readPixels(small), area);
    EXPECT_EQ(noiseTable.cursor, reference.cursor);
    EXPECT_FALSE(src.locked || dst.locked || small.locked);
}

TEST(Blend, UnsuitableSurfacesAreLeftAlone) {
    Surface paletted, picture;
    ASSERT_EQ(paletted.create(8, 8, korvid::storage8, false), korvid::errNone);
    makeSurface(picture, 8, 8, 6);
    const std::vector<uint32_t> before = readPixels(picture);

    blend_colour_to(&picture, &paletted, 0, 0.5f);
    blend_colour_to(&picture, &picture, 0, 0.5f); // the second lock of the same surface fails
    blend_noise_to(&picture, nullptr, 0.5f);
    blend_colour(nullptr, 0, 0.5f);
    uint32_t* pixels = nullptr;
    int32_t pitch = 0;
    ASSERT_EQ(picture.lock(pixels, pitch), korvid::errNone);
    blend_noise(&picture, 0.5f); // held by someone else
    picture.unlock();

    EXPECT_EQ(readPixels(picture), before);
    EXPECT_FALSE(picture.locked);
    EXPECT_FALSE(paletted.locked);
}
