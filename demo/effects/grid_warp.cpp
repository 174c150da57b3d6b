#include "demo/effects/grid_warp.hpp"

#include "demo/effects/grid_cells.hpp"
#include "engine/core/pass_clock.hpp"
#include "engine/core/surface.hpp"
#include "engine/math/elementary.hpp"

#include <cmath>
#include <cstring>
#include <new>

using korvid::Error;
using korvid::Surface;

namespace {

// Shared by every grid: grows when a grid needs more, never shrinks, lives to the end.
struct Scratch {
    std::unique_ptr<GridRecord[]> records;
    size_t capacity = 0;

    bool reserve(size_t count) {
        if (count <= capacity)
            return true;
        records.reset();
        capacity = 0;
        records.reset(new (std::nothrow) GridRecord[count]);
        if (!records)
            return false;
        capacity = count;
        return true;
    }
} scratch;

constexpr double twoPi = 6.2831855;

bool isPowerOfTwo(int32_t value, int32_t log2) {
    return log2 < 31 && value == (1 << log2);
}

} // namespace

void GridWarp::bind(Surface* targetSurface, Surface* textureSurface, int32_t cellShift,
                    bool withShading) {
    target = targetSurface;
    texture = textureSurface;
    shaded = withShading ? 1 : 0;
    const bool valid = target && cellShift >= 0 && cellShift < 16;
    shift = valid ? cellShift : 0;
    cellSize = 1 << shift;
    cols = valid ? target->width >> shift : 0;
    rows = valid ? target->height >> shift : 0;
    const int32_t needed = valid ? (cols + 1) * (rows + 1) : 0;
    if (needed > pointCapacity) {
        points.reset(new (std::nothrow) Point[size_t(needed)]);
        lattice.reset(points ? new (std::nothrow) Polar[size_t(needed)] : nullptr);
        pointCapacity = points ? needed : 0;
    }
    pointCount = needed <= pointCapacity ? needed : 0;
    latticeKnown = false;
}

template <class At>
void GridWarp::walkLattice(At at) const {
    // Steps of width / (cols + 1): the lattice spans slightly less than the frame.
    const float sx = float(target->width) / float(cols + 1);
    const float sy = float(target->height) / float(rows + 1);
    float y = float(-(target->height / 2));
    for (int32_t j = 0; j <= rows; ++j, y += sy) {
        float x = float(-(target->width / 2));
        for (int32_t i = 0; i <= cols; ++i, x += sx)
            at(x, y);
    }
}

const GridWarp::Polar* GridWarp::latticePolar() {
    if (!lattice || pointCount == 0)
        return nullptr;
    if (!latticeKnown) {
        Polar* polar = lattice.get();
        walkLattice([&polar](float x, float y) {
            *polar++ = {x, y, std::sqrt(double(x) * x + double(y) * y),
                        float(korvid::atan2(double(x), double(y)))};
        });
        latticeKnown = true;
    }
    return lattice.get();
}

namespace {

// The point is the lattice point, to the bit: -0 and +0 have different angles.
inline bool samePlace(float x, float y, float latticeX, float latticeY) {
    uint32_t a[2], b[2];
    std::memcpy(&a[0], &x, 4);
    std::memcpy(&a[1], &y, 4);
    std::memcpy(&b[0], &latticeX, 4);
    std::memcpy(&b[1], &latticeY, 4);
    return a[0] == b[0] && a[1] == b[1];
}

} // namespace

void GridWarp::reset(float z) {
    const korvid::PassTimer timer(korvid::Pass::twoD);
    if (pointCount == 0)
        return;
    Point* p = points.get();
    walkLattice([&p, z](float x, float y) { *p++ = {x, y, z}; });
}

void GridWarp::rotate(float angle, float scale) {
    const korvid::PassTimer timer(korvid::Pass::twoD);
    const Polar* polar = latticePolar();
    for (int32_t i = 0; i < pointCount; ++i) {
        Point& p = points[size_t(i)];
        const bool known = polar && samePlace(p.x, p.y, polar[i].x, polar[i].y);
        const double r =
            (known ? polar[i].radius : std::sqrt(double(p.x) * p.x + double(p.y) * p.y)) * scale;
        const float th =
            (known ? polar[i].angle : float(korvid::atan2(double(p.x), double(p.y)))) + angle;
        double s, c;
        korvid::sincos(double(th), s, c);
        p.x = float(s * r);
        p.y = float(c * r);
    }
}

