#include "demo/effects/effect_images.hpp"
#include "effects_test_support.hpp"
#include "engine/core/image.hpp"

#include <SDL/SDL.h>

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

} // namespace

TEST_F(EffectImages, TwisterMapsMustBe256Square32Bit) {
    std::vector<uint32_t> values = randomWords(256 * 256, 1);
    for (uint32_t& v : values)
        v &= 0xFFFFFF;
    const std::string good = writeBmp("twister_map", 256, 256, values);
    PixelImage map;
    ASSERT_EQ(load_twister_map(good, map), korvid::errNone);
    EXPECT_EQ(map.width, 256);
    EXPECT_EQ(map.height, 256);
    ASSERT_EQ(map.pixels.size(), values.size());
    for (size_t i = 0; i < values.size(); ++i)
        ASSERT_EQ(map.pixels[i], 0xFF000000 | values[i]);

    PixelImage bad;
    const std::string narrow = writeBmp("narrow_map", 128, 256, values);
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

    // The indices and the palette of the engine's load of it; missing entries are 0.
    korvid::Surface direct;
    ASSERT_EQ(korvid::loadImage(&direct, images + "rgbrgb.gif", false), korvid::errNone);
    EXPECT_EQ(image.pixels, readPixels<uint8_t>(direct));
    std::vector<uint32_t> palette = direct.palette;
    palette.resize(256, 0);
    EXPECT_EQ(std::vector<uint32_t>(image.palette.begin(), image.palette.end()), palette);

    IndexedImage bad;
    EXPECT_EQ(load_tunnel_image(images + "palette.gif", bad), korvid::errIllegalSurfaceUsage);
    EXPECT_EQ(load_tunnel_image(images + "sample.png", bad), korvid::errIllegalSurfaceUsage);
    EXPECT_EQ(load_tunnel_image("img/no_such_ground.gif", bad), korvid::errSdl);
}
