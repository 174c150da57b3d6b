#pragma once
// The rows of Surface::blit: a source row drawn over a destination row of n pixels in
// each blend mode. Four pixels at a time with SSE2 where the processor has it (and in
// WebAssembly, whose SIMD takes the SSE2 form), alpha mode eight at a time with AVX2 where
// it has that too; the plain per-pixel forms in `scalar`
// are the reference and run on every other processor.

#include "engine/core/cpu.hpp"

#include <cstdint>

namespace korvid {

// Replace mode below full opacity: every byte (d * (255 - w) + s * w) >> 8, w in 0..255.
void blendRow(uint32_t* dst, const uint32_t* src, int32_t n, uint32_t w);
// Alpha mode at opacity weight a: w = source alpha, times a >> 8 when a is below 255;
// w = 0 keeps the destination, w = 255 copies the source, others blend by w.
void alphaRow(uint32_t* dst, const uint32_t* src, int32_t n, uint32_t a);
// Add mode: every byte min(d + s, 255), alpha included.
void addRow(uint32_t* dst, const uint32_t* src, int32_t n);

namespace scalar {
void blendRow(uint32_t* dst, const uint32_t* src, int32_t n, uint32_t w);
void alphaRow(uint32_t* dst, const uint32_t* src, int32_t n, uint32_t a);
void addRow(uint32_t* dst, const uint32_t* src, int32_t n);
} // namespace scalar

#if defined(__SSE2__)
namespace sse2 {
void alphaRow(uint32_t* dst, const uint32_t* src, int32_t n, uint32_t a);
}
#endif
#if defined(__SSE2__) && KORVID_AVX2_FORMS
namespace avx2 { // only where cpuHasAvx2()
void alphaRow(uint32_t* dst, const uint32_t* src, int32_t n, uint32_t a);
}
#endif

} // namespace korvid
