#pragma once
// The sum-of-waves plasma: four 12-bit phases walk through one cosine table, two along x
// and two along y; the sum of the four values, reduced to 8 bits, indexes a palette.
// Either added onto the pixels or written into their alpha, inside the clip rectangle.

#include "demo/effects/drawable2d.hpp"
#include "demo/effects/support.hpp"

#include <cstdint>
#include <vector>

class InterferencePlasma : public Drawable2D {
public:
    static constexpr int32_t tableSize = 4096; // phases wrap with a 12-bit mask

    // Copies the palette; ready once the tables are allocated.
    InterferencePlasma(int32_t width, int32_t height, const Palette& palette);
    InterferencePlasma(const InterferencePlasma&) = delete;
    InterferencePlasma& operator=(const InterferencePlasma&) = delete;

    // wave[i] = trunc(sum of c_k cos(2^k i 2pi/4096)) << 16, for k = 0..5.
    void setWaves(double c1, double c2, double c3, double c4, double c5, double c6);
    void setSpeeds(int32_t s1, int32_t s2);
    void setSteps(int32_t a, int32_t b, int32_t c, int32_t d);

    // Accumulates dt and runs one tick per whole unit; each tick draws four numbers from
    // the show's generator. A dt that is not finite is ignored.
    void advance(double dt);

    // The clip rectangle here is (left, top, width, height). `pixels` is a frame of
    // `width` pixels per row; the drawing area is kept inside the width x height frame.
    // Each returns 1, or 0 when not ready.
    // Adds the palette colour per channel with saturation; the result's alpha is 0.
    int addTo(uint32_t* pixels);
    // Replaces the alpha of every pixel whose alpha is not 0 by the palette entry's alpha
    // clamped to lo..hi (compared as whole unsigned 32-bit words).
    int alphaTo(uint32_t* pixels, int32_t lo, int32_t hi);

    std::vector<int32_t> wave; // 16.16 with no fraction
    Palette palette;
    double clock = 0.0;    // ticks not yet run
    int32_t phase[4] = {}; // p0, p1 along x; p2, p3 along y
    int32_t step[4] = {};  // a, b per pixel; c, d per row
    int32_t speed[2] = {}; // s1 added to p0, s2 to p2 per tick

private:
    template <class PixelOp>
    void drawArea(uint32_t* pixels, PixelOp op);

    std::vector<uint8_t> rowPattern; // the x part of the index, the same for every row
};
