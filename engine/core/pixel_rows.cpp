#include "engine/core/pixel_rows.hpp"

#include "engine/core/cpu.hpp"
#include "engine/core/pixel.hpp"

#if defined(__SSE2__)
#include <immintrin.h>
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

#if KORVID_AVX2_FORMS
namespace avx2 {

// Eight pixels at a time, with no branch: the blend, the kept destination and the copied
// source are all worked out and each pixel's weight picks one. The 256-bit unpacks and packs
// work within each 128-bit half, so every pixel meets its own weight.
__attribute__((target("avx2"))) void alphaRow(uint32_t* dst, const uint32_t* src, int32_t n,
                                              uint32_t a) {
    const __m256i opacity = _mm256_set1_epi32(int(a));
    const __m256i opaque = _mm256_set1_epi32(255);
    const __m256i zero = _mm256_setzero_si256();
    const __m256i full = _mm256_set1_epi16(255);
    int32_t x = 0;
    for (; x + 8 <= n; x += 8) {
        const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + x));
        const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + x));
        __m256i w = _mm256_srli_epi32(s, 24);
        // alpha * a is at most 255 * 255: the low 16-bit product is the whole of it.
        if (a != 255)
            w = _mm256_srli_epi32(_mm256_mullo_epi16(w, opacity), 8);
        const __m256i keep = _mm256_cmpeq_epi32(w, zero);
        const __m256i copy = _mm256_cmpeq_epi32(w, opaque);
        const __m256i pair = _mm256_or_si256(w, _mm256_slli_epi32(w, 16));
        const __m256i wLo = _mm256_unpacklo_epi32(pair, pair);
        const __m256i wHi = _mm256_unpackhi_epi32(pair, pair);
        // Every byte (d * (255 - w) + s * w) >> 8 in 16-bit lanes, as in the 4-pixel form.
        const __m256i lo = _mm256_add_epi16(
            _mm256_mullo_epi16(_mm256_unpacklo_epi8(d, zero), _mm256_sub_epi16(full, wLo)),
            _mm256_mullo_epi16(_mm256_unpacklo_epi8(s, zero), wLo));
        const __m256i hi = _mm256_add_epi16(
            _mm256_mullo_epi16(_mm256_unpackhi_epi8(d, zero), _mm256_sub_epi16(full, wHi)),
            _mm256_mullo_epi16(_mm256_unpackhi_epi8(s, zero), wHi));
        const __m256i blended =
            _mm256_packus_epi16(_mm256_srli_epi16(lo, 8), _mm256_srli_epi16(hi, 8));
        const __m256i out = _mm256_blendv_epi8(_mm256_blendv_epi8(blended, s, copy), d, keep);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + x), out);
    }
    // The compiler leaves the upper halves of the registers dirty on a tail call, and every
    // SSE instruction after that runs slower until they are cleared: clear them here.
    _mm256_zeroupper();
    scalar::alphaRow(dst + x, src + x, n - x, a);
}

} // namespace avx2
#endif

namespace sse2 {

// Four pixels at a time, with no branch, as the eight-pixel form: a branch on whether all
// four are kept or copied costs more at the edges of shapes than it saves inside them.
void alphaRow(uint32_t* dst, const uint32_t* src, int32_t n, uint32_t a) {
    const __m128i opacity = _mm_set1_epi32(int(a));
    const __m128i opaque = _mm_set1_epi32(255);
    int32_t x = 0;
    for (; x + 4 <= n; x += 4) {
        const __m128i s = load4(src + x);
        const __m128i d = load4(dst + x);
        __m128i w = _mm_srli_epi32(s, 24);
        // alpha * a is at most 255 * 255: the low 16-bit product is the whole of it.
        if (a != 255)
            w = _mm_srli_epi32(_mm_mullo_epi16(w, opacity), 8);
        const __m128i keep = _mm_cmpeq_epi32(w, _mm_setzero_si128());
        const __m128i copy = _mm_cmpeq_epi32(w, opaque);
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

} // namespace sse2

void alphaRow(uint32_t* dst, const uint32_t* src, int32_t n, uint32_t a) {
#if KORVID_AVX2_FORMS
    if (cpuHasAvx2()) {
        avx2::alphaRow(dst, src, n, a);
        return;
    }
#endif
    sse2::alphaRow(dst, src, n, a);
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
