#include "engine/core/cpu.hpp"
#include "engine/core/pixel.hpp"
#include "engine/core/pixel_rows.hpp"
#include "engine/core/surface.hpp"
#include "guarded_rows.hpp"
#include "surface_pixels.hpp"

#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <cstring>

using namespace korvid;

namespace {

// A 32-bit surface filled with one colour and a blend mode.
void make(Surface& s, int w, int h, uint32_t colour, BlendMode mode = blendReplace) {
    ASSERT_EQ(s.create(w, h, storage32, false), errNone);
    s.fill(colour);
    s.blendMode = mode;
}

// Per byte (x * (255 - w) + y * w) >> 8, one channel at a time.
uint32_t plainBlend(uint32_t x, uint32_t y, uint32_t w) {
    uint32_t r = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const uint32_t a = (x >> shift) & 255, b = (y >> shift) & 255;
        r |= ((a * (255 - w) + b * w) >> 8) << shift;
    }
    return r;
}

uint32_t plainAdd(uint32_t x, uint32_t y) {
    uint32_t r = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const uint32_t s = ((x >> shift) & 255) + ((y >> shift) & 255);
        r |= (s > 255 ? 255 : s) << shift;
    }
    return r;
}

} // namespace

TEST(Pixel, BlitRowsMatchPerChannelRules) {
    // Every form this processor runs; the alpha forms see each pixel's alpha drawn on its own
    // from 0, 255, the opacity and any, so that the lanes of one four- or eight-pixel step
    // are kept, copied and blended side by side.
    using Row = void (*)(uint32_t*, const uint32_t*, int32_t, uint32_t);
    std::vector<Row> blends = {blendRow, scalar::blendRow}, alphas = {alphaRow, scalar::alphaRow};
    std::vector<void (*)(uint32_t*, const uint32_t*, int32_t)> adds = {addRow, scalar::addRow};
#if defined(__SSE2__)
    alphas.push_back(sse2::alphaRow);
    if (cpuHasAvx2())
        alphas.push_back(avx2::alphaRow);
#endif
    using Rows = std::vector<guarded::Row>;
    // in[0] is the destination the row is drawn over, in[1] the source.
    const auto over = [](guarded::Row& out, Rows& in) { out.words = in[0].words; };
    for (uint32_t a : {0u, 1u, 77u, 128u, 254u, 255u}) {
        const auto anyAlpha = [a](Rows& in, int32_t n, uint32_t& state) {
            for (int32_t i = 0; i < n; ++i) {
                const uint32_t pick = guarded::next(state);
                const uint32_t alpha = (pick & 3) == 0   ? 0
                                       : (pick & 3) == 1 ? 255
                                       : (pick & 3) == 2 ? a
                                                         : pick >> 24;
                in[1][i] = (in[1][i] & 0x00FFFFFF) | alpha << 24;
            }
        };
        for (Row form : alphas)
            guarded::checkRows<2>(
                "alpha", anyAlpha,
                [&](guarded::Row& out, Rows& in, int32_t n) {
                    over(out, in);
                    form(out.data(), in[1].data(), n, a);
                },
                [a](Rows& in, int32_t i) {
                    const uint32_t d = in[0][i], s = in[1][i];
                    const uint32_t w = (s >> 24) * (a == 255 ? 256 : a) >> 8;
                    return w == 0 ? d : w == 255 ? s : plainBlend(d, s, w);
                });
        for (Row form : blends)
            guarded::checkRows<2>(
                "blend", [](Rows&, int32_t, uint32_t&) {},
                [&](guarded::Row& out, Rows& in, int32_t n) {
                    over(out, in);
                    form(out.data(), in[1].data(), n, a);
                },
                [a](Rows& in, int32_t i) { return plainBlend(in[0][i], in[1][i], a); });
    }
    for (auto form : adds)
        guarded::checkRows<2>(
            "add", [](Rows&, int32_t, uint32_t&) {},
            [&](guarded::Row& out, Rows& in, int32_t n) {
                over(out, in);
                form(out.data(), in[1].data(), n);
            },
            [](Rows& in, int32_t i) { return plainAdd(in[0][i], in[1][i]); });
}

