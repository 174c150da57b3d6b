#include "engine/core/pixel_rows.hpp"

#include "engine/core/pixel.hpp"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace korvid {

namespace {

inline uint32_t alphaPixel(uint32_t d, uint32_t s, uint32_t a) {
    const uint32_t w = a == 255 ? s >> 24 : ((s >> 24) * a) >> 8;
    if (w == 0)
        return d;
    return w == 255 ? s : blendPixel255(d, s, w);
}

} // namespace

namespace scalar {

void blendRow(uint32_t* dst, const uint32_t* src, int32_t n, uint32_t w) {
    for (int32_t x = 0; x < n; ++x)
        dst[x] = blendPixel255(dst[x], src[x], w);
}

void alphaRow(uint32_t* dst, const uint32_t* src, int32_t n, uint32_t a) {
    for (int32_t x = 0; x < n; ++x)
        dst[x] = alphaPixel(dst[x], src[x], a);
}

void addRow(uint32_t* dst, const uint32_t* src, int32_t n) {
    for (int32_t x = 0; x < n; ++x)
        dst[x] = addSaturate(dst[x], src[x]);
}

} // namespace scalar

#if defined(__SSE2__)

namespace {

inline __m128i load4(const uint32_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

inline void store4(uint32_t* p, __m128i v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

// Four pixels blended byte by byte in 16-bit lanes: d * (255 - w) + s * w is at most
// 255 * 255, so neither a product nor the sum leaves its unsigned lane, and the logical
// shift is the exact floor. wLo and wHi hold each pixel's weight in its four lanes.
inline __m128i blend4(__m128i d, __m128i s, __m128i wLo, __m128i wHi) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i full = _mm_set1_epi16(255);
    const __m128i lo =
        _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), _mm_sub_epi16(full, wLo)),
                      _mm_mullo_epi16(_mm_unpacklo_epi8(s, zero), wLo));
    const __m128i hi =
        _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), _mm_sub_epi16(full, wHi)),
                      _mm_mullo_epi16(_mm_unpackhi_epi8(s, zero), wHi));
    return _mm_packus_epi16(_mm_srli_epi16(lo, 8), _mm_srli_epi16(hi, 8));
}

} // namespace

void blendRow(uint32_t* dst, const uint32_t* src, int32_t n, uint32_t w) {
    const __m128i weight = _mm_set1_epi16(short(w));
    int32_t x = 0;
    for (; x + 4 <= n; x += 4)
        store4(dst + x, blend4(load4(dst + x), load4(src + x), weight, weight));
    scalar::blendRow(dst + x, src + x, n - x, w);
}

void alphaRow(uint32_t* dst, const uint32_t* src, int32_t n, uint32_t a) {
    const __m128i opacity = _mm_set1_epi32(int(a));
    const __m128i opaque = _mm_set1_epi32(255);
    int32_t x = 0;
    for (; x + 4 <= n; x += 4) {
        const __m128i s = load4(src + x);
        __m128i w = _mm_srli_epi32(s, 24);
        // alpha * a is at most 255 * 255: the low 16-bit product is the whole of it.
        if (a != 255)
            w = _mm_srli_epi32(_mm_mullo_epi16(w, opacity), 8);
        const __m128i keep = _mm_cmpeq_epi32(w, _mm_setzero_si128());
        const __m128i copy = _mm_cmpeq_epi32(w, opaque);
        const int keepMask = _mm_movemask_epi8(keep), copyMask = _mm_movemask_epi8(copy);
        if (keepMask == 0xFFFF)
            continue;
        if (copyMask == 0xFFFF) {
            store4(dst + x, s);
            continue;
        }
        const __m128i d = load4(dst + x);
        // Each pixel's weight into the four 16-bit lanes of its channels.
        const __m128i pair = _mm_or_si128(w, _mm_slli_epi32(w, 16));
        const __m128i blended =
            blend4(d, s, _mm_unpacklo_epi32(pair, pair), _mm_unpackhi_epi32(pair, pair));
        const __m128i out =
            _mm_or_si128(_mm_or_si128(_mm_and_si128(keep, d), _mm_and_si128(copy, s)),
                         _mm_andnot_si128(_mm_or_si128(keep, copy), blended));
        store4(dst + x, out);
    }
    scalar::alphaRow(dst + x, src + x, n - x, a);
}

void addRow(uint32_t* dst, const uint32_t* src, int32_t n) {
    int32_t x = 0;
    for (; x + 4 <= n; x += 4)
        store4(dst + x, _mm_adds_epu8(load4(dst + x), load4(src + x)));
    scalar::addRow(dst + x, src + x, n - x);
}

#else

void blendRow(uint32_t* dst, const uint32_t* src, int32_t n, uint32_t w) {
    scalar::blendRow(dst, src, n, w);
}

void alphaRow(uint32_t* dst, const uint32_t* src, int32_t n, uint32_t a) {
    scalar::alphaRow(dst, src, n, a);
}

void addRow(uint32_t* dst, const uint32_t* src, int32_t n) {
    scalar::addRow(dst, src, n);
}

#endif

} // namespace korvid
