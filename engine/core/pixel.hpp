#pragma once
// Packed-pixel arithmetic on 0xAARRGGBB words, two channels per multiply.

#include <cstdint>

namespace korvid {

// An opacity as a blend weight of 0..255: trunc(opacity * 256), clamped, so that 1.0 gives
// 255 and 0.5 gives 128; NaN gives 0. Worked out in double, where the product is exact.
inline uint32_t opacityWeight(float opacity) {
    const double a = double(opacity) * 256.0;
    if (!(a > 0.0))
        return 0;
    return a >= 255.0 ? 255 : uint32_t(a);
}

// Per byte (x * (255 - w) + y * w) >> 8, for w in 0..255: the two weights sum to 255, so
// w = 255 gives 255/256 of y. Each lane's sum is at most 255 * 255, so it never carries
// into the next lane of the 0x00FF00FF halves.
inline uint32_t blendPixel255(uint32_t x, uint32_t y, uint32_t w) {
    const uint32_t v = 255 - w;
    const uint32_t rb = (((x & 0x00FF00FF) * v + (y & 0x00FF00FF) * w) >> 8) & 0x00FF00FF;
    const uint32_t ag = ((x >> 8) & 0x00FF00FF) * v + ((y >> 8) & 0x00FF00FF) * w;
    return rb | (ag & 0xFF00FF00);
}

// The same in red, green and blue only; the alpha byte of the result is 0.
inline uint32_t blendPixelRgb255(uint32_t x, uint32_t y, uint32_t w) {
    return blendPixel255(x, y, w) & 0x00FFFFFF;
}

// Per byte min(x + y, 255), alpha included. A lane of 9 bits marks its overflow in
// bit 8; (overflow - overflow >> 8) turns that bit into 0xFF over the lane.
inline uint32_t addSaturate(uint32_t x, uint32_t y) {
    uint32_t rb = (x & 0x00FF00FF) + (y & 0x00FF00FF);
    uint32_t ag = ((x >> 8) & 0x00FF00FF) + ((y >> 8) & 0x00FF00FF);
    const uint32_t rbOver = rb & 0x01000100;
    const uint32_t agOver = ag & 0x01000100;
    rb = (rb | (rbOver - (rbOver >> 8))) & 0x00FF00FF;
    ag = (ag | (agOver - (agOver >> 8))) & 0x00FF00FF;
    return rb | ag << 8;
}

// Per byte (p + q) >> 1, without carries between lanes.
inline uint32_t average2(uint32_t p, uint32_t q) {
    return ((p & 0xFEFEFEFE) >> 1) + ((q & 0xFEFEFEFE) >> 1) + (p & q & 0x01010101);
}

} // namespace korvid
