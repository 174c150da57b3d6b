#include "demo/effects/ring_field.hpp"
#include "engine/core/pass_clock.hpp"
#include "engine/math/elementary.hpp"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

using effects::truncOrMin;

RingField::RingField(int32_t width, int32_t height, const Palette& colours, double weightA,
                     double weightB, int32_t lobesA, int32_t lobesB)
    : Drawable2D(width, height), tableWidth(2 * std::max(width, 0)),
      tableHeight(2 * std::max(height, 0)), palette(colours) {
    if (!effects::resizeNoThrow(heights, size_t(tableWidth) * size_t(tableHeight)))
        return;
    constexpr double petalScale = 40.584509359066445; // 255 / (2 pi)
    const int32_t halfW = tableWidth / 2, halfH = tableHeight / 2;
    uint8_t* cell = heights.data();
    for (int32_t y = 0; y < tableHeight; ++y) {
        const int32_t dy = y - halfH;
        for (int32_t x = 0; x < tableWidth; ++x) {
            const int32_t dx = x - halfW;
            const double th = korvid::atan2(double(dy), double(dx));
            const double h = std::sqrt(double(dx * dx + dy * dy)) +
                             petalScale * (weightA * korvid::cos(lobesA * th) +
                                           weightB * korvid::sin(lobesB * th));
            *cell++ = uint8_t(truncOrMin(h)); // the low 8 bits, negative heights wrapping
        }
    }
    ready = 1;
}

void RingField::offsets(double t, int32_t out[3]) const {
    const double cx = width / 2, cy = height / 2;
    // The rates and phases are float constants widened to double: they keep their float
    // bits, which double literals of the same decimals would not.
    const int32_t ys[3] = {truncOrMin(90.0 * korvid::cos(t * double(0.8f) + double(1.1f)) + cy),
                           truncOrMin(90.0 * korvid::cos(t * double(0.7f) + double(6.9f)) + cy),
                           truncOrMin(90.0 * korvid::cos(t * double(1.1f) + double(1.2f)) + cy)};
    const int32_t xs[3] = {truncOrMin(120.0 * korvid::sin(t * double(1.1f) + 1.5) + cx),
                           truncOrMin(120.0 * korvid::sin(t * double(0.9f) + double(4.2f)) + cx),
                           truncOrMin(120.0 * korvid::sin(t * double(0.9f) + double(3.1f)) + cx)};
    // Frames of 240 x 180 or more never need the clamp; it keeps smaller ones (and a
    // t of NaN) inside the table.
    for (int k = 0; k < 3; ++k) {
        const int32_t x = std::clamp(xs[k], 0, tableWidth - width);
        const int32_t y = std::clamp(ys[k], 0, tableHeight - height);
        out[k] = y * tableWidth + x;
    }
}

int RingField::draw(uint32_t* pixels, double t) {
    const korvid::PassTimer timer(korvid::Pass::twoD);
    if (!ready || !pixels)
        return 0;
    int32_t offset[3];
    offsets(t, offset);
    const int32_t left = clip.left, top = clip.top;
    const int32_t x0 = std::max(left, 0), x1 = std::min(left + int32_t(clip.right), width);
    const int32_t y0 = std::max(top, 0), y1 = std::min(top + int32_t(clip.bottom), height);
    for (int32_t y = y0; y < y1; ++y) {
        const uint8_t* a = heights.data() + y * tableWidth + offset[0];
        const uint8_t* b = heights.data() + y * tableWidth + offset[1];
        const uint8_t* c = heights.data() + y * tableWidth + offset[2];
        uint32_t* row = pixels + y * width;
        int32_t x = x0;
#if defined(__SSE2__)
        // Sixteen heights summed at once, modulo 256 in the byte lanes; the palette reads
        // stay scalar.
        alignas(16) uint8_t index[16];
        for (; x + 16 <= x1; x += 16) {
            const __m128i sum =
                _mm_add_epi8(_mm_add_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a + x)),
                                          _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + x))),
                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(c + x)));
            _mm_store_si128(reinterpret_cast<__m128i*>(index), sum);
            for (int i = 0; i < 16; ++i)
                row[x + i] = palette[index[i]];
        }
#endif
        for (; x < x1; ++x)
            row[x] = palette[uint8_t(a[x] + b[x] + c[x])];
    }
    return 1;
}
