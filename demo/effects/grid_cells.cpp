#include "demo/effects/grid_cells.hpp"

#include "demo/effects/support.hpp"
#include "engine/core/cpu.hpp"

#include <algorithm>

#if defined(__SSE2__)
#include <immintrin.h>
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

inline Edge edge(const GridRecord& top, const GridRecord& bottom, int32_t shift) {
    return {uint32_t(truncOrMin(top.u)), uint32_t(truncOrMin(top.v)),
            truncOrMin(bottom.u - top.u) >> shift, truncOrMin(bottom.v - top.v) >> shift};
}

// Runs cell(pixels, left, right, w) for every cell: where its top-left pixel lies, its
// two edges, and its brightness w. A cell's right edge is the next one's left edge.
template <class Cell>
void walkCells(const GridCells& g, Cell cell) {
    const int32_t stride = g.cols + 1;
    for (int32_t r = 0; r < g.rows; ++r) {
        const GridRecord* tl = g.records + r * stride;
        uint32_t* pixels = g.target + (r << g.shift) * g.pitch;
        Edge left = edge(tl[0], tl[stride], g.shift);
        for (int32_t c = 0; c < g.cols; ++c, ++tl, pixels += 1 << g.shift) {
            const Edge right = edge(tl[1], tl[stride + 1], g.shift);
            // The brightness of the top corners only, constant over the cell; never
            // above 255 so that shading never brightens, not clamped below.
            const uint32_t w = uint32_t(std::min(truncOrMin(tl[0].b + tl[1].b) >> 1, 255));
            cell(pixels, left, right, w);
            left = right;
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

// The pixel rows of one cell, one pixel at a time: the edges step down a row, and each row
// steps across by the difference of its ends over the cell's width.
template <bool Shaded>
inline void plainCell(uint32_t* pixels, const GridCells& g, const GridTexture& texture, Edge left,
                      Edge right, uint32_t w) {
    const int32_t size = 1 << g.shift;
    for (int32_t i = 0; i < size; ++i, pixels += g.pitch) {
        const int32_t du = int32_t(right.u - left.u) >> g.shift;
        const int32_t dv = int32_t(right.v - left.v) >> g.shift;
        plainRow<Shaded>(pixels, size, texture, left.u, du, left.v, dv, w);
        left.u += uint32_t(left.du), left.v += uint32_t(left.dv);
        right.u += uint32_t(right.du), right.v += uint32_t(right.dv);
    }
}

// The addressing is copied into a local: stores to the target could otherwise alias its
// fields and make the loop reload them for every pixel.
template <bool Shaded>
void plainCells(const GridCells& g, const GridTexture& addressing) {
    const GridTexture texture = addressing;
    walkCells(g, [&](uint32_t* pixels, Edge left, Edge right, uint32_t w) {
        plainCell<Shaded>(pixels, g, texture, left, right, w);
    });
}

#if defined(__SSE2__)

// The vector forms keep a cell's two edges in one register, lanes (left u, left v, right
// u, right v), and step them down a row with one addition. All of u, v and their steps
// wrap modulo 2^32 in the lanes exactly as in the plain form's 32-bit words, and x * du
// is the sum of x steps of du for the same reason.
struct CellEdges {
    __m128i ends, steps;

    CellEdges(const Edge& left, const Edge& right)
        : ends(_mm_set_epi32(int(right.v), int(right.u), int(left.v), int(left.u))),
          steps(_mm_set_epi32(right.dv, right.du, left.dv, left.du)) {}

    // (du, dv) of the current row in lanes 0 and 1: the ends' difference shifted
    // arithmetically, as the plain form shifts its signed difference.
    __m128i rowSteps(__m128i shift) const {
        return _mm_sra_epi32(_mm_sub_epi32(_mm_shuffle_epi32(ends, _MM_SHUFFLE(3, 2, 3, 2)), ends),
                             shift);
    }
    void down() { ends = _mm_add_epi32(ends, steps); }
};

// The lane's value of start + lane * step for lanes 0..3, from a step in every lane:
// (0, s, 0, s) + (0, 0, 2s, 2s).
inline __m128i ramp4(__m128i start, __m128i step) {
    const __m128i odd = _mm_set_epi32(-1, 0, -1, 0), high = _mm_set_epi32(-1, -1, 0, 0);
    return _mm_add_epi32(start, _mm_add_epi32(_mm_and_si128(step, odd),
                                              _mm_and_si128(_mm_add_epi32(step, step), high)));
}

// Each byte times w in a 16-bit lane: at most 255 * 255, so the shift is the floor.
inline __m128i shade4(__m128i texel, __m128i weight) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i lo = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(texel, zero), weight), 8);
    const __m128i hi = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(texel, zero), weight), 8);
    return _mm_packus_epi16(lo, hi);
}