void GridWarp::ripple(float wave, float amplitude, float phase) {
    const korvid::PassTimer timer(korvid::Pass::twoD);
    if (pointCount == 0)
        return;
    const float k = float(twoPi / (double(target->width) * wave));
    const float p = float(phase * twoPi);
    const Polar* polar = latticePolar();
    for (int32_t i = 0; i < pointCount; ++i) {
        Point& q = points[size_t(i)];
        const double r = polar && samePlace(q.x, q.y, polar[i].x, polar[i].y)
                             ? polar[i].radius
                             : std::sqrt(double(q.x) * q.x + double(q.y) * q.y);
        const double c = korvid::cos(r * k - p);
        const double s = (c + double(0.4f)) * amplitude + 1.0; // 0.4 with its float bits
        q.x = float(q.x * s);
        q.y = float(q.y * s);
        q.z = float((c + 2.0) * q.z);
    }
}

void GridWarp::wobble(float wave, float amplitude, float phaseX, float phaseY) {
    const korvid::PassTimer timer(korvid::Pass::twoD);
    if (pointCount == 0)
        return;
    const float k = float(twoPi / (double(target->width) * wave));
    const float px = float(phaseX * twoPi), py = float(phaseY * twoPi);
    for (int32_t i = 0; i < pointCount; ++i) {
        Point& q = points[size_t(i)];
        const float x = q.x, y = q.y;
        q.x = float(x + korvid::sin(double(k) * y + px) * amplitude);
        q.y = float(y + korvid::sin(double(k) * x + py) * amplitude);
    }
}

void GridWarp::shade(float factor) {
    const korvid::PassTimer timer(korvid::Pass::twoD);
    for (int32_t i = 0; i < pointCount; ++i)
        points[size_t(i)].z = factor * points[size_t(i)].z;
}

Error GridWarp::draw(bool normaliseToTarget) {
    const korvid::PassTimer timer(korvid::Pass::twoD);
    // The cells were counted at bind; a target that has shrunk since cannot take them.
    if (pointCount == 0 || !texture || target->storage != korvid::storage32 ||
        texture->storage != korvid::storage32 || (cols << shift) > target->width ||
        (rows << shift) > target->height)
        return korvid::errInvalidCall;
    if (!isPowerOfTwo(texture->width, texture->widthLog2) ||
        !isPowerOfTwo(texture->height, texture->heightLog2) ||
        !isPowerOfTwo(texture->pitch, texture->pitchLog2) || texture->widthLog2 > 24 ||
        texture->heightLog2 + texture->pitchLog2 > 24)
        return korvid::errIllegalSurfaceUsage;
    if (!scratch.reserve(size_t(pointCount)))
        return korvid::errMemory;

    const Surface* n = normaliseToTarget ? target : texture;
    const float nw = float(n->width), nh = float(n->height);
    for (int32_t i = 0; i < pointCount; ++i) {
        const Point& p = points[size_t(i)];
        scratch.records[size_t(i)] = {float((p.x / nw + 0.5) * 16777216.0),
                                      float((p.y / nh + 0.5) * 16777216.0), float(p.z * 256.0)};
    }

    GridTexture addressing;
    addressing.uShift = 24 - texture->widthLog2;
    addressing.vShift = 24 - texture->heightLog2 - texture->pitchLog2;
    addressing.uMask = (1u << texture->widthLog2) - 1;
    addressing.vMask = ((1u << texture->heightLog2) - 1) << texture->pitchLog2;

    uint32_t* targetPixels = nullptr;
    uint32_t* texels = nullptr;
    int32_t targetPitch = 0, texturePitch = 0;
    Error code = target->lock(targetPixels, targetPitch);
    if (code != korvid::errNone)
        return code;
    code = texture->lock(texels, texturePitch);
    if (code != korvid::errNone) {
        target->unlock();
        return code;
    }
    addressing.texels = texels;
    GridCells cells;
    cells.records = scratch.records.get();
    cells.cols = cols;
    cells.rows = rows;
    cells.shift = shift;
    cells.shaded = shaded != 0;
    cells.target = targetPixels;
    cells.pitch = targetPitch;
    fill_grid_cells(cells, addressing);
    texture->unlock();
    target->unlock();
    return korvid::errNone;
}

void GridWarp::release() {
    points.reset();
    lattice.reset();
    latticeKnown = false;
    pointCount = 0;
    pointCapacity = 0;
}
