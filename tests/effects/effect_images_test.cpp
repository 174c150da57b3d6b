#include "demo/effects/effect_images.hpp"
#include "effects_test_support.hpp"

#include <SDL/SDL.h>
#include <SDL/SDL_image.h>

#include <string>

using namespace effects_test;

namespace {

const std::string images = KORVID_TEST_DATA "/images/";

// True-colour loads convert to the display's format, which needs a video mode.
class EffectImages : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
        ASSERT_NE(SDL_SetVideoMode(512, 384, 32, 0), nullptr);
    }
    void TearDown() override { SDL_Quit(); }
};

// A 24-bit BMP of the given size with pixel (x, y) = 0xRRGGBB from `values`.
std::string writeTrueColour(const std::string& name, int32_t w, int32_t h,
                            const std::vector<uint32_t>& values) {
    const std::string path = std::string(KORVID_BINARY_DIR) + "/" + name;
    SDL_Surface* s = SDL_CreateRGBSurface(0, w, h, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            static_cast<uint32_t*>(s->pixels)[y * s->pitch / 4 + x] = values[size_t(y * w + x)];
    SDL_SaveBMP(s, path.c_str());
    SDL_FreeSurface(s);
    return path;
}

} // namespace

TEST_F(EffectImages, TwisterMapsMustBe256Square32Bit) {
    std::vector<uint32_t> values = randomWords(256 * 256, 1);
    for (uint32_t& v : values)
        v &= 0xFFFFFF;
    const std::string good = writeTrueColour("twister_map.bmp", 256, 256, values);
    PixelImage map;
    ASSERT_EQ(load_twister_map(good, map), korvid::errNone);
    EXPECT_EQ(map.width, 256);
    EXPECT_EQ(map.height, 256);
    ASSERT_EQ(map.pixels.size(), values.size());
    for (size_t i = 0; i < values.size(); ++i)
        ASSERT_EQ(map.pixels[i], 0xFF000000 | values[i]);

    PixelImage bad;
    const std::string narrow = writeTrueColour("narrow_map.bmp", 128, 256, values);
    EXPECT_EQ(load_twister_map(narrow, bad), korvid::errIllegalSurfaceUsage);
    EXPECT_EQ(load_twister_map(images + "sample.png", bad), korvid::errIllegalSurfaceUsage);
    EXPECT_EQ(load_twister_map(images + "rgbrgb.gif", bad), korvid::errIllegalSurfaceUsage);
    EXPECT_EQ(load_twister_map("img2/no_such_map.png", bad), korvid::errSdl);
    EXPECT_TRUE(bad.pixels.empty());

    // Four in order; the first failure is reported.
    TwisterImages set;
    EXPECT_EQ(load_twister_images(good, good, good, good, set), korvid::errNone);
    EXPECT_EQ(set.colour.pixels, map.pixels);
    EXPECT_EQ(load_twister_images(good, good, narrow, "missing.png", set),
              korvid::errIllegalSurfaceUsage);
}

TEST_F(EffectImages, TunnelImageMustBe256Square8Bit) {
    IndexedImage image;
    ASSERT_EQ(load_tunnel_image(images + "rgbrgb.gif", image), korvid::errNone);
    EXPECT_EQ(image.width, 256);
    EXPECT_EQ(image.height, 256);

    // The indices and the palette as SDL_image reads them; missing entries are 0.
    SDL_Surface* direct = IMG_Load((images + "rgbrgb.gif").c_str());
    ASSERT_NE(direct, nullptr);
    ASSERT_EQ(direct->format->BitsPerPixel, 8);
    for (int32_t y = 0; y < 256; ++y)
        for (int32_t x = 0; x < 256; ++x)
            ASSERT_EQ(image.pixels[size_t(y * 256 + x)],
                      static_cast<const uint8_t*>(direct->pixels)[y * direct->pitch + x]);
    const SDL_Palette* palette = direct->format->palette;
    for (int i = 0; i < 256; ++i) {
        const uint32_t expected =
            i < palette->ncolors ? 0xFF000000u | uint32_t(palette->colors[i].r) << 16 |
                                       uint32_t(palette->colors[i].g) << 8 | palette->colors[i].b
                                 : 0u;
        ASSERT_EQ(image.palette[size_t(i)], expected) << i;
    }
    SDL_FreeSurface(direct);

    IndexedImage bad;
    EXPECT_EQ(load_tunnel_image(images + "palette.gif", bad), korvid::errIllegalSurfaceUsage);
    EXPECT_EQ(load_tunnel_image(images + "sample.png", bad), korvid::errIllegalSurfaceUsage);
    EXPECT_EQ(load_tunnel_image("img/no_such_ground.gif", bad), korvid::errSdl);
}