// Four texels' addresses at once, pixels x .. x + 3 of a row in the four lanes, stepping
// by four pixels' worth. The loads themselves stay scalar.
template <bool Shaded>
void sse2Cells(const GridCells& g, const GridTexture& addressing) {
    const GridTexture texture = addressing;
    const int32_t size = 1 << g.shift;
    const __m128i cellShift = _mm_cvtsi32_si128(g.shift);
    const __m128i uShift = _mm_cvtsi32_si128(texture.uShift);
    const __m128i vShift = _mm_cvtsi32_si128(texture.vShift);
    const __m128i uMask = _mm_set1_epi32(int(texture.uMask));
    const __m128i vMask = _mm_set1_epi32(int(texture.vMask));
    const uint32_t* const texels = texture.texels;
    walkCells(g, [&](uint32_t* pixels, Edge left, Edge right, uint32_t w) {
        // Rows narrower than four pixels, and a brightness that wrapped below zero, which
        // spills between the bytes: one pixel at a time.
        if (size < 4 || (Shaded && w > 255)) {
            plainCell<Shaded>(pixels, g, texture, left, right, w);
            return;
        }
        const __m128i weight = _mm_set1_epi16(short(w));
        CellEdges e(left, right);
        alignas(16) uint32_t at[4];
        for (int32_t i = 0; i < size; ++i, pixels += g.pitch, e.down()) {
            const __m128i d = e.rowSteps(cellShift);
            const __m128i du = _mm_shuffle_epi32(d, 0x00), dv = _mm_shuffle_epi32(d, 0x55);
            __m128i us = ramp4(_mm_shuffle_epi32(e.ends, 0x00), du);
            __m128i vs = ramp4(_mm_shuffle_epi32(e.ends, 0x55), dv);
            const __m128i uStep = _mm_slli_epi32(du, 2), vStep = _mm_slli_epi32(dv, 2);
            for (int32_t x = 0; x < size; x += 4) {
                const __m128i index =
                    _mm_add_epi32(_mm_and_si128(_mm_srl_epi32(vs, vShift), vMask),
                                  _mm_and_si128(_mm_srl_epi32(us, uShift), uMask));
                _mm_store_si128(reinterpret_cast<__m128i*>(at), index);
                __m128i texel = _mm_set_epi32(int(texels[at[3]]), int(texels[at[2]]),
                                              int(texels[at[1]]), int(texels[at[0]]));
                if (Shaded)
                    texel = shade4(texel, weight);
                _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels + x), texel);
                us = _mm_add_epi32(us, uStep);
                vs = _mm_add_epi32(vs, vStep);
            }
        }
    });
}

