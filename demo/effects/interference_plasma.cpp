#include "demo/effects/interference_plasma.hpp"

#include "engine/core/pass_clock.hpp"
#include "engine/math/elementary.hpp"
#include "platform/crt_rand.hpp"

#include <algorithm>
#include <cmath>

namespace {
constexpr uint32_t phaseMask = InterferencePlasma::tableSize - 1;
constexpr double maxBacklog = 1e6;
} // namespace

InterferencePlasma::InterferencePlasma(int32_t width, int32_t height, const Palette& colours)
    : Drawable2D(width, height), palette(colours) {
    if (effects::resizeNoThrow(wave, tableSize) &&
        effects::resizeNoThrow(rowPattern, size_t(std::max(width, 0))))
        ready = 1;
}

void InterferencePlasma::setWaves(double c1, double c2, double c3, double c4, double c5,
                                  double c6) {
    if (wave.empty())
        return;
    // Two pi / 4096 and its doublings, as doubles.
    constexpr double w1 = 0.0015339807878857422, w2 = 0.0030679615757714844,
                     w4 = 0.006135923151542969, w8 = 0.012271846303085938,
                     w16 = 0.024543692606171875, w32 = 0.04908738521234375;
    for (int32_t i = 0; i < tableSize; ++i) {
        const double sum = c1 * korvid::cos(i * w1) + c2 * korvid::cos(i * w2) +
                           c3 * korvid::cos(i * w4) + c4 * korvid::cos(i * w8) +
                           c5 * korvid::cos(i * w16) + c6 * korvid::cos(i * w32);
        wave[size_t(i)] = int32_t(uint32_t(effects::truncOrMin(sum)) << 16);
    }
}

void InterferencePlasma::setSpeeds(int32_t s1, int32_t s2) {
    speed[0] = s1;
    speed[1] = s2;
}

void InterferencePlasma::setSteps(int32_t a, int32_t b, int32_t c, int32_t d) {
    step[0] = a;
    step[1] = b;
    step[2] = c;
    step[3] = d;
}

void InterferencePlasma::advance(double dt) {
    const korvid::PassTimer timer(korvid::Pass::twoD);
    // A time step that is not a number, or a backlog beyond a million ticks, is dropped:
    // the loop below must end, and the show never comes near either.
    if (!std::isfinite(dt))
        return;
    clock = std::min(clock + dt, maxBacklog);
    while (clock >= 1.0) {
        crt::rand();
        phase[0] = int32_t((uint32_t(phase[0]) + uint32_t(speed[0])) & phaseMask);
        phase[1] = int32_t((uint32_t(phase[1]) + uint32_t(crt::rand() % 2)) & phaseMask);
        phase[2] = int32_t((uint32_t(phase[2]) + uint32_t(crt::rand() % 2) + uint32_t(speed[1])) &
                           phaseMask);
        crt::rand();
        phase[3] = int32_t(uint32_t(phase[3]) & phaseMask);
        clock -= 1.0;
    }
}

// Every wave value is an integer shifted left by 16, so (sum of four) >> 16 & 255, bits 16
// to 23 of the 32-bit sum, equals the 8-bit sum of the x pair's and the y pair's parts. The x part
// is the same for every row: it is made once per draw, and a pixel costs one byte load and one add.
template <class PixelOp>
void InterferencePlasma::drawArea(uint32_t* pixels, PixelOp op) {
    const int32_t left = clip.left, top = clip.top;
    const int32_t x0 = std::max(left, 0), x1 = std::min(left + int32_t(clip.right), width);
    const int32_t y0 = std::max(top, 0), y1 = std::min(top + int32_t(clip.bottom), height);
    if (x0 >= x1 || y0 >= y1)
        return;

    // Phases at the first drawn pixel and row (the area's own start when nothing is cut).
    const auto at = [](int32_t start, int32_t perStep, int32_t steps) {
        return (uint32_t(start) + uint32_t(perStep) * uint32_t(steps)) & phaseMask;
    };
    uint32_t u0 = at(phase[0], step[0], x0 - left), u1 = at(phase[1], step[1], x0 - left);
    for (int32_t x = x0; x < x1; ++x) {
        rowPattern[size_t(x)] = uint8_t((uint32_t(wave[u0]) + uint32_t(wave[u1])) >> 16);
        u0 = (u0 + uint32_t(step[0])) & phaseMask;
        u1 = (u1 + uint32_t(step[1])) & phaseMask;
    }
    uint32_t r2 = at(phase[2], step[2], y0 - top), r3 = at(phase[3], step[3], y0 - top);
    for (int32_t y = y0; y < y1; ++y) {
        const uint8_t rowPart = uint8_t((uint32_t(wave[r2]) + uint32_t(wave[r3])) >> 16);
        uint32_t* row = pixels + y * width;
        for (int32_t x = x0; x < x1; ++x)
            row[x] = op(row[x], uint8_t(rowPattern[size_t(x)] + rowPart));
        r2 = (r2 + uint32_t(step[2])) & phaseMask;
        r3 = (r3 + uint32_t(step[3])) & phaseMask;
    }
}

int InterferencePlasma::addTo(uint32_t* pixels) {
    const korvid::PassTimer timer(korvid::Pass::twoD);
    if (!ready || !pixels)
        return 0;
    drawArea(pixels, [this](uint32_t d, uint8_t index) {
        return effects::addSaturateRgb(d, palette[index]);
    });
    return 1;
}

int InterferencePlasma::alphaTo(uint32_t* pixels, int32_t lo, int32_t hi) {
    const korvid::PassTimer timer(korvid::Pass::twoD);
    if (!ready || !pixels)
        return 0;
    // What each palette entry adds to a pixel's low 24 bits: the entry clamped, as whole
    // words, to lo << 24 .. hi << 24.
    const uint32_t low = uint32_t(lo) << 24, high = uint32_t(hi) << 24;
    Palette clamped;
    for (size_t i = 0; i < clamped.size(); ++i) {
        const uint32_t e = palette[i];
        clamped[i] = e < low ? low : (e > high ? high : e);
    }
    drawArea(pixels, [&clamped](uint32_t d, uint8_t index) {
        return d < 0x01000000 ? d : (d & 0x00FFFFFF) + clamped[index];
    });
    return 1;
}
