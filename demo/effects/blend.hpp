#pragma once
// Fades and film grain: 32-bit surfaces blended toward a fixed colour or toward the grey
// noise table, in place or from a source into a destination. Per channel red, green and
// blue: (c_s * (256 - a) + c_o * a) >> 8, exact in integers; the result's alpha is 0.

#include "engine/core/cpu.hpp"

#include <cstdint>

namespace korvid {
class Surface;
}

// One row of the blend toward other[i], and toward one colour. dst may equal src. Eight
// pixels at a time with AVX2 where the processor has it, four with SSE2 on other x86-64
// processors and in WebAssembly (whose SIMD takes the SSE2 form), one at a time elsewhere.
void blend_row(uint32_t* dst, const uint32_t* src, const uint32_t* other, int32_t count,
               uint32_t a);
void blend_row_colour(uint32_t* dst, const uint32_t* src, uint32_t colour, int32_t count,
                      uint32_t a);

#if defined(__SSE2__)
namespace sse2 {
void blend_row(uint32_t* dst, const uint32_t* src, const uint32_t* other, int32_t count,
               uint32_t a);
void blend_row_colour(uint32_t* dst, const uint32_t* src, uint32_t colour, int32_t count,
                      uint32_t a);
} // namespace sse2
#endif
#if defined(__SSE2__) && KORVID_AVX2_FORMS
namespace avx2 { // only where korvid::cpuHasAvx2()
void blend_row(uint32_t* dst, const uint32_t* src, const uint32_t* other, int32_t count,
               uint32_t a);
void blend_row_colour(uint32_t* dst, const uint32_t* src, uint32_t colour, int32_t count,
                      uint32_t a);
} // namespace avx2
#endif

// The surfaces must have 32-bit window-system storage and lock, else nothing is drawn.
// The two-surface forms work on the common top-left area of source and destination.
void blend_noise_to(korvid::Surface* destination, korvid::Surface* source, float f);
void blend_noise(korvid::Surface* surface, float f);
void blend_colour_to(korvid::Surface* destination, korvid::Surface* source, uint32_t colour,
                     float f);
void blend_colour(korvid::Surface* surface, uint32_t colour, float f);