#if KORVID_AVX2_FORMS
// Eight pixels of a row at once with the processor's gather, where it has AVX2: the same
// lanes as the four-pixel form, twice as wide. The 256-bit unpacks and packs work within
// each 128-bit half, so the pixels keep their order. A function of its own per cell: the
// cell walk's lambda would not be compiled for AVX2.
template <bool Shaded>
__attribute__((target("avx2"))) void avx2Cell(uint32_t* pixels, const GridCells& g,
                                              const GridTexture& texture, Edge left, Edge right,
                                              uint32_t w) {
    const int32_t size = 1 << g.shift, pitch = g.pitch;
    const __m128i cellShift = _mm_cvtsi32_si128(g.shift);
    const __m128i uShift = _mm_cvtsi32_si128(texture.uShift);
    const __m128i vShift = _mm_cvtsi32_si128(texture.vShift);
    const __m256i uMask = _mm256_set1_epi32(int(texture.uMask));
    const __m256i vMask = _mm256_set1_epi32(int(texture.vMask));
    const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    const __m256i zero = _mm256_setzero_si256();
    const __m256i weight = _mm256_set1_epi16(short(w));
    const int* const texels = reinterpret_cast<const int*>(texture.texels);
    CellEdges e(left, right);
    for (int32_t i = 0; i < size; ++i, pixels += pitch, e.down()) {
        const __m128i d = e.rowSteps(cellShift);
        const __m256i du = _mm256_broadcastd_epi32(d);
        const __m256i dv = _mm256_broadcastd_epi32(_mm_shuffle_epi32(d, 0x55));
        // The low 32 bits of lane * step, as the lane's additions of the step give them.
        __m256i us =
            _mm256_add_epi32(_mm256_broadcastd_epi32(e.ends), _mm256_mullo_epi32(du, lanes));
        __m256i vs = _mm256_add_epi32(_mm256_broadcastd_epi32(_mm_shuffle_epi32(e.ends, 0x55)),
                                      _mm256_mullo_epi32(dv, lanes));
        const __m256i uStep = _mm256_slli_epi32(du, 3), vStep = _mm256_slli_epi32(dv, 3);
        for (int32_t x = 0; x < size; x += 8) {
            const __m256i index =
                _mm256_add_epi32(_mm256_and_si256(_mm256_srl_epi32(vs, vShift), vMask),
                                 _mm256_and_si256(_mm256_srl_epi32(us, uShift), uMask));
            __m256i texel = _mm256_i32gather_epi32(texels, index, 4);
            if (Shaded) {
                const __m256i lo = _mm256_srli_epi16(
                    _mm256_mullo_epi16(_mm256_unpacklo_epi8(texel, zero), weight), 8);
                const __m256i hi = _mm256_srli_epi16(
                    _mm256_mullo_epi16(_mm256_unpackhi_epi8(texel, zero), weight), 8);
                texel = _mm256_packus_epi16(lo, hi);
            }
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(pixels + x), texel);
            us = _mm256_add_epi32(us, uStep);
            vs = _mm256_add_epi32(vs, vStep);
        }
    }
}

// An edge at eight rows, row i in lane i: start plus the low 32 bits of i * step, as the
// row's additions of the step give them.
__attribute__((target("avx2"))) inline __m256i edgeRows(uint32_t start, int32_t step) {
    return _mm256_add_epi32(
        _mm256_set1_epi32(int(start)),
        _mm256_mullo_epi32(_mm256_set1_epi32(step), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7)));
}