TEST(Surface, CreationSizesAndLog2Fields) {
    Surface s;
    ASSERT_EQ(s.create(100, 60, storage32, true), errNone);
    EXPECT_EQ(s.width, 128);
    EXPECT_EQ(s.height, 64);
    EXPECT_EQ(s.sdlSurface->h, 96); // 64 rows of image and a band of 32 for the mipmaps
    EXPECT_EQ(s.widthLog2, 7);
    EXPECT_EQ(s.heightLog2, 6);
    EXPECT_EQ(s.pitchLog2, 7);
    EXPECT_TRUE(s.mipmapped);

    ASSERT_EQ(s.create(100, 60, storage32, false), errNone);
    EXPECT_EQ(s.width, 100);
    EXPECT_EQ(s.height, 60);
    EXPECT_EQ(s.widthLog2, 7);
    EXPECT_EQ(s.heightLog2, 6);
    EXPECT_EQ(s.pitch, 100);

    EXPECT_EQ(s.create(100, 60, storageCells, true), errInvalidCall);
    EXPECT_EQ(s.create(100, 60, 3, false), errInvalidCall);

    ASSERT_EQ(s.create(1, 1, storageCells, false), errNone);
    EXPECT_EQ(s.widthLog2, 0);
    EXPECT_EQ(s.cells.size(), 1u);

    // 8-bit storage starts with the grey ramp.
    ASSERT_EQ(s.create(16, 16, storage8, false), errNone);
    ASSERT_EQ(s.palette.size(), 256u);
    for (uint32_t i = 0; i < 256; ++i)
        ASSERT_EQ(s.palette[i], 0xFF000000u + i * 0x010101u);
    EXPECT_EQ(s.blendMode, blendReplace);
}

TEST(Surface, LockRules) {
    Surface s;
    uint32_t* p = nullptr;
    uint8_t* b = nullptr;
    float* c = nullptr;
    int32_t pitch = 0;
    EXPECT_EQ(s.lock(c, pitch), errNone); // a fresh surface is empty cell storage
    s.unlock();

    ASSERT_EQ(s.create(8, 8, storage32, false), errNone);
    EXPECT_EQ(s.lock(b, pitch), errInvalidCall);
    EXPECT_EQ(s.lock(c, pitch), errInvalidCall);
    ASSERT_EQ(s.lock(p, pitch), errNone);
    EXPECT_TRUE(s.locked);
    EXPECT_EQ(pitch, 8);
    EXPECT_EQ(s.lock(p, pitch), errLockedTwice);
    EXPECT_EQ(s.unlock(), errNone);
    EXPECT_FALSE(s.locked);
    EXPECT_EQ(s.unlock(), errNone);

    ASSERT_EQ(s.create(8, 8, storage8, false), errNone);
    EXPECT_EQ(s.lock(p, pitch), errInvalidCall);
    EXPECT_EQ(s.lock(b, pitch), errNone);
    // Creating again releases the lock with the old storage.
    ASSERT_EQ(s.create(8, 8, storageCells, false), errNone);
    EXPECT_FALSE(s.locked);
    EXPECT_EQ(s.lock(c, pitch), errNone);
}

TEST(Surface, FillsOfEveryStorage) {
    Surface cells;
    ASSERT_EQ(cells.create(4, 3, storageCells, false), errNone);
    cells.fill(1.0f);
    for (float v : cells.cells)
        EXPECT_EQ(v, 1.0f);
    cells.clear();
    for (float v : cells.cells)
        EXPECT_EQ(v, 0.0f);
    const Rect r{-5, 2, 1, 99}; // clamped to the surface
    cells.fill(7.0f, &r);
    EXPECT_EQ(cells.cells[0], 0.0f);
    EXPECT_EQ(cells.cells[4], 7.0f);
    EXPECT_EQ(cells.cells[5], 7.0f);
    EXPECT_EQ(cells.cells[6], 0.0f);
    EXPECT_EQ(cells.cells[8 + 1], 7.0f);
    EXPECT_FALSE(cells.locked);
    // A colour on cells is its value as a float.
    cells.fill(uint32_t(300));
    EXPECT_EQ(cells.cells[11], 300.0f);

    Surface pixels;
    make(pixels, 10, 10, 0xFF102030);
    EXPECT_EQ(pixelAt(pixels, 9, 9), 0xFF102030u);
    const Rect area{2, 4, 3, 5};
    pixels.fill(0xAABBCCDDu, &area);
    EXPECT_EQ(pixelAt(pixels, 2, 3), 0xAABBCCDDu);
    EXPECT_EQ(pixelAt(pixels, 3, 4), 0xAABBCCDDu);
    EXPECT_EQ(pixelAt(pixels, 4, 4), 0xFF102030u);
    EXPECT_EQ(pixelAt(pixels, 2, 5), 0xFF102030u);
    pixels.fill(65.9f); // truncated to the colour 65
    EXPECT_EQ(pixelAt(pixels, 0, 0), 65u);

    // Rectangles wholly outside on any side, inverted ones and ones that 16-bit fields
    // would wrap back onto the surface change nothing.
    Surface wide, wideColour;
    ASSERT_EQ(wide.create(16, 4, storageCells, false), errNone);
    wide.fill(2.0f);
    make(wideColour, 16, 4, 0xFF102030);
    for (const Rect& nothing :
         {Rect{20, 30, 0, 4}, Rect{-9, 0, 0, 4}, Rect{0, 16, 4, 9}, Rect{0, 16, -3, 0},
          Rect{12, 4, 0, 4}, Rect{0, 16, 3, 1}, Rect{65538, 65540, 0, 4}}) {
        wide.fill(9.0f, &nothing);
        wide.clear(&nothing);
        wideColour.fill(0xFFFFFFFFu, &nothing);
    }
    for (float v : wide.cells)
        ASSERT_EQ(v, 2.0f);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(pixelAt(wideColour, x, y), 0xFF102030u) << x << "," << y;
}

