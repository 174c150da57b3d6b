#include "engine/core/image.hpp"
#include "engine/core/surface.hpp"
#include "test_display.hpp"
#include "tools/common/png_writer.hpp"

#include <SDL/SDL_image.h>
#include <gtest/gtest.h>

#include <cstring>

using namespace korvid;

namespace {

const bool display = withDisplay();
const std::string images = KORVID_TEST_DATA "/images/";

// The file as SDL_image reads it, for comparison.
SDL_Surface* reference(const std::string& name) {
    return IMG_Load((images + name).c_str());
}

} // namespace

TEST(Image, PalettisedFilesKeepIndicesAndPalette) {
    for (const char* name : {"palette.gif", "rgbrgb.gif"}) {
        SCOPED_TRACE(name);
        SDL_Surface* ref = reference(name);
        ASSERT_NE(ref, nullptr);
        ASSERT_EQ(ref->format->BitsPerPixel, 8);
        Surface s;
        ASSERT_EQ(loadImage(&s, images + name, false), errNone);
        EXPECT_EQ(s.storage, storage8);
        EXPECT_EQ(s.width, ref->w);
        EXPECT_EQ(s.height, ref->h);
        EXPECT_EQ(s.blendMode, blendReplace);
        ASSERT_EQ(int(s.palette.size()), ref->format->palette->ncolors);
        for (int i = 0; i < ref->format->palette->ncolors; ++i) {
            const SDL_Color c = ref->format->palette->colors[i];
            ASSERT_EQ(s.palette[size_t(i)], 0xFF000000u | c.r << 16 | c.g << 8 | c.b);
        }
        uint8_t* p = nullptr;
        int32_t pitch = 0;
        ASSERT_EQ(s.lock(p, pitch), errNone);
        for (int y = 0; y < ref->h; ++y)
            ASSERT_EQ(std::memcmp(p + y * pitch,
                                  static_cast<uint8_t*>(ref->pixels) + y * ref->pitch,
                                  size_t(ref->w)),
                      0);
        s.unlock();
        SDL_FreeSurface(ref);
    }
}

TEST(Image, TrueColourFilesBecome32Bit) {
    // Every format of the data set; exact pixels and the blend mode are checked below on a
    // file whose pixels are known.
    for (const char* name : {"sample.pcx", "sample.png", "sample.jpg"}) {
        Surface s;
        ASSERT_EQ(loadImage(&s, images + name, false), errNone) << name;
        EXPECT_EQ(s.storage, storage32) << name; // the PCX has three 8-bit planes
    }
    Surface jpg;
    ASSERT_EQ(loadImage(&jpg, images + "sample.jpg", false), errNone);
    EXPECT_EQ(jpg.blendMode, blendReplace); // JPEG has no alpha
}

TEST(Image, AlphaChannelDecidesTheBlendMode) {
    std::vector<uint32_t> pixels(200 * 100);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = uint32_t(i * 2654435761u);
    const std::string withAlpha = ::testing::TempDir() + "alpha.png";
    const std::string opaque = ::testing::TempDir() + "opaque.png";
    ASSERT_TRUE(tools::writePng(withAlpha, pixels.data(), 200, 100, 200, true));
    ASSERT_TRUE(tools::writePng(opaque, pixels.data(), 200, 100, 200, false));

    Surface a, b, texture;
    ASSERT_EQ(loadImage(&a, withAlpha, false), errNone);
    ASSERT_EQ(loadImage(&b, opaque, false), errNone);
    EXPECT_EQ(a.blendMode, blendAlpha);
    EXPECT_EQ(b.blendMode, blendReplace);
    EXPECT_EQ(a.width, 200);
    EXPECT_EQ(a.height, 100);
    uint32_t *pa = nullptr, *pb = nullptr;
    int32_t pitchA = 0, pitchB = 0;
    ASSERT_EQ(a.lock(pa, pitchA), errNone);
    ASSERT_EQ(b.lock(pb, pitchB), errNone);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x) {
            const uint32_t p = pixels[size_t(y * 200 + x)];
            ASSERT_EQ(pa[y * pitchA + x], p);
            ASSERT_EQ(pb[y * pitchB + x], p | 0xFF000000u);
        }
    a.unlock();
    b.unlock();

    ASSERT_EQ(loadImage(&texture, withAlpha, true), errNone);
    EXPECT_EQ(texture.width, 256);
    EXPECT_EQ(texture.height, 128);
    EXPECT_EQ(texture.sdlSurface->h, 192);
    EXPECT_EQ(texture.blendMode, blendAlpha);
}

