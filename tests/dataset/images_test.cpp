// Every image of the data set: present, in its format, and loaded by the engine with the
// storage and size that the show relies on.

#include "data_files.hpp"
#include "test_display.hpp"

#include "engine/core/image.hpp"
#include "engine/core/surface.hpp"

#include <SDL/SDL_image.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using namespace korvid;

namespace {

const bool display = withDisplay();

struct ExpectedImage {
    const char* path;
    SurfaceStorage storage;
    int width, height;
    bool alpha; // blends by alpha after loading
};

const ExpectedImage images[] = {
    {"img/wait.png", storage32, 512, 384, false},
    {"img/slutt.png", storage32, 512, 384, false},
    {"img/allgreets.png", storage32, 2304, 80, false},
    {"img/pellogo.png", storage32, 164, 44, true},
    {"img/startx.png", storage32, 440, 116, false},
    {"img/startx2.png", storage32, 440, 116, true},
    {"img/stripetex.png", storage32, 256, 256, false},
    {"img/end.png", storage32, 512, 384, false},
    {"img/end_tex.jpg", storage32, 256, 256, false},
    {"img/realshoe.gif", storage8, 128, 128, false},
    {"img/grass.gif", storage8, 512, 512, false},
    {"img/greetings_back.png", storage32, 512, 1024, false},
    {"img/ruklogo.png", storage32, 276, 170, true},
    {"img/darkground.gif", storage8, 256, 256, false},
    {"img/credits_music.png", storage32, 300, 384, true},
    {"img/credits_code.png", storage32, 300, 384, true},
    {"img/credits_graphics.png", storage32, 310, 384, true},
    {"img/credits_music_text.png", storage32, 128, 70, true},
    {"img/credits_code_text.png", storage32, 210, 70, true},
    {"img/credits_graphics_text.png", storage32, 146, 70, true},
    {"img/allcreds_tex.png", storage32, 512, 512, true},
    {"img/bg_credits.jpg", storage32, 512, 384, false},
    {"img/bg_credits_tex.jpg", storage32, 512, 512, false},
    {"img/bgfx0.png", storage32, 512, 384, false},
    {"img/bgfx1.png", storage32, 512, 384, false},
    {"img/bgfx2.png", storage32, 512, 384, false},
    {"img/bgfx3.png", storage32, 512, 384, false},
    {"img/ruklogo_tex.gif", storage8, 256, 256, false},
    {"img/darkground2.gif", storage8, 256, 256, false},
    {"img2/specmap.png", storage32, 256, 256, false},
    {"img2/lightmap1.png", storage32, 256, 256, false},
    {"img2/lightmap2.png", storage32, 256, 256, false},
    {"img2/rock1.png", storage32, 256, 256, false},
    {"img2/rock1b.png", storage32, 256, 256, false},
    {"img2/pant1.png", storage32, 256, 256, false},
    {"img2/pant1b.png", storage32, 256, 256, false},
};

// As the show loads it: the images of the asset list as it says, the effects' own plain.
bool mipmappedByTheShow(const std::string& path) {
    for (const ImageAsset& image : showImages)
        if (path == image.path)
            return image.mipmapped;
    return false;
}

// The file's own signature, by its extension.
void expectFormat(const std::string& path) {
    static const std::map<std::string, std::string> signatures = {
        {"png", "\x89PNG"}, {"jpg", "\xFF\xD8"}, {"gif", "GIF8"}};
    const std::string& signature = signatures.at(path.substr(path.rfind('.') + 1));
    const std::vector<uint8_t> b = fileBytes(dataPath(path));
    EXPECT_EQ(std::string(b.begin(), b.begin() + long(std::min(b.size(), signature.size()))),
              signature)
        << path;
}

} // namespace

TEST(DatasetImages, EveryImageLoadsWithTheStorageTheShowNeeds) {
    for (const ExpectedImage& image : images) {
        SCOPED_TRACE(image.path);
        expectFormat(image.path);
        // The image's own size, then the load exactly as the show makes it.
        Surface plain;
        ASSERT_EQ(loadImage(&plain, dataPath(image.path), false), errNone);
        EXPECT_EQ(plain.storage, image.storage);
        EXPECT_EQ(plain.width, image.width);
        EXPECT_EQ(plain.height, image.height);
        if (image.storage == storage32)
            EXPECT_EQ(plain.blendMode, image.alpha ? blendAlpha : blendReplace);
        else
            EXPECT_EQ(plain.palette.size(), 256u) << "texture tables need 256 palette entries";
        Surface shown;
        EXPECT_EQ(loadImage(&shown, dataPath(image.path), mipmappedByTheShow(image.path)), errNone);
    }
}

TEST(DatasetImages, BackgroundsTheShowBlacksOutAreBlack) {
    // The show sets the logo texture's palette entry 250 to black: its background must be
    // that entry, and the logo a good part of the texture.
    Surface logo;
    ASSERT_EQ(loadImage(&logo, dataPath("img/ruklogo_tex.gif"), true), errNone);
    uint8_t* pixels = nullptr;
    int32_t pitch = 0;
    ASSERT_EQ(logo.lock(pixels, pitch), errNone);
    for (int32_t corner : {0, 255, 255 * pitch})
        EXPECT_EQ(pixels[corner], 250);
    int logoPixels = 0;
    for (int32_t y = 0; y < 256; ++y)
        for (int32_t x = 0; x < 256; ++x)
            logoPixels += pixels[y * pitch + x] != 250;
    logo.unlock();
    EXPECT_GT(logoPixels, 256 * 40);

    // The swarm adds its sprite to the picture: the sprite's corner must add nothing.
    SDL_Surface* sprite = IMG_Load(dataPath("img/ildflue_liten.pcx").c_str());
    ASSERT_NE(sprite, nullptr) << IMG_GetError();
    ASSERT_EQ(sprite->format->BitsPerPixel, 8);
    const SDL_Color& corner =
        sprite->format->palette->colors[static_cast<const uint8_t*>(sprite->pixels)[0]];
    EXPECT_EQ(corner.r + corner.g + corner.b, 0);
    SDL_FreeSurface(sprite);
}
