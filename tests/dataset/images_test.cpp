// Every image of the data set: present, in its format, and loaded by the engine with the
// storage and size that the show relies on.

#include "data_files.hpp"
#include "test_display.hpp"

#include "engine/core/image.hpp"
#include "engine/core/surface.hpp"

#include <SDL/SDL_image.h>
#include <gtest/gtest.h>

#include <algorithm>

using namespace korvid;

namespace {

const bool display = withDisplay();

struct ExpectedImage {
    const char* path;
    SurfaceStorage storage;
    int width, height;
    bool alpha;      // blends by alpha after loading
    bool powerOfTwo; // read as a texture by a material, a grid, a twister or the tunnel
};

const ExpectedImage images[] = {
    {"img/wait.png", storage32, 512, 384, false, false},
    {"img/slutt.png", storage32, 512, 384, false, false},
    {"img/allgreets.png", storage32, 2304, 80, false, false},
    {"img/pellogo.png", storage32, 164, 44, true, false},
    {"img/startx.png", storage32, 440, 116, false, false},
    {"img/startx2.png", storage32, 440, 116, true, false},
    {"img/stripetex.png", storage32, 256, 256, false, true},
    {"img/end.png", storage32, 512, 384, false, false},
    {"img/end_tex.jpg", storage32, 256, 256, false, true},
    {"img/realshoe.gif", storage8, 128, 128, false, true},
    {"img/grass.gif", storage8, 512, 512, false, true},
    {"img/greetings_back.png", storage32, 512, 1024, false, false},
    {"img/ruklogo.png", storage32, 276, 170, true, false},
    {"img/darkground.gif", storage8, 256, 256, false, true},
    {"img/credits_music.png", storage32, 300, 384, true, false},
    {"img/credits_code.png", storage32, 300, 384, true, false},
    {"img/credits_graphics.png", storage32, 310, 384, true, false},
    {"img/credits_music_text.png", storage32, 128, 70, true, false},
    {"img/credits_code_text.png", storage32, 210, 70, true, false},
    {"img/credits_graphics_text.png", storage32, 146, 70, true, false},
    {"img/allcreds_tex.png", storage32, 512, 512, true, true},
    {"img/bg_credits.jpg", storage32, 512, 384, false, false},
    {"img/bg_credits_tex.jpg", storage32, 512, 512, false, true},
    {"img/bgfx0.png", storage32, 512, 384, false, false},
    {"img/bgfx1.png", storage32, 512, 384, false, false},
    {"img/bgfx2.png", storage32, 512, 384, false, false},
    {"img/bgfx3.png", storage32, 512, 384, false, false},
    {"img/ruklogo_tex.gif", storage8, 256, 256, false, true},
    {"img/darkground2.gif", storage8, 256, 256, false, true},
    {"img2/specmap.png", storage32, 256, 256, false, true},
    {"img2/lightmap1.png", storage32, 256, 256, false, true},
    {"img2/lightmap2.png", storage32, 256, 256, false, true},
    {"img2/rock1.png", storage32, 256, 256, false, true},
    {"img2/rock1b.png", storage32, 256, 256, false, true},
    {"img2/pant1.png", storage32, 256, 256, false, true},
    {"img2/pant1b.png", storage32, 256, 256, false, true},
};

// As the show loads it: the images of the asset list as it says, the effects' own plain.
bool mipmappedByTheShow(const std::string& path) {
    for (const ImageAsset& image : showImages)
        if (path == image.path)
            return image.mipmapped;
    return false;
}

bool isPowerOfTwo(int v) {
    return v > 0 && (v & (v - 1)) == 0;
}

bool endsWith(const std::string& s, const char* suffix) {
    const std::string end(suffix);
    return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

// The file's own signature; PNGs must be 8-bit truecolour (colour type 2 or 6), never
// palettised, so that the engine makes them 32-bit.
void expectFormat(const std::string& path) {
    const std::vector<uint8_t> b = fileBytes(dataPath(path));
    ASSERT_GT(b.size(), 32u) << path;
    if (endsWith(path, ".png")) {
        EXPECT_EQ(b[0], 0x89) << path;
        EXPECT_EQ(std::string(b.begin() + 1, b.begin() + 4), "PNG") << path;
        EXPECT_EQ(b[24], 8) << path << ": bit depth";
        EXPECT_TRUE(b[25] == 2 || b[25] == 6) << path << ": colour type " << int(b[25]);
    } else if (endsWith(path, ".jpg")) {
        EXPECT_EQ(b[0], 0xFF) << path;
        EXPECT_EQ(b[1], 0xD8) << path;
    } else if (endsWith(path, ".gif")) {
        EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "GIF8") << path;
    } else if (endsWith(path, ".pcx")) {
        EXPECT_EQ(b[0], 10) << path;
        EXPECT_EQ(b[3], 8) << path << ": bits per pixel";
    }
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
        if (image.powerOfTwo) {
            EXPECT_TRUE(isPowerOfTwo(plain.width));
            EXPECT_TRUE(isPowerOfTwo(plain.height));
        }
        Surface shown;
        EXPECT_EQ(loadImage(&shown, dataPath(image.path), mipmappedByTheShow(image.path)), errNone);
    }
}