TEST(Image, TexturesRoundUpToPowersOfTwo) {
    Surface plain, texture;
    ASSERT_EQ(loadImage(&plain, images + "sample.png", false), errNone);
    ASSERT_EQ(loadImage(&texture, images + "sample.png", true), errNone);
    EXPECT_TRUE(texture.mipmapped);
    EXPECT_EQ(texture.width, 1 << ceilLog2(plain.width));
    EXPECT_EQ(texture.height, 1 << ceilLog2(plain.height));
    EXPECT_EQ(texture.sdlSurface->h, texture.height + texture.height / 2);
    // The image sits in the top-left corner, unscaled.
    uint32_t *a = nullptr, *b = nullptr;
    int32_t pa = 0, pb = 0;
    ASSERT_EQ(plain.lock(a, pa), errNone);
    ASSERT_EQ(texture.lock(b, pb), errNone);
    for (int y = 0; y < plain.height; ++y)
        ASSERT_EQ(std::memcmp(a + y * pa, b + y * pb, size_t(plain.width) * 4), 0);
    plain.unlock();
    texture.unlock();

    Surface indexed;
    ASSERT_EQ(loadImage(&indexed, images + "palette.gif", true), errNone);
    EXPECT_EQ(indexed.storage, storage8);
    EXPECT_EQ(indexed.width & (indexed.width - 1), 0);
}

TEST(Image, AlphaMasksTakeTheLowByte) {
    Surface indexed, mask;
    ASSERT_EQ(loadImage(&indexed, images + "palette.gif", false), errNone);
    ASSERT_EQ(loadAlphaImage(&mask, 0xFFFFFF, images + "palette.gif", false), errNone);
    EXPECT_EQ(mask.storage, storage32);
    EXPECT_EQ(mask.blendMode, blendReplace);
    uint8_t* index = nullptr;
    uint32_t* p = nullptr;
    int32_t pi = 0, pm = 0;
    ASSERT_EQ(indexed.lock(index, pi), errNone);
    ASSERT_EQ(mask.lock(p, pm), errNone);
    for (int y = 0; y < mask.height; ++y)
        for (int x = 0; x < mask.width; ++x)
            ASSERT_EQ(p[y * pm + x], uint32_t(index[y * pi + x]) << 24 | 0xFFFFFFu);
    indexed.unlock();
    mask.unlock();

    Surface colour, colourMask;
    ASSERT_EQ(loadImage(&colour, images + "sample.jpg", false), errNone);
    ASSERT_EQ(loadAlphaImage(&colourMask, 0x102030, images + "sample.jpg", false), errNone);
    ASSERT_EQ(colour.lock(p, pi), errNone);
    const uint32_t first = p[0];
    colour.unlock();
    ASSERT_EQ(colourMask.lock(p, pm), errNone);
    EXPECT_EQ(p[0], (first & 0xFF) << 24 | 0x102030u);
    colourMask.unlock();
}

TEST(Image, FailuresLeaveTheTargetAlone) {
    Surface s;
    ASSERT_EQ(s.create(3, 3, storage32, false), errNone);
    EXPECT_EQ(loadImage(&s, "no/such/file.png", false), errSdl);
    EXPECT_EQ(s.width, 3);
    EXPECT_EQ(loadImage(nullptr, images + "sample.png", false), errInvalidCall);
    EXPECT_EQ(loadAlphaImage(&s, 0, "no/such/file.png", false), errSdl);
    EXPECT_EQ(loadAlphaImage(nullptr, 0, images + "sample.png", false), errInvalidCall);
    // Not an image at all.
    EXPECT_EQ(loadImage(&s, KORVID_TEST_DATA "/README.md", false), errSdl);
}
