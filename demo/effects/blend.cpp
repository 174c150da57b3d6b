#include "demo/effects/blend.hpp"

#include "demo/effects/noise_table.hpp"
#include "engine/core/cpu.hpp"
#include "engine/core/pass_clock.hpp"
#include "engine/core/pixel.hpp"
#include "engine/core/surface.hpp"

#include <algorithm>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

using korvid::Surface;

namespace {

// Red, green and blue: (s * (256 - a) + o * a) >> 8, the two weights summing to 256, so
// a = 0 keeps the source and a = 255 gives 255/256 of the other colour; the alpha byte is 0. Each
// lane of the 0x00FF00FF halves holds at most 255 * 256 and never carries into the next.
inline uint32_t blendRgb256(uint32_t s, uint32_t o, uint32_t a) {
    const uint32_t v = 256 - a;
    const uint32_t rb = (((s & 0x00FF00FF) * v + (o & 0x00FF00FF) * a) >> 8) & 0x00FF00FF;
    const uint32_t g = (((s & 0x0000FF00) * v + (o & 0x0000FF00) * a) >> 8) & 0x0000FF00;
    return rb | g;
}

} // namespace

#if defined(__SSE2__)
namespace {

// Four pixels at once in 16-bit lanes: c_s * (256 - a) + c_o * a is at most 255 * 256,
// so neither the products nor the sum leave an unsigned lane, and the logical shift by 8
// is the exact floor.
inline __m128i blend4(__m128i s, __m128i otherLo, __m128i otherHi, __m128i inverse) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i lo = _mm_mullo_epi16(_mm_unpacklo_epi8(s, zero), inverse);
    const __m128i hi = _mm_mullo_epi16(_mm_unpackhi_epi8(s, zero), inverse);
    const __m128i packed = _mm_packus_epi16(_mm_srli_epi16(_mm_add_epi16(lo, otherLo), 8),
                                            _mm_srli_epi16(_mm_add_epi16(hi, otherHi), 8));
    return _mm_and_si128(packed, _mm_set1_epi32(0x00FFFFFF));
}

#if KORVID_AVX2_FORMS
// The same for eight pixels; the 256-bit unpacks and packs work within each 128-bit half,
// so the pixels keep their order.
__attribute__((target("avx2"))) inline __m256i blend8(__m256i s, __m256i otherLo, __m256i otherHi,
                                                      __m256i inverse) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i lo = _mm256_mullo_epi16(_mm256_unpacklo_epi8(s, zero), inverse);
    const __m256i hi = _mm256_mullo_epi16(_mm256_unpackhi_epi8(s, zero), inverse);
    const __m256i packed = _mm256_packus_epi16(_mm256_srli_epi16(_mm256_add_epi16(lo, otherLo), 8),
                                               _mm256_srli_epi16(_mm256_add_epi16(hi, otherHi), 8));
    return _mm256_and_si256(packed, _mm256_set1_epi32(0x00FFFFFF));
}
#endif

} // namespace

namespace sse2 {

void blend_row(uint32_t* dst, const uint32_t* src, const uint32_t* other, int32_t count,
               uint32_t a) {
    int32_t x = 0;
    const __m128i zero = _mm_setzero_si128();
    const __m128i inverse = _mm_set1_epi16(short(256 - a));
    const __m128i weight = _mm_set1_epi16(short(a));
    for (; x + 4 <= count; x += 4) {
        const __m128i o = _mm_loadu_si128(reinterpret_cast<const __m128i*>(other + x));
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + x));
        const __m128i otherLo = _mm_mullo_epi16(_mm_unpacklo_epi8(o, zero), weight);
        const __m128i otherHi = _mm_mullo_epi16(_mm_unpackhi_epi8(o, zero), weight);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + x), blend4(s, otherLo, otherHi, inverse));
    }
    for (; x < count; ++x)
        dst[x] = blendRgb256(src[x], other[x], a);
}

void blend_row_colour(uint32_t* dst, const uint32_t* src, uint32_t colour, int32_t count,
                      uint32_t a) {
    int32_t x = 0;
    const __m128i inverse = _mm_set1_epi16(short(256 - a));
    // The colour's share is the same for every pixel: two pixels' worth of lanes.
    const __m128i share =
        _mm_mullo_epi16(_mm_unpacklo_epi8(_mm_set1_epi32(int(colour)), _mm_setzero_si128()),
                        _mm_set1_epi16(short(a)));
    for (; x + 4 <= count; x += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + x));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + x), blend4(s, share, share, inverse));
    }
    for (; x < count; ++x)
        dst[x] = blendRgb256(src[x], colour, a);
}

} // namespace sse2

