#include "engine/core/image.hpp"
#include "engine/core/surface.hpp"
#include "surface_pixels.hpp"
#include "test_display.hpp"
#include "tools/common/png_writer.hpp"

#include <SDL/SDL_image.h>
#include <gtest/gtest.h>

using namespace korvid;

namespace {

const bool display = withDisplay();
const std::string images = KORVID_TEST_DATA "/images/";

} // namespace

TEST(Image, PalettisedFilesKeepIndicesAndPalette) {
    for (const char* name : {"palette.gif", "rgbrgb.gif"}) {
        SCOPED_TRACE(name);
        SDL_Surface* ref = IMG_Load((images + name).c_str());
        ASSERT_NE(ref, nullptr);
        ASSERT_EQ(ref->format->BitsPerPixel, 8);
        Surface s, texture;
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
        const std::vector<uint8_t> indices = readPixels<uint8_t>(s);
        for (int y = 0; y < ref->h; ++y)
            for (int x = 0; x < ref->w; ++x)
                ASSERT_EQ(indices[size_t(y * ref->w + x)],
                          static_cast<uint8_t*>(ref->pixels)[y * ref->pitch + x]);
        SDL_FreeSurface(ref);
        // As a texture it stays 8-bit, a power of two wide.
        ASSERT_EQ(loadImage(&texture, images + name, true), errNone);
        EXPECT_EQ(texture.storage, storage8);
        EXPECT_EQ(texture.width, 1 << ceilLog2(s.width));
    }
}

TEST(Image, TrueColourFilesBecome32BitWithTheirAlphaDecidingTheBlendMode) {
    // Every true-colour format of the data set (the PCX has three 8-bit planes); JPEG has
    // no alpha.
    for (const char* name : {"sample.pcx", "sample.png", "sample.jpg"}) {
        Surface s;
        ASSERT_EQ(loadImage(&s, images + name, false), errNone) << name;
        EXPECT_EQ(s.storage, storage32) << name;
        EXPECT_EQ(s.blendMode, blendReplace) << name;
    }

    // Known pixels, with and without an alpha channel.
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
    EXPECT_EQ(readPixels(a), pixels);
    std::vector<uint32_t> opaquePixels = pixels;
    for (uint32_t& p : opaquePixels)
        p |= 0xFF000000u;
    EXPECT_EQ(readPixels(b), opaquePixels);

    // A texture rounds up to powers of two, with room for its mipmaps below, and holds the
    // image unscaled in its top-left corner.
    ASSERT_EQ(loadImage(&texture, withAlpha, true), errNone);
    EXPECT_TRUE(texture.mipmapped);
    EXPECT_EQ(texture.width, 256);
    EXPECT_EQ(texture.height, 128);
    EXPECT_EQ(texture.sdlSurface->h, 192);
    EXPECT_EQ(texture.blendMode, blendAlpha);
    const std::vector<uint32_t> placed = readPixels(texture);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            ASSERT_EQ(placed[size_t(y * 256 + x)], pixels[size_t(y * 200 + x)]);
}

TEST(Image, AlphaMasksTakeTheLowByte) {
    Surface indexed, mask;
    ASSERT_EQ(loadImage(&indexed, images + "palette.gif", false), errNone);
    ASSERT_EQ(loadAlphaImage(&mask, 0xFFFFFF, images + "palette.gif", false), errNone);
    EXPECT_EQ(mask.storage, storage32);
    EXPECT_EQ(mask.blendMode, blendReplace);
    const std::vector<uint8_t> index = readPixels<uint8_t>(indexed);
    const std::vector<uint32_t> alpha = readPixels(mask);
    ASSERT_EQ(alpha.size(), index.size());
    for (size_t i = 0; i < alpha.size(); ++i)
        ASSERT_EQ(alpha[i], uint32_t(index[i]) << 24 | 0xFFFFFFu);

    Surface colour, colourMask;
    ASSERT_EQ(loadImage(&colour, images + "sample.jpg", false), errNone);
    ASSERT_EQ(loadAlphaImage(&colourMask, 0x102030, images + "sample.jpg", false), errNone);
    EXPECT_EQ(pixelAt(colourMask, 0, 0), (pixelAt(colour, 0, 0) & 0xFF) << 24 | 0x102030u);
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
