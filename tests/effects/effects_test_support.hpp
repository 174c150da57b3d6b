#pragma once
// Shared pieces of the effect tests: deterministic pixel data and plain access to the
// pixels of engine surfaces (readPixels comes from surface_pixels.hpp).

#include "engine/core/surface.hpp"
#include "guarded_rows.hpp"
#include "surface_pixels.hpp"

#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace effects_test {

inline std::vector<uint32_t> randomWords(size_t count, uint32_t seed) {
    std::vector<uint32_t> words(count);
    for (uint32_t& w : words)
        w = guarded::next(seed);
    return words;
}

inline void writePixels(korvid::Surface& surface, const std::vector<uint32_t>& values) {
    uint32_t* pixels = nullptr;
    int32_t pitch = 0;
    ASSERT_EQ(surface.lock(pixels, pitch), korvid::errNone);
    for (int32_t y = 0; y < surface.height; ++y)
        for (int32_t x = 0; x < surface.width; ++x)
            pixels[y * pitch + x] = values[size_t(y * surface.width + x)];
    surface.unlock();
}

// A 32-bit surface of random pixels.
inline void makeSurface(korvid::Surface& surface, int32_t width, int32_t height, uint32_t seed) {
    ASSERT_EQ(surface.create(width, height, korvid::storage32, false), korvid::errNone);
    writePixels(surface, randomWords(size_t(width) * size_t(height), seed));
}

// A 24-bit BMP of w x h pixels below the build tree, pixel (x, y) = values[y * w + x] (black
// without values). One name per test: tests run side by side.
inline std::string writeBmp(const std::string& name, int32_t w, int32_t h,
                            const std::vector<uint32_t>& values = {}) {
    const std::string path = std::string(KORVID_BINARY_DIR) + "/" + name + ".bmp";
    SDL_Surface* s = SDL_CreateRGBSurface(0, w, h, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    for (int32_t y = 0; y < h && !values.empty(); ++y)
        for (int32_t x = 0; x < w; ++x)
            static_cast<uint32_t*>(s->pixels)[y * s->pitch / 4 + x] = values[size_t(y * w + x)];
    SDL_SaveBMP(s, path.c_str());
    SDL_FreeSurface(s);
    return path;
}

// A 32-bit 0xAARRGGBB window-system surface, as the sprites and the tunnel draw into.
inline SDL_Surface* sdlFrame(int32_t w, int32_t h) {
    return SDL_CreateRGBSurface(0, w, h, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000);
}

} // namespace effects_test