#if KORVID_AVX2_FORMS
namespace avx2 {

__attribute__((target("avx2"))) void blend_row(uint32_t* dst, const uint32_t* src,
                                               const uint32_t* other, int32_t count, uint32_t a) {
    int32_t x = 0;
    const __m256i zero = _mm256_setzero_si256();
    const __m256i inverse = _mm256_set1_epi16(short(256 - a));
    const __m256i weight = _mm256_set1_epi16(short(a));
    for (; x + 8 <= count; x += 8) {
        const __m256i o = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(other + x));
        const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + x));
        const __m256i otherLo = _mm256_mullo_epi16(_mm256_unpacklo_epi8(o, zero), weight);
        const __m256i otherHi = _mm256_mullo_epi16(_mm256_unpackhi_epi8(o, zero), weight);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + x),
                            blend8(s, otherLo, otherHi, inverse));
    }
    for (; x < count; ++x)
        dst[x] = blendRgb256(src[x], other[x], a);
}

__attribute__((target("avx2"))) void blend_row_colour(uint32_t* dst, const uint32_t* src,
                                                      uint32_t colour, int32_t count, uint32_t a) {
    int32_t x = 0;
    const __m256i inverse = _mm256_set1_epi16(short(256 - a));
    // Two pixels' worth of the colour's share in each half.
    const __m256i share = _mm256_mullo_epi16(
        _mm256_unpacklo_epi8(_mm256_set1_epi32(int(colour)), _mm256_setzero_si256()),
        _mm256_set1_epi16(short(a)));
    for (; x + 8 <= count; x += 8) {
        const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + x));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + x), blend8(s, share, share, inverse));
    }
    for (; x < count; ++x)
        dst[x] = blendRgb256(src[x], colour, a);
}

} // namespace avx2
#endif

#endif

void blend_row(uint32_t* dst, const uint32_t* src, const uint32_t* other, int32_t count,
               uint32_t a) {
#if defined(__SSE2__)
#if KORVID_AVX2_FORMS
    if (korvid::cpuHasAvx2()) {
        avx2::blend_row(dst, src, other, count, a);
        return;
    }
#endif
    sse2::blend_row(dst, src, other, count, a);
#else
    for (int32_t x = 0; x < count; ++x)
        dst[x] = blendRgb256(src[x], other[x], a);
#endif
}

void blend_row_colour(uint32_t* dst, const uint32_t* src, uint32_t colour, int32_t count,
                      uint32_t a) {
#if defined(__SSE2__)
#if KORVID_AVX2_FORMS
    if (korvid::cpuHasAvx2()) {
        avx2::blend_row_colour(dst, src, colour, count, a);
        return;
    }
#endif
    sse2::blend_row_colour(dst, src, colour, count, a);
#else
    for (int32_t x = 0; x < count; ++x)
        dst[x] = blendRgb256(src[x], colour, a);
#endif
}

namespace {

bool lock32(Surface* surface, uint32_t*& pixels, int32_t& pitch) {
    return surface && surface->storage == korvid::storage32 && surface->sdlSurface &&
           surface->lock(pixels, pitch) == korvid::errNone;
}

// Runs rowOp(dst row, src row, width) over the locked surfaces: the common top-left area
// of both, or the whole destination in place when source is null. A lock taken before a
// failing one is given back.
template <class RowOp>
void blendSurfaces(Surface* destination, Surface* source, RowOp rowOp) {
    uint32_t* dst = nullptr;
    int32_t dstPitch = 0;
    if (!lock32(destination, dst, dstPitch))
        return;
    uint32_t* src = dst;
    int32_t srcPitch = dstPitch;
    int32_t width = destination->width, height = destination->height;
    if (source) {
        if (!lock32(source, src, srcPitch)) {
            destination->unlock();
            return;
        }
        width = std::min(width, source->width);
        height = std::min(height, source->height);
    }
    for (int32_t y = 0; y < height; ++y)
        rowOp(dst + y * dstPitch, src + y * srcPitch, width);
    if (source)
        source->unlock();
    destination->unlock();
}

void blendNoise(Surface* destination, Surface* source, float f) {
    const korvid::PassTimer timer(korvid::Pass::twoD);
    const uint32_t a = korvid::opacityWeight(f);
    blendSurfaces(destination, source, [a](uint32_t* dst, const uint32_t* src, int32_t width) {
        // The noise is read in runs of consecutive table entries, in pixel order.
        for (int32_t x = 0; x < width;) {
            const uint32_t* noise = nullptr;
            const int32_t run = noiseTable.take(width - x, noise);
            blend_row(dst + x, src + x, noise, run, a);
            x += run;
        }
    });
}

void blendColour(Surface* destination, Surface* source, uint32_t colour, float f) {
    const korvid::PassTimer timer(korvid::Pass::twoD);
    const uint32_t a = korvid::opacityWeight(f);
    blendSurfaces(destination, source,
                  [a, colour](uint32_t* dst, const uint32_t* src, int32_t width) {
                      blend_row_colour(dst, src, colour, width, a);
                  });
}

} // namespace

void blend_noise_to(Surface* destination, Surface* source, float f) {
    if (source)
        blendNoise(destination, source, f);
}

void blend_noise(Surface* surface, float f) {
    blendNoise(surface, nullptr, f);
}

void blend_colour_to(Surface* destination, Surface* source, uint32_t colour, float f) {
    if (source)
        blendColour(destination, source, colour, f);
}

void blend_colour(Surface* surface, uint32_t colour, float f) {
    blendColour(surface, nullptr, colour, f);
}