TEST(DatasetImages, PicturesFitWhereTheShowDrawsThem) {
    auto size = [](const char* path) {
        Surface s;
        loadImage(&s, dataPath(path), false);
        return std::make_pair(s.width, s.height);
    };
    // Captions at x 384, 56 and 293 must end before the picture or the screen edge.
    EXPECT_LE(384 + size("img/credits_music_text.png").first, 512);
    EXPECT_LE(56 + size("img/credits_graphics_text.png").first, 202);
    EXPECT_LE(293 + size("img/credits_code_text.png").first, 512);
    EXPECT_LE(202 + size("img/credits_graphics.png").first, 512);
    // The greetings strip scrolls 2304 pixels across part 7; its backdrop scrolls 640 up.
    EXPECT_GE(size("img/allgreets.png").first, 2200);
    EXPECT_GE(size("img/greetings_back.png").second, 384 + 640);
    // Title and its mask cross-fade in register.
    EXPECT_EQ(size("img/startx.png"), size("img/startx2.png"));
}

TEST(DatasetImages, TitleMaskBecomesWhiteTypeWithAlpha) {
    Surface mask;
    ASSERT_EQ(loadAlphaImage(&mask, 0xFFFFFF, dataPath("img/startx.png"), false), errNone);
    uint32_t* pixels = nullptr;
    int32_t pitch = 0;
    ASSERT_EQ(mask.lock(pixels, pitch), errNone);
    uint32_t highest = 0;
    for (int32_t y = 0; y < mask.height; ++y)
        for (int32_t x = 0; x < mask.width; ++x) {
            EXPECT_EQ(pixels[y * pitch + x] & 0xFFFFFF, 0xFFFFFFu);
            highest = std::max(highest, pixels[y * pitch + x] >> 24);
        }
    EXPECT_EQ(pixels[0] >> 24, 0u) << "the background is transparent";
    EXPECT_EQ(highest, 255u) << "the letters are opaque";
    mask.unlock();
}

TEST(DatasetImages, LogoTextureKeepsItsBackgroundOnEntry250) {
    Surface logo;
    ASSERT_EQ(loadImage(&logo, dataPath("img/ruklogo_tex.gif"), true), errNone);
    uint8_t* pixels = nullptr;
    int32_t pitch = 0;
    ASSERT_EQ(logo.lock(pixels, pitch), errNone);
    // Corners and the rows above the logo are background; the middle is logo.
    EXPECT_EQ(pixels[0], 250);
    EXPECT_EQ(pixels[255], 250);
    EXPECT_EQ(pixels[255 * pitch], 250);
    int logoPixels = 0;
    for (int32_t y = 0; y < 256; ++y)
        for (int32_t x = 0; x < 256; ++x)
            logoPixels += pixels[y * pitch + x] != 250;
    logo.unlock();
    EXPECT_GT(logoPixels, 256 * 40) << "the logo covers a good part of the texture";
}

TEST(DatasetImages, FireflySpriteGlowsOnBlack) {
    SDL_Surface* sprite = IMG_Load(dataPath("img/ildflue_liten.pcx").c_str());
    ASSERT_NE(sprite, nullptr) << IMG_GetError();
    EXPECT_EQ(sprite->format->BitsPerPixel, 8);
    ASSERT_EQ(SDL_LockSurface(sprite), 0);
    const auto* index = static_cast<const uint8_t*>(sprite->pixels);
    const SDL_Color& corner = sprite->format->palette->colors[index[0]];
    const SDL_Color& centre =
        sprite->format->palette->colors[index[sprite->h / 2 * sprite->pitch + sprite->w / 2]];
    EXPECT_EQ(corner.r + corner.g + corner.b, 0) << "added to the picture: black adds nothing";
    EXPECT_GT(centre.r, 200);
    SDL_UnlockSurface(sprite);
    SDL_FreeSurface(sprite);
}