TEST(Surface, DrawsInEveryModeAndOpacityByItsPixelRule) {
    // Random pixels, the source placed partly outside: the visible pixels follow the mode's
    // rule at the weight of the opacity (times 256, truncated, at most 255), the others stay,
    // and add mode draws only at full opacity. Both surfaces are left unlocked.
    uint32_t seed = 7;
    const auto random = [&seed](Surface& s, int w, int h) {
        ASSERT_EQ(s.create(w, h, storage32, false), errNone);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                setPixel(s, x, y, guarded::next(seed));
    };
    for (BlendMode mode : {blendReplace, blendAlpha, blendAdd})
        for (float opacity : {0.0f, 0.3f, 0.99f, 1.0f}) {
            Surface dst, src;
            random(dst, 11, 7);
            random(src, 6, 5);
            src.blendMode = mode;
            const std::vector<uint32_t> d = readPixels(dst), s = readPixels(src);
            dst.draw(&src, 7, -2, opacity);
            const uint32_t a = std::min(uint32_t(opacity * 256.0f), 255u);
            std::vector<uint32_t> expected = d;
            for (int y = 0; y < 3; ++y)
                for (int x = 7; x < 11; ++x) {
                    const uint32_t sp = s[size_t((y + 2) * 6 + x - 7)];
                    uint32_t& e = expected[size_t(y * 11 + x)];
                    const uint32_t w =
                        mode == blendReplace ? a : (sp >> 24) * (a == 255 ? 256 : a) >> 8;
                    if (mode == blendAdd)
                        e = a == 255 ? plainAdd(e, sp) : e;
                    else
                        e = w == 0 ? e : w == 255 ? sp : plainBlend(e, sp, w);
                }
            EXPECT_EQ(readPixels(dst), expected) << "mode " << mode << " opacity " << opacity;
            EXPECT_FALSE(dst.locked || src.locked);
        }
}

