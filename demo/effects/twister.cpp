#include "demo/effects/twister.hpp"

#include "demo/effects/support.hpp"
#include "engine/core/pass_clock.hpp"
#include "engine/math/elementary.hpp"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

using effects::truncOrMin;

namespace {
constexpr int32_t farDepth = 100000000;
constexpr int32_t mapMask = Twister::mapSize - 1;
} // namespace

uint32_t twister_shade(uint32_t texel, uint32_t light, uint32_t specular) {
#if defined(__SSE2__)
    // The four bytes widened to 16-bit lanes: the products fit, the shift is the floor,
    // and the add saturates per byte.
    const __m128i zero = _mm_setzero_si128();
    const __m128i t = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(texel)), zero);
    const __m128i l = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(light)), zero);
    const __m128i lit = _mm_srli_epi16(_mm_mullo_epi16(t, l), 8);
    const __m128i sum = _mm_adds_epu8(_mm_packus_epi16(lit, lit), _mm_cvtsi32_si128(int(specular)));
    return uint32_t(_mm_cvtsi128_si32(sum));
#else
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const uint32_t lit = (((texel >> shift) & 0xFF) * ((light >> shift) & 0xFF)) >> 8;
        out |= std::min(lit + ((specular >> shift) & 0xFF), 0xFFu) << shift;
    }
    return out;
#endif
}

bool Twister::setMaps(const uint32_t* spec, const uint32_t* light, const uint32_t* height,
                      const uint32_t* colour) {
    if (!spec || !light || !height || !colour)
        return false;
    const size_t cells = size_t(mapSize) * mapSize;
    if (!effects::resizeNoThrow(slopeX, cells) || !effects::resizeNoThrow(slopeY, cells))
        return false;
    specMap = spec;
    lightMap = light;
    heightMap = height;
    colourMap = colour;
    const auto h = [height](int32_t x, int32_t y) {
        return int32_t(height[(y & mapMask) * mapSize + (x & mapMask)] & 0xFF);
    };
    for (int32_t y = 0; y < mapSize; ++y)
        for (int32_t x = 0; x < mapSize; ++x) {
            slopeY[size_t(y * mapSize + x)] = int8_t((h(x, y + 1) - h(x, y)) / 4);
            slopeX[size_t(y * mapSize + x)] = int8_t((h(x + 1, y) - h(x, y)) / 4);
        }
    return true;
}

void Twister::draw(uint32_t* pixels, int32_t width, int32_t height, int32_t pitch, double d,
                   int32_t centreX) {
    const korvid::PassTimer timer(korvid::Pass::twoD);
    if (!pixels || !colourMap || height <= 0)
        return;
    // Base outline: a circle of radius 50 with three lobes whose depth k breathes with d.
    const double k = korvid::sin(5.0 * d) * 0.05 + 0.1;
    const int32_t last = outlineCount - 1;
    for (int32_t i = 0; i < outlineCount; ++i) {
        const double s = double(i) / double(last);
        const double a = s * 6.283185307179586;
        const double m = korvid::sin(3.0 * a) * k + 1.0;
        OutlinePoint& p = outline[size_t(i)];
        double sine, cosine;
        korvid::sincos(a, sine, cosine);
        p.x = cosine * m * 50.0;
        p.y = sine * m * 50.0;
        p.is = truncOrMin(s * 16777216.0);
    }
    // Normals from the neighbours on the closed curve (point 64 is point 0 again).
    for (int32_t j = 0; j < outlineCount; ++j) {
        const OutlinePoint& next = outline[size_t((j + 1) % last)];
        const OutlinePoint& prev = outline[size_t((j + last - 1) % last)];
        const double dx = next.x - prev.x, dy = next.y - prev.y;
        const double length = std::sqrt(dx * dx + dy * dy);
        outline[size_t(j)].nx = -dy / length;
        outline[size_t(j)].ny = dx / length;
    }

    const int32_t limit = std::clamp(width, 0, depthColumns);
    const double w = korvid::sin(d * 0.26);
    uint32_t* row = pixels;
    for (int32_t r = 0; r < height; ++r, row += pitch) {
        const double q = double(r) / double(height);
        const double scale = korvid::sin(q * 8.0 + d) * 0.25 + 1.0;
        const double angle = 2.0 * korvid::sin(3.0 * q) * korvid::cos(2.0 * q * w) + d;
        double s, c;
        korvid::sincos(angle, s, c);
        for (OutlinePoint& p : outline) {
            p.ix = truncOrMin((c * p.x - s * p.y) * scale);
            p.iz = truncOrMin((s * p.x + c * p.y) * scale * 65536.0);
            p.in = 0x800000 + truncOrMin((c * p.nx - s * p.ny) * 8388608.0);
        }
        drawRow(row, r & mapMask, centreX, limit);
    }
}

void Twister::drawRow(uint32_t* row, int32_t t, int32_t centreX, int32_t limit) {
    // Reset only the columns this row can reach.
    int32_t lo = limit, hi = 0;
    for (const OutlinePoint& p : outline) {
        lo = std::min(lo, p.ix + centreX);
        hi = std::max(hi, p.ix + centreX);
    }
    lo = std::max(lo, 0);
    hi = std::min(hi, limit);
    if (lo < hi)
        std::fill(depth.begin() + lo, depth.begin() + hi, farDepth);

    const uint32_t* texture = colourMap + t * mapSize;
    const int8_t* slopeRowX = slopeX.data() + t * mapSize;
    const int8_t* slopeRowY = slopeY.data() + t * mapSize;
    for (int32_t j = 0; j + 1 < outlineCount; ++j) {
        const OutlinePoint& a = outline[size_t(j)];
        const OutlinePoint& b = outline[size_t(j + 1)];
        const int32_t x0 = a.ix + centreX, x1 = b.ix + centreX;
        if (x1 <= x0) // only segments facing the viewer
            continue;
        const int32_t length = x1 - x0;
        const int32_t dz = (b.iz - a.iz) / length;
        const int32_t ds = (b.is - a.is) / length;
        const int32_t dn = (b.in - a.in) / length;
        // Columns cut at the left edge still advance the interpolants.
        const int32_t start = std::max(x0, 0), end = std::min(x1, limit);
        const int64_t skipped = start - x0;
        int32_t z = int32_t(a.iz + dz * skipped);
        int32_t s = int32_t(a.is + ds * skipped);
        int32_t n = int32_t(a.in + dn * skipped);
        for (int32_t x = start; x < end; ++x, z += dz, s += ds, n += dn) {
            if (depth[size_t(x)] <= z)
                continue;
            const int32_t u = (s >> 16) & mapMask;
            const int32_t lx = ((n >> 16) + slopeRowX[u]) & mapMask;
            const int32_t ly = (slopeRowY[u] + t) & mapMask;
            const int32_t at = ly * mapSize + lx;
            row[x] = twister_shade(texture[u], lightMap[at], specMap[at]);
            depth[size_t(x)] = z;
        }
    }
}
