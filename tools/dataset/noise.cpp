#include "noise.hpp"

#include "engine/math/elementary.hpp"
#include "random.hpp"

#include <cmath>

namespace dataset {

namespace {

int wrapCell(int v, int period) {
    return period > 0 ? ((v % period) + period) % period : v;
}

float fade(float t) {
    return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f);
}

// Dot product of the lattice gradient at (ix, iy) with the offset (dx, dy).
float lattice(int ix, int iy, int period, uint32_t seed, float dx, float dy) {
    const uint32_t h = hash3(wrapCell(ix, period), wrapCell(iy, period), 0, seed);
    const float angle = float(h & 0xFFFF) * (6.2831853f / 65536.0f);
    return korvid::cos(angle) * dx + korvid::sin(angle) * dy;
}

} // namespace

float gradientNoise(float x, float y, int period, uint32_t seed) {
    const int ix = int(std::floor(x)), iy = int(std::floor(y));
    const float fx = x - float(ix), fy = y - float(iy);
    const float u = fade(fx), v = fade(fy);
    const float n00 = lattice(ix, iy, period, seed, fx, fy);
    const float n10 = lattice(ix + 1, iy, period, seed, fx - 1.0f, fy);
    const float n01 = lattice(ix, iy + 1, period, seed, fx, fy - 1.0f);
    const float n11 = lattice(ix + 1, iy + 1, period, seed, fx - 1.0f, fy - 1.0f);
    const float top = n00 + (n10 - n00) * u;
    const float bottom = n01 + (n11 - n01) * u;
    return (top + (bottom - top) * v) * 1.414f;
}

float fbm(float x, float y, int octaves, int period, uint32_t seed, float gain) {
    float sum = 0.0f, weight = 1.0f, total = 0.0f;
    for (int i = 0; i < octaves; ++i) {
        sum += gradientNoise(x, y, period, seed + uint32_t(i) * 1013u) * weight;
        total += weight;
        weight *= gain;
        x *= 2.0f;
        y *= 2.0f;
        period *= 2;
    }
    return sum / total;
}

float ridged(float x, float y, int octaves, int period, uint32_t seed) {
    float sum = 0.0f, weight = 1.0f, total = 0.0f;
    for (int i = 0; i < octaves; ++i) {
        const float n = 1.0f - std::fabs(gradientNoise(x, y, period, seed + uint32_t(i) * 7919u));
        sum += n * n * weight;
        total += weight;
        weight *= 0.5f;
        x *= 2.0f;
        y *= 2.0f;
        period *= 2;
    }
    return sum / total;
}

Cells cellular(float x, float y, int period, uint32_t seed) {
    const int ix = int(std::floor(x)), iy = int(std::floor(y));
    Cells out{1e9f, 1e9f, 0};
    for (int oy = -1; oy <= 1; ++oy)
        for (int ox = -1; ox <= 1; ++ox) {
            const int cx = ix + ox, cy = iy + oy;
            const uint32_t h = hash3(wrapCell(cx, period), wrapCell(cy, period), 7, seed);
            const float px = float(cx) + unitFloat(h);
            const float py = float(cy) + unitFloat(hash3(int(h), 3, 1, seed));
            const float d = korvid::hypot(px - x, py - y);
            if (d < out.nearest) {
                out.second = out.nearest;
                out.nearest = d;
                out.id = h;
            } else if (d < out.second) {
                out.second = d;
            }
        }
    return out;
}

} // namespace dataset
