// web-image-hashes DIR: every image file of the show's data set in DIR, loaded as the show
// loads images, one line each: the file, whether as a texture, the engine's code, the
// surface's size, storage and blend mode, and hashes of its palette and of every pixel row
// (the mipmap band included); then, as a sprite converts it to 32 bits, its size and pixel
// hash. Built for the processor and for node, so that the browser build's tests can tell
// that both load exactly the same surfaces.

#include "demo/assets.hpp"
#include "demo/effects/image_sprite.hpp"
#include "engine/core/image.hpp"
#include "engine/core/surface.hpp"

#include <SDL/SDL.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

using namespace korvid;

namespace {

// 64-bit FNV-1a of a byte range, continued from `h`.
uint64_t fnv(const void* data, size_t bytes, uint64_t h = 0xcbf29ce484222325ull) {
    const auto* p = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < bytes; ++i) {
        h ^= p[i];
        h *= 0x100000001b3ull;
    }
    return h;
}

uint64_t rowsHash(const void* pixels, int rows, int rowBytes, int pitchBytes) {
    uint64_t h = 0xcbf29ce484222325ull;
    for (int y = 0; y < rows; ++y)
        h = fnv(static_cast<const uint8_t*>(pixels) + size_t(y) * size_t(pitchBytes),
                size_t(rowBytes), h);
    return h;
}

void printSurface(const char* path, bool mipmapped) {
    Surface surface;
    const Error code = loadImage(&surface, path, mipmapped);
    uint64_t pixels = 0;
    const int rows = surface.mipmapped ? surface.height + surface.height / 2 : surface.height;
    if (surface.storage == storage32) {
        uint32_t* p = nullptr;
        int32_t pitch = 0;
        if (surface.lock(p, pitch) == errNone) {
            pixels = rowsHash(p, rows, surface.width * 4, pitch * 4);
            surface.unlock();
        }
    } else if (surface.storage == storage8) {
        uint8_t* p = nullptr;
        int32_t pitch = 0;
        if (surface.lock(p, pitch) == errNone) {
            pixels = rowsHash(p, rows, surface.width, pitch);
            surface.unlock();
        }
    }
    const uint64_t palette =
        fnv(surface.palette.data(), surface.palette.size() * sizeof(surface.palette[0]));
    std::printf("%s %s code=%d %dx%d storage=%d blend=%u palette=%016llx pixels=%016llx\n", path,
                mipmapped ? "texture" : "image", int(code), int(surface.width), int(surface.height),
                int(surface.storage), unsigned(surface.blendMode),
                static_cast<unsigned long long>(palette), static_cast<unsigned long long>(pixels));
}

void printSprite(const char* path) {
    ImageSprite sprite(512, 384, path, ImageSprite::opCopy, 0x00FF0000, 0x0000FF00, 0x000000FF,
                       0xFF000000);
    const SDL_Surface* image = sprite.image;
    if (!image) {
        std::printf("%s sprite none\n", path);
        return;
    }
    std::printf("%s sprite %dx%d pixels=%016llx\n", path, image->w, image->h,
                static_cast<unsigned long long>(
                    rowsHash(image->pixels, image->h, image->w * 4, image->pitch)));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: web-image-hashes DIR\n");
        return 2;
    }
    if (chdir(argv[1]) != 0) {
        std::fprintf(stderr, "web-image-hashes: cannot enter %s\n", argv[1]);
        return 1;
    }
    // Images in 32 bits are converted to the display's format, so a display must be open.
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    if (SDL_Init(SDL_INIT_VIDEO) < 0 || !SDL_SetVideoMode(512, 384, 32, 0)) {
        std::fprintf(stderr, "web-image-hashes: %s\n", SDL_GetError());
        return 1;
    }
    for (const char* path : show_image_files()) {
        printSurface(path, false);
        printSurface(path, true);
        printSprite(path);
    }
    SDL_Quit();
    return 0;
}
