#include "demo/effects/textured_tunnel.hpp"

#include "engine/core/pass_clock.hpp"
#include "engine/math/elementary.hpp"
#include "engine/math/math.hpp"

#include <SDL/SDL.h>

#include <algorithm>
#include <cmath>

using effects::truncOrMin;
using korvid::Matrix;
using korvid::Vector;

namespace {

Matrix rotationX(float a) {
    const float c = korvid::cos(a), s = korvid::sin(a);
    return Matrix{{{1, 0, 0, 0}, {0, c, s, 0}, {0, -s, c, 0}, {0, 0, 0, 1}}};
}

Matrix rotationY(float a) {
    const float c = korvid::cos(a), s = korvid::sin(a);
    return Matrix{{{c, 0, -s, 0}, {0, 1, 0, 0}, {s, 0, c, 0}, {0, 0, 0, 1}}};
}

Matrix rotationZ(float a) {
    const float c = korvid::cos(a), s = korvid::sin(a);
    return Matrix{{{c, s, 0, 0}, {-s, c, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
}

// Directions are row vectors here: (d, 1) * M.
Vector turned(const Matrix& m, const Vector& d) {
    return {d.x * m.m[0][0] + d.y * m.m[1][0] + d.z * m.m[2][0] + m.m[3][0],
            d.x * m.m[0][1] + d.y * m.m[1][1] + d.z * m.m[2][1] + m.m[3][1],
            d.x * m.m[0][2] + d.y * m.m[1][2] + d.z * m.m[2][2] + m.m[3][2]};
}

// Carried interpolants: a corner value shifted left by 8, stepped by an eighth of a
// difference per pixel. The differences of values shifted by 8 are multiples of 256, so
// the eighths are exact and the light never leaves 0 .. 128 << 16. Unsigned words let the
// position along the axis wrap; only its bits 16 to 23 are read.
uint32_t carried(int32_t value) {
    return uint32_t(value) << 8;
}
uint32_t eighth(uint32_t from, uint32_t to) {
    return uint32_t(int32_t(to - from) >> 3);
}

} // namespace

TexturedTunnel::TexturedTunnel(int32_t width, int32_t height, const uint8_t* image,
                               const Palette& palette, float radius)
    : radius(radius), blocksX(std::max(width, 0) / blockSize),
      blocksY(std::max(height, 0) / blockSize), image(image) {
    if (!effects::resizeNoThrow(grid, size_t(blocksX + 1) * size_t(blocksY + 1)) ||
        !effects::resizeNoThrow(shadeTable, size_t(256) * 256))
        return;
    // Row p runs from black (light 0) to palette entry p (light 128) in steps of 1/128;
    // every partial sum is exact in float, so entry i is trunc(i * c / 128).
    for (size_t p = 0; p < 256; ++p) {
        const uint32_t colour = palette[p];
        const float stepR = float((colour >> 16) & 0xFF) * 0.0078125f;
        const float stepG = float((colour >> 8) & 0xFF) * 0.0078125f;
        const float stepB = float(colour & 0xFF) * 0.0078125f;
        float r = 0.0f, g = 0.0f, b = 0.0f;
        uint32_t* row = shadeTable.data() + p * 256;
        for (int32_t i = 0; i <= 128; ++i, r += stepR, g += stepG, b += stepB)
            row[i] = (uint32_t(r) & 0xFF) << 16 | (uint32_t(g) & 0xFF) << 8 | (uint32_t(b) & 0xFF);
    }
    ready = 1;
}

int TexturedTunnel::advance(float dt) {
    const korvid::PassTimer timer(korvid::Pass::twoD);
    if (!ready)
        return 0;
    angles[0] += dt * 1.6f;
    angles[1] -= dt * 2.3f;
    angles[2] += dt * 1.2f;
    travel -= dt * 100.0f;
    return 1;
}

void TexturedTunnel::trace() {
    const Matrix m = rotationX(angles[0]) * rotationY(angles[1]) * rotationZ(angles[2]);
    const Vector c0 = korvid::normalised(turned(m, {-240, -240, 128}));
    const Vector c1 = korvid::normalised(turned(m, {240, -240, 128}));
    const Vector c2 = korvid::normalised(turned(m, {-240, 240, 128}));
    const Vector c3 = korvid::normalised(turned(m, {240, 240, 128}));
    const Vector o{0.0f, 0.0f, -128.0f}; // on the axis
    const float c = o.x * o.x + o.y * o.y - radius * radius;

    // 1/26 per corner row and 1/41 per corner column: the grid starts at c0 exactly and
    // reaches past the other three corners.
    const Vector leftStep = korvid::scaled(c2 - c0, 1.0f / 26.0f);
    const Vector rightStep = korvid::scaled(c3 - c1, 1.0f / 26.0f);
    Vector left = c0, right = c1;
    Corner* corner = grid.data();
    for (int32_t row = 0; row <= blocksY; ++row) {
        const Vector step = korvid::scaled(right - left, 1.0f / 41.0f);
        Vector d = left;
        for (int32_t col = 0; col <= blocksX; ++col, ++corner, d = d + step) {
            // The nearer root of |o + t d| = radius in the xy plane.
            const float a = d.x * d.x + d.y * d.y;
            const float b = 2.0f * (o.x * d.x + o.y * d.y);
            const float t = (-b - std::sqrt(b * b - 4.0f * a * c)) / (2.0f * a);
            const Vector p = o + korvid::scaled(d, t);
            corner->v = truncOrMin(std::fabs(double(travel) * 8.0 + double(p.z)) * 51.2);
            corner->u = truncOrMin(std::fabs(korvid::atan2(double(p.y), double(p.x))) *
                                   20860.75670093953); // 65536 / pi
            const int64_t light =
                int64_t(fullLight) - truncOrMin(std::fabs(double(p.z - o.z)) * 20.48);
            corner->l = int32_t(std::clamp<int64_t>(light, 0, fullLight));
        }
        left = left + leftStep;
        right = right + rightStep;
    }
}

void TexturedTunnel::fillBlocks(uint32_t* pixels, int32_t pitch, int32_t columns,
                                int32_t rows) const {
    const int32_t stride = blocksX + 1;
    for (int32_t by = 0; by < rows; ++by)
        for (int32_t bx = 0; bx < columns; ++bx) {
            const Corner& tl = grid[size_t(by * stride + bx)];
            const Corner& tr = grid[size_t(by * stride + bx + 1)];
            const Corner& bl = grid[size_t((by + 1) * stride + bx)];
            const Corner& br = grid[size_t((by + 1) * stride + bx + 1)];
            uint32_t leftV = carried(tl.v), leftU = carried(tl.u), leftL = carried(tl.l);
            uint32_t rightV = carried(tr.v), rightU = carried(tr.u), rightL = carried(tr.l);
            const uint32_t leftStepV = eighth(leftV, carried(bl.v));
            const uint32_t leftStepU = eighth(leftU, carried(bl.u));
            const uint32_t leftStepL = eighth(leftL, carried(bl.l));
            const uint32_t rightStepV = eighth(rightV, carried(br.v));
            const uint32_t rightStepU = eighth(rightU, carried(br.u));
            const uint32_t rightStepL = eighth(rightL, carried(br.l));
            uint32_t* out = pixels + (by * pitch + bx) * blockSize;
            for (int32_t y = 0; y < blockSize; ++y, out += pitch) {
                const uint32_t stepV = eighth(leftV, rightV), stepU = eighth(leftU, rightU),
                               stepL = eighth(leftL, rightL);
                uint32_t v = leftV, u = leftU, l = leftL;
                for (int32_t x = 0; x < blockSize; ++x, v += stepV, u += stepU, l += stepL) {
                    // The image row follows the angle, the column the axis.
                    const uint32_t index = image[((u >> 16) & 0xFF) * 256 + ((v >> 16) & 0xFF)];
                    out[x] = shadeTable[index * 256 + (l >> 16)];
                }
                leftV += leftStepV, leftU += leftStepU, leftL += leftStepL;
                rightV += rightStepV, rightU += rightStepU, rightL += rightStepL;
            }
        }
}

int TexturedTunnel::render(SDL_Surface* destination) {
    const korvid::PassTimer timer(korvid::Pass::twoD);
    if (!ready || !image || !destination || !destination->pixels ||
        destination->format->BytesPerPixel != 4)
        return 0;
    trace();
    fillBlocks(static_cast<uint32_t*>(destination->pixels), destination->pitch / 4,
               std::min(blocksX, destination->w / blockSize),
               std::min(blocksY, destination->h / blockSize));
    return 1;
}