TEST(Surface, DrawsNothingOutsideOrOntoItself) {
    Surface dst, src;
    make(dst, 8, 8, 0xFF000000);
    make(src, 4, 4, 0xFFFFFFFF);
    dst.draw(&src, 8, 0, 1.0f);
    dst.draw(&src, -4, 0, 1.0f);
    dst.draw(&src, 0, -4, 1.0f);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(pixelAt(dst, x, y), 0xFF000000u);
    EXPECT_FALSE(src.locked);

    dst.draw(&src, -3, -3, 1.0f); // only the corner is visible
    EXPECT_EQ(pixelAt(dst, 0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(pixelAt(dst, 1, 0), 0xFF000000u);

    setPixel(dst, 5, 5, 0xFF123456);
    dst.draw(&dst, 1, 1, 1.0f);
    EXPECT_EQ(pixelAt(dst, 6, 6), 0xFF000000u);
    EXPECT_FALSE(dst.locked);

    // An 8-bit source draws nothing.
    Surface indexed;
    ASSERT_EQ(indexed.create(4, 4, storage8, false), errNone);
    indexed.fill(200u);
    dst.draw(&indexed, 0, 0, 1.0f);
    EXPECT_EQ(pixelAt(dst, 0, 0), 0xFFFFFFFFu);
}

TEST(Surface, TilingStartsLeftOfTheOrigin) {
    Surface dst, src;
    make(dst, 100, 3, 0);
    ASSERT_EQ(src.create(64, 1, storage32, false), errNone);
    uint32_t* p = nullptr;
    int32_t pitch = 0;
    ASSERT_EQ(src.lock(p, pitch), errNone);
    for (int x = 0; x < 64; ++x)
        p[x] = 0xFF000000u | uint32_t(x);
    src.unlock();

    // x = -10: the first column starts at -10, so pixel 0 shows texel 10.
    dst.draw(&src, -10, 0, 1.0f, true, true);
    EXPECT_EQ(pixelAt(dst, 0, 0), 0xFF00000Au);
    EXPECT_EQ(pixelAt(dst, 54, 0), 0xFF000000u);
    EXPECT_EQ(pixelAt(dst, 99, 2), 0xFF000000u | uint32_t((99 + 10) % 64));

    // x = 10 starts the first column at -54.
    make(dst, 100, 3, 0);
    dst.draw(&src, 10, 0, 1.0f, true, false);
    EXPECT_EQ(pixelAt(dst, 0, 0), 0xFF000036u);
    EXPECT_EQ(pixelAt(dst, 10, 0), 0xFF000000u);
    EXPECT_EQ(pixelAt(dst, 99, 0), 0xFF000000u | uint32_t(99 - 10 - 64));
    EXPECT_EQ(pixelAt(dst, 99, 1), 0u); // no vertical tiling
}

TEST(Surface, MipmapLevelsSitSideBySideBelowTheImage) {
    Surface s;
    ASSERT_EQ(s.create(8, 4, storage32, true), errNone);
    uint32_t* p = nullptr;
    int32_t pitch = 0;
    ASSERT_EQ(s.lock(p, pitch), errNone);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            p[y * pitch + x] = uint32_t(x * 16 + y * 4) * 0x01010101u;
    s.unlock();
    s.buildMipmaps();
    ASSERT_EQ(s.lock(p, pitch), errNone);
    // Level 1 (4x2) at row 4, column 0; level 2 (2x1) at column 4 of that row.
    const uint32_t* level1 = p + 4 * pitch;
    const uint32_t* level2 = p + 4 * pitch + 4;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) {
            const uint32_t* b = p + 2 * y * pitch + 2 * x;
            EXPECT_EQ(level1[y * pitch + x],
                      average2(average2(b[0], b[1]), average2(b[pitch], b[pitch + 1])));
        }
    EXPECT_EQ(level2[0],
              average2(average2(level1[0], level1[1]), average2(level1[pitch], level1[pitch + 1])));
    EXPECT_EQ(average2(0xFF01FF00, 0x01FF0000), 0x80807F00u);
    // Only min(3, 2) levels: the column after level 2 stays as creation left it.
    EXPECT_EQ(level2[2], 0u);
    s.unlock();

    Surface indexed;
    ASSERT_EQ(indexed.create(4, 4, storage8, true), errNone);
    uint8_t* b = nullptr;
    ASSERT_EQ(indexed.lock(b, pitch), errNone);
    const uint8_t values[4] = {10, 21, 32, 40};
    b[0] = values[0], b[1] = values[1], b[pitch] = values[2], b[pitch + 1] = values[3];
    indexed.unlock();
    indexed.buildMipmaps();
    ASSERT_EQ(indexed.lock(b, pitch), errNone);
    EXPECT_EQ(b[4 * pitch], (10 + 21 + 32 + 40) >> 2);
    indexed.unlock();
}

TEST(Surface, Palettes) {
    Surface s;
    ASSERT_EQ(s.create(2, 2, storage8, false), errNone);
    s.setPalette({0xFF000001, 0xFF000002});
    ASSERT_EQ(s.palette.size(), 2u);
    s.setPaletteEntry(1, 0x12345678);
    s.setPaletteEntry(2, 0xFFFFFFFF);
    s.setPaletteEntry(-1, 0xFFFFFFFF);
    EXPECT_EQ(s.palette[1], 0x12345678u);
    EXPECT_EQ(s.palette.size(), 2u);

    // The ramp always has 256 entries; the alpha comes from `from`.
    s.rampPalette(Colour{255, 0, 0, 128}, Colour{0, 0, 255, 0}, 16);
    ASSERT_EQ(s.palette.size(), 256u);
    EXPECT_EQ(s.palette[0], 0x80FF0000u);
    EXPECT_EQ(s.palette[255] >> 24, 0x80u);
    EXPECT_GE(s.palette[255] & 0xFF, 254u);
}

TEST(Surface, ScreenBindingBorrows) {
    SDL_Surface* screen = SDL_CreateRGBSurface(0, 16, 8, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0);
    ASSERT_NE(screen, nullptr);
    {
        Surface display;
        ASSERT_EQ(display.bindScreen(screen), errNone);
        EXPECT_TRUE(display.borrowed);
        EXPECT_EQ(display.width, 16);
        EXPECT_EQ(display.pitch, 16);
        EXPECT_EQ(display.storage, storage32);
    }
    // Still ours to free: the Surface did not.
    EXPECT_EQ(screen->w, 16);
    SDL_FreeSurface(screen);

    SDL_Surface* indexed = SDL_CreateRGBSurface(0, 4, 4, 8, 0, 0, 0, 0);
    Surface display;
    EXPECT_EQ(display.bindScreen(indexed), errInvalidCall);
    EXPECT_EQ(display.sdlSurface, nullptr);
    SDL_FreeSurface(indexed);
}
