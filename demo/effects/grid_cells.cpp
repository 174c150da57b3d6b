#include "demo/effects/grid_cells.hpp"

#include "demo/effects/support.hpp"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

using effects::truncOrMin;

namespace {

// Per byte, alpha included: bytes 1 and 3 as ((t >> 8) & 0x00FF00FF) * w kept in
// 0xFF00FF00, bytes 0 and 2 as ((t & 0x00FF00FF) * w) >> 8. For w up to 255 no lane
// carries into the next, so every byte is (c * w) >> 8; a negative w wraps as the
// unsigned word it becomes.
inline uint32_t shadeTexel(uint32_t texel, uint32_t w) {
    return ((((texel >> 8) & 0x00FF00FF) * w) & 0xFF00FF00) |
           ((((texel & 0x00FF00FF) * w) >> 8) & 0x00FF00FF);
}

// An edge of a cell: start and per-row step of u and v.
struct Edge {
    uint32_t u, v;
    int32_t du, dv;
};

Edge edge(const GridRecord& top, const GridRecord& bottom, int32_t shift) {
    return {uint32_t(truncOrMin(top.u)), uint32_t(truncOrMin(top.v)),
            truncOrMin(bottom.u - top.u) >> shift, truncOrMin(bottom.v - top.v) >> shift};
}

// Runs row(pixels, u, du, v, dv, w) for every pixel row of every cell: u and v where the
// row starts, their steps per pixel, and the cell's brightness w.
template <class Row>
void walkCells(const GridCells& g, Row row) {
    const int32_t size = 1 << g.shift;
    const int32_t stride = g.cols + 1;
    for (int32_t r = 0; r < g.rows; ++r)
        for (int32_t c = 0; c < g.cols; ++c) {
            const GridRecord* tl = g.records + r * stride + c;
            Edge left = edge(tl[0], tl[stride], g.shift);
            Edge right = edge(tl[1], tl[stride + 1], g.shift);
            // The brightness of the top corners only, constant over the cell; never
            // above 255 so that shading never brightens, not clamped below.
            const uint32_t w = uint32_t(std::min(truncOrMin(tl[0].b + tl[1].b) >> 1, 255));
            uint32_t* pixels = g.target + (r << g.shift) * g.pitch + (c << g.shift);
            for (int32_t i = 0; i < size; ++i, pixels += g.pitch) {
                const int32_t du = int32_t(right.u - left.u) >> g.shift;
                const int32_t dv = int32_t(right.v - left.v) >> g.shift;
                row(pixels, left.u, du, left.v, dv, w);
                left.u += uint32_t(left.du), left.v += uint32_t(left.dv);
                right.u += uint32_t(right.du), right.v += uint32_t(right.dv);
            }
        }
}

// n pixels of a row, one at a time.
template <bool Shaded>
inline void plainRow(uint32_t* pixels, int32_t n, const GridTexture& texture, uint32_t u,
                     int32_t du, uint32_t v, int32_t dv, uint32_t w) {
    for (int32_t x = 0; x < n; ++x, u += uint32_t(du), v += uint32_t(dv)) {
        const uint32_t texel = texture.at(u, v);
        pixels[x] = Shaded ? shadeTexel(texel, w) : texel;
    }
}

// The addressing is copied into a local: stores to the target could otherwise alias its
// fields and make the loop reload them for every pixel.
template <bool Shaded>
void plainCells(const GridCells& g, const GridTexture& addressing) {
    const GridTexture texture = addressing;
    const int32_t size = 1 << g.shift;
    walkCells(g, [&](uint32_t* pixels, uint32_t u, int32_t du, uint32_t v, int32_t dv, uint32_t w) {
        plainRow<Shaded>(pixels, size, texture, u, du, v, dv, w);
    });
}

#if defined(__SSE2__)

// Four texels' addresses at once: the coordinates of pixels x .. x + 3 sit in the four
// lanes and step by four pixels' worth, which wraps modulo 2^32 exactly as four single
// steps do. The loads themselves stay scalar.
template <bool Shaded>
void simdCells(const GridCells& g, const GridTexture& addressing) {
    const GridTexture texture = addressing;
    const int32_t size = 1 << g.shift;
    const __m128i uShift = _mm_cvtsi32_si128(texture.uShift);
    const __m128i vShift = _mm_cvtsi32_si128(texture.vShift);
    const __m128i uMask = _mm_set1_epi32(int(texture.uMask));
    const __m128i vMask = _mm_set1_epi32(int(texture.vMask));
    const __m128i zero = _mm_setzero_si128();
    const uint32_t* const texels = texture.texels;
    walkCells(g, [&](uint32_t* pixels, uint32_t u, int32_t du, uint32_t v, int32_t dv, uint32_t w) {
        int32_t x = 0;
        // A brightness that wrapped below zero spills between the bytes: one at a time.
        if (!Shaded || w <= 255) {
            const uint32_t su = uint32_t(du), sv = uint32_t(dv);
            __m128i us = _mm_set_epi32(int(u + 3 * su), int(u + 2 * su), int(u + su), int(u));
            __m128i vs = _mm_set_epi32(int(v + 3 * sv), int(v + 2 * sv), int(v + sv), int(v));
            const __m128i uStep = _mm_set1_epi32(int(4 * su));
            const __m128i vStep = _mm_set1_epi32(int(4 * sv));
            // Each byte times w in a 16-bit lane: at most 255 * 255, so the shift is the floor.
            const __m128i weight = _mm_set1_epi16(short(w));
            alignas(16) uint32_t at[4];
            for (; x + 4 <= size; x += 4) {
                const __m128i index =
                    _mm_add_epi32(_mm_and_si128(_mm_srl_epi32(vs, vShift), vMask),
                                  _mm_and_si128(_mm_srl_epi32(us, uShift), uMask));
                _mm_store_si128(reinterpret_cast<__m128i*>(at), index);
                __m128i texel = _mm_set_epi32(int(texels[at[3]]), int(texels[at[2]]),
                                              int(texels[at[1]]), int(texels[at[0]]));
                if (Shaded) {
                    const __m128i lo =
                        _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(texel, zero), weight), 8);
                    const __m128i hi =
                        _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(texel, zero), weight), 8);
                    texel = _mm_packus_epi16(lo, hi);
                }
                _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels + x), texel);
                us = _mm_add_epi32(us, uStep);
                vs = _mm_add_epi32(vs, vStep);
            }
            u += uint32_t(x) * su;
            v += uint32_t(x) * sv;
        }
        plainRow<Shaded>(pixels + x, size - x, texture, u, du, v, dv, w);
    });
}

#endif

} // namespace

namespace scalar {

void fill_grid_cells(const GridCells& cells, const GridTexture& texture) {
    if (cells.shaded)
        plainCells<true>(cells, texture);
    else
        plainCells<false>(cells, texture);
}

} // namespace scalar

void fill_grid_cells(const GridCells& cells, const GridTexture& texture) {
#if defined(__SSE2__)
    if (cells.shaded)
        simdCells<true>(cells, texture);
    else
        simdCells<false>(cells, texture);
#else
    scalar::fill_grid_cells(cells, texture);
#endif
}
