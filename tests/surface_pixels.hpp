#pragma once
// Reading and writing single pixels of a 32-bit Surface in tests.

#include "engine/core/surface.hpp"

#include <gtest/gtest.h>

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
