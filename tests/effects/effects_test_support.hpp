#pragma once
// Shared pieces of the effect tests: deterministic pixel data and plain access to the
// pixels of engine surfaces (readPixels comes from surface_pixels.hpp).

#include "engine/core/surface.hpp"
#include "surface_pixels.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace effects_test {

// xorshift32: test data that does not touch the show's generator.
inline uint32_t nextRandom(uint32_t& state) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

inline std::vector<uint32_t> randomWords(size_t count, uint32_t seed) {
    std::vector<uint32_t> words(count);
    for (uint32_t& w : words)
        w = nextRandom(seed);
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

} // namespace effects_test
