#pragma once
// Interfering rings: a table of heights (distance plus petals, low 8 bits) twice the
// frame's size, read at three offsets on Lissajous paths; the 8-bit sum of the three
// heights indexes a palette.

#include "demo/effects/drawable2d.hpp"
#include "demo/effects/support.hpp"

#include <cstdint>
#include <vector>

class RingField : public Drawable2D {
public:
    // Fills the height table; ready once it is allocated.
    RingField(int32_t width, int32_t height, const Palette& palette, double weightA, double weightB,
              int32_t lobesA, int32_t lobesB);
    RingField(const RingField&) = delete;
    RingField& operator=(const RingField&) = delete;

    // Draws the clip rectangle, read as (left, top, width, height) and kept inside the
    // width x height frame, into `pixels` (rows of `width` pixels). 1 when drawn, 0 when
    // not ready.
    int draw(uint32_t* pixels, double t);

    // The three table offsets at time t (y * tableWidth + x each), kept inside the table.
    void offsets(double t, int32_t out[3]) const;

    int32_t tableWidth, tableHeight;
    std::vector<uint8_t> heights;
    Palette palette;
};
