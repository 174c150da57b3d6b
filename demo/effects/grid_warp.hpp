#pragma once
// A texture mapped onto a surface through a coarse grid of control points: the target is
// cut into square cells of 2^shift pixels, every grid point carries a texture position
// and a brightness, and each cell interpolates the texture coordinates of its corners.

#include "engine/core/errors.hpp"

#include <cstdint>
#include <memory>

namespace korvid {
class Surface;
}

class GridWarp {
public:
    // x and y in pixels relative to the centre of the grid; z the brightness, 1.0 unchanged.
    struct Point {
        float x, y, z;
    };

    // Stores the surfaces and the cell size and makes room for (cols + 1) * (rows + 1)
    // points, row by row. A null target, a shift outside 0..15 or a failed allocation
    // leave the grid without points.
    void bind(korvid::Surface* target, korvid::Surface* texture, int32_t shift, bool shaded);

    // A regular lattice of (cols + 1) x (rows + 1) points spanning slightly less than the
    // target, from its top-left corner, every brightness z.
    void reset(float z);
    void rotate(float angle, float scale);
    void ripple(float wave, float amplitude, float phase);
    void wobble(float wave, float amplitude, float phaseX, float phaseY);
    void shade(float factor);

    // Fills the target's cells from the texture, coordinates normalised to the target's or
    // the texture's size. 1 without points or without 32-bit surfaces, 12 for a texture
    // whose sides and pitch are not powers of two (its addressing wraps with masks), the
    // lock's code when a surface cannot be locked; 2 when the scratch array cannot grow.
    korvid::Error draw(bool normaliseToTarget);

    void release();

    korvid::Surface* target = nullptr;
    korvid::Surface* texture = nullptr;
    int32_t pointCount = 0, pointCapacity = 0;
    std::unique_ptr<Point[]> points;
    uint8_t shaded = 0;
    int32_t cols = 0, rows = 0;
    int32_t cellSize = 0, shift = 0;

private:
    // The polar form of every point of the regular lattice, worked out once per binding: a
    // rotation or a ripple of points that are still where reset put them reads their
    // radius and angle here instead of working them out again every frame.
    struct Polar {
        float x, y;    // the lattice point
        double radius; // sqrt(x * x + y * y), in double
        float angle;   // atan2(x, y), rounded to a float
    };
    // Calls at(x, y) for the lattice points in order, placed as reset places them.
    template <class At>
    void walkLattice(At at) const;
    // The lattice's polar forms; null when there is no room for them.
    const Polar* latticePolar();

    std::unique_ptr<Polar[]> lattice; // as many as the points can hold
    bool latticeKnown = false;        // it holds this binding's lattice
};
