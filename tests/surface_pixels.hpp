#pragma once
// Reading and writing the pixels of a Surface in tests.

#include "engine/core/surface.hpp"

#include <gtest/gtest.h>

#include <vector>

inline uint32_t pixelAt(korvid::Surface& s, int x, int y) {
    uint32_t* p = nullptr;
    int32_t pitch = 0;
    EXPECT_EQ(s.lock(p, pitch), korvid::errNone);
    const uint32_t v = p ? p[y * pitch + x] : 0;
    s.unlock();
    return v;
}

inline void setPixel(korvid::Surface& s, int x, int y, uint32_t v) {
    uint32_t* p = nullptr;
    int32_t pitch = 0;
    ASSERT_EQ(s.lock(p, pitch), korvid::errNone);
    p[y * pitch + x] = v;
    s.unlock();
}

// The width x height pixels (uint32_t) or indices (uint8_t), row by row without the pitch;
// empty when the surface cannot be locked that way.
template <class Pixel = uint32_t>
std::vector<Pixel> readPixels(korvid::Surface& surface) {
    Pixel* pixels = nullptr;
    int32_t pitch = 0;
    std::vector<Pixel> out;
    if (surface.lock(pixels, pitch) != korvid::errNone)
        return out;
    for (int32_t y = 0; y < surface.height; ++y)
        out.insert(out.end(), pixels + y * pitch, pixels + y * pitch + surface.width);
    surface.unlock();
    return out;
}
