#include "demo/effects/ring_field.hpp"
#include "engine/core/pass_clock.hpp"

#include <algorithm>
#include <cmath>

using effects::trunc32;

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
            const double th = std::atan2(double(dy), double(dx));
            const double h =
                std::sqrt(double(dx * dx + dy * dy)) +
                petalScale * (weightA * std::cos(lobesA * th) + weightB * std::sin(lobesB * th));
            *cell++ = uint8_t(trunc32(h)); // the low 8 bits, negative heights wrapping
        }
    }
    ready = 1;
}

void RingField::offsets(double t, int32_t out[3]) const {
    const double cx = width / 2, cy = height / 2;
    // The rates and phases are float constants widened to double.
    const int32_t ys[3] = {
        trunc32(90.0 * std::cos(t * 0.800000011920929 + 1.100000023841858) + cy),
        trunc32(90.0 * std::cos(t * 0.699999988079071 + 6.900000095367432) + cy),
        trunc32(90.0 * std::cos(t * 1.100000023841858 + 1.2000000476837158) + cy)};
    const int32_t xs[3] = {
        trunc32(120.0 * std::sin(t * 1.100000023841858 + 1.5) + cx),
        trunc32(120.0 * std::sin(t * 0.8999999761581421 + 4.199999809265137) + cx),
        trunc32(120.0 * std::sin(t * 0.8999999761581421 + 3.0999999046325684) + cx)};
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
        for (int32_t x = x0; x < x1; ++x)
            row[x] = palette[uint8_t(a[x] + b[x] + c[x])];
    }
    return 1;
}