// A cell of 8 x 8 pixels, the show's size, a column at a time: lane i of a register is
// row i, so the edges' starts and steps of all eight rows are worked out together, and
// column k is u + k * du of every row, stepped by one addition. The eight columns are
// then turned into eight rows for the stores.
template <bool Shaded>
__attribute__((target("avx2"))) void avx2Cell8(uint32_t* pixels, const GridCells& g,
                                               const GridTexture& texture, Edge left, Edge right,
                                               uint32_t w) {
    const __m128i cellShift = _mm_cvtsi32_si128(g.shift);
    const __m128i uShift = _mm_cvtsi32_si128(texture.uShift);
    const __m128i vShift = _mm_cvtsi32_si128(texture.vShift);
    const __m256i uMask = _mm256_set1_epi32(int(texture.uMask));
    const __m256i vMask = _mm256_set1_epi32(int(texture.vMask));
    const __m256i zero = _mm256_setzero_si256();
    const __m256i weight = _mm256_set1_epi16(short(w));
    const int* const texels = reinterpret_cast<const int*>(texture.texels);
    __m256i u = edgeRows(left.u, left.du), v = edgeRows(left.v, left.dv);
    const __m256i du =
        _mm256_sra_epi32(_mm256_sub_epi32(edgeRows(right.u, right.du), u), cellShift);
    const __m256i dv =
        _mm256_sra_epi32(_mm256_sub_epi32(edgeRows(right.v, right.dv), v), cellShift);
    // Unrolled, so that the columns stay in registers.
    __m256i c[8];
#pragma GCC unroll 8
    for (int k = 0; k < 8; ++k) {
        const __m256i index =
            _mm256_add_epi32(_mm256_and_si256(_mm256_srl_epi32(v, vShift), vMask),
                             _mm256_and_si256(_mm256_srl_epi32(u, uShift), uMask));
        __m256i texel = _mm256_i32gather_epi32(texels, index, 4);
        if (Shaded) {
            const __m256i lo =
                _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(texel, zero), weight), 8);
            const __m256i hi =
                _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(texel, zero), weight), 8);
            texel = _mm256_packus_epi16(lo, hi);
        }
        c[k] = texel;
        u = _mm256_add_epi32(u, du);
        v = _mm256_add_epi32(v, dv);
    }
    // Transpose: pairs of columns interleaved, then pairs of pairs, then the halves swapped.
    __m256i t[8], q[8];
#pragma GCC unroll 4
    for (int k = 0; k < 8; k += 2) {
        t[k] = _mm256_unpacklo_epi32(c[k], c[k + 1]);
        t[k + 1] = _mm256_unpackhi_epi32(c[k], c[k + 1]);
    }
#pragma GCC unroll 2
    for (int k = 0; k < 8; k += 4) {
        q[k] = _mm256_unpacklo_epi64(t[k], t[k + 2]);
        q[k + 1] = _mm256_unpackhi_epi64(t[k], t[k + 2]);
        q[k + 2] = _mm256_unpacklo_epi64(t[k + 1], t[k + 3]);
        q[k + 3] = _mm256_unpackhi_epi64(t[k + 1], t[k + 3]);
    }
#pragma GCC unroll 4
    for (int i = 0; i < 4; ++i) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(pixels + i * g.pitch),
                            _mm256_permute2x128_si256(q[i], q[i + 4], 0x20));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(pixels + (i + 4) * g.pitch),
                            _mm256_permute2x128_si256(q[i], q[i + 4], 0x31));
    }
}

template <bool Shaded>
void avx2Cells(const GridCells& g, const GridTexture& addressing) {
    const GridTexture texture = addressing;
    const int32_t size = 1 << g.shift;
    walkCells(g, [&](uint32_t* pixels, Edge left, Edge right, uint32_t w) {
        if (size < 8 || (Shaded && w > 255))
            plainCell<Shaded>(pixels, g, texture, left, right, w);
        else if (size == 8)
            avx2Cell8<Shaded>(pixels, g, texture, left, right, w);
        else
            avx2Cell<Shaded>(pixels, g, texture, left, right, w);
    });
}
#endif

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

#if defined(__SSE2__)

namespace sse2 {

void fill_grid_cells(const GridCells& cells, const GridTexture& texture) {
    if (cells.shaded)
        sse2Cells<true>(cells, texture);
    else
        sse2Cells<false>(cells, texture);
}

} // namespace sse2

#if KORVID_AVX2_FORMS
namespace avx2 {

void fill_grid_cells(const GridCells& cells, const GridTexture& texture) {
    if (cells.shaded)
        avx2Cells<true>(cells, texture);
    else
        avx2Cells<false>(cells, texture);
}

} // namespace avx2
#endif

#endif

void fill_grid_cells(const GridCells& cells, const GridTexture& texture) {
#if defined(__SSE2__)
#if KORVID_AVX2_FORMS
    if (korvid::cpuHasAvx2()) {
        avx2::fill_grid_cells(cells, texture);
        return;
    }
#endif
    sse2::fill_grid_cells(cells, texture);
#else
    scalar::fill_grid_cells(cells, texture);
#endif
}
