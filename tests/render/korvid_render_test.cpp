// korvid-render on the reference 3DS files: every file with something to draw gives a PNG
// with drawn pixels, the same on a second run; the others give a message and status 1.

#include <SDL/SDL.h>
#include <SDL/SDL_image.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>

namespace {

const std::string tool = KORVID_BINARY_DIR "/tools/render/korvid-render";
const std::string data = "../shared/testdata/3ds/";
const std::string out = KORVID_BINARY_DIR "/tests/render/korvid-render-";

// The tool's exit status; its standard error goes to `errors`.
int run(const std::string& arguments, const std::string& errors) {
    const int status = std::system((tool + " " + arguments + " 2>" + errors).c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string contents(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

struct Counts {
    int width = 0, height = 0;
    int drawn = 0; // not the background
    int dark = 0;  // near black: outlines and unlit sides
};

Counts countPixels(const std::string& path) {
    Counts c;
    SDL_Surface* image = IMG_Load(path.c_str());
    if (!image)
        return c;
    c.width = image->w;
    c.height = image->h;
    SDL_LockSurface(image);
    const int bytes = image->format->BytesPerPixel;
    for (int y = 0; y < image->h; ++y)
        for (int x = 0; x < image->w; ++x) {
            const uint8_t* p = static_cast<uint8_t*>(image->pixels) + y * image->pitch + x * bytes;
            uint32_t value = 0;
            for (int i = 0; i < bytes; ++i)
                value |= uint32_t(p[i]) << (8 * i);
            uint8_t r, g, b;
            SDL_GetRGB(value, image->format, &r, &g, &b);
            c.drawn += !(r == 0x40 && g == 0x48 && b == 0x58);
            c.dark += r + g + b < 24;
        }
    SDL_UnlockSurface(image);
    SDL_FreeSurface(image);
    return c;
}

TEST(KorvidRender, DrawsEveryReferenceFileWithMaterialsTheSameTwice) {
    for (const std::string name :
         {"cube_with_diffuse_texture.3DS", "cube_with_specular_texture.3DS", "cubes_with_alpha.3DS",
          "test1.3ds"}) {
        const std::string first = out + name + ".png", second = out + name + ".2.png";
        const std::string errors = out + name + ".txt";
        ASSERT_EQ(run(data + name + " --out " + first, errors), 0) << name << contents(errors);
        ASSERT_EQ(run(data + name + " --out " + second, errors), 0) << name;
        const Counts c = countPixels(first);
        EXPECT_EQ(c.width, 512) << name;
        EXPECT_EQ(c.height, 384) << name;
        EXPECT_GT(c.drawn, 512 * 384 / 10) << name;
        EXPECT_GT(c.dark, 200) << name; // the outlines at least
        EXPECT_EQ(contents(first), contents(second)) << name;
    }
    const std::string small = out + "small.png";
    ASSERT_EQ(run(data + "test1.3ds --out " + small + " --size 160x100 --outline 0 --frame 50",
                  out + "small.txt"),
              0);
    const Counts c = countPixels(small);
    EXPECT_EQ(c.width, 160);
    EXPECT_EQ(c.height, 100);
    EXPECT_GT(c.drawn, 160 * 100 / 10);
}

TEST(KorvidRender, FilesWithNothingToDrawAndBadArgumentsFail) {
    for (const std::string name : {"CameraRollAnim.3ds", "RotatingCube.3DS", "fels.3ds"}) {
        const std::string errors = out + name + ".txt";
        EXPECT_EQ(run(data + name + " --out " + out + name + ".png", errors), 1) << name;
        EXPECT_NE(contents(errors).find("nothing to draw"), std::string::npos) << name;
    }
    const std::string errors = out + "errors.txt";
    EXPECT_EQ(run(data + "missing.3ds --out " + out + "missing.png", errors), 1);
    EXPECT_NE(contents(errors).find("cannot import: file input/output error"), std::string::npos);
    EXPECT_EQ(run(data + "test1.3ds --out " + out + "x.png --camera /Box01", errors), 1);
    EXPECT_NE(contents(errors).find("no camera node at /Box01"), std::string::npos);
    EXPECT_EQ(run(data + "test1.3ds", errors), 1);
    EXPECT_NE(contents(errors).find("usage: korvid-render"), std::string::npos);
    EXPECT_EQ(run(data + "test1.3ds --out x.png --outline 3", errors), 1);
    EXPECT_EQ(run(data + "test1.3ds --out x.png --size 12", errors), 1);
}

} // namespace
