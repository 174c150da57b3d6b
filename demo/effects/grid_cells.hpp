#pragma once
// The pixel work of the grid warp: every cell filled from the texture by stepping the
// 8.24 texture coordinates of its corners down its edges and across its rows. Eight
// pixels at a time with AVX2 where the processor has it, four with SSE2 on other x86-64
// processors and in WebAssembly (whose SIMD takes the SSE2 form); `scalar::fill_grid_cells`
// is the plain one-pixel-at-a-time form and runs on every other processor. All three give the same
// pixels.

#include "engine/core/cpu.hpp"

#include <cstdint>

// A grid point as the cells read it: texture position in 8.24 (1.0 is the whole texture)
// and brightness (256 is 1.0).
struct GridRecord {
    float u, v, b;
};

// Texel addressing: the shifts bring the top bits of u and v down to a column and to a
// row already multiplied by the pitch, and the masks wrap them around the texture.
struct GridTexture {
    int32_t uShift = 0, vShift = 0;
    uint32_t uMask = 0, vMask = 0;
    const uint32_t* texels = nullptr;

    uint32_t at(uint32_t u, uint32_t v) const {
        return texels[((v >> vShift) & vMask) + ((u >> uShift) & uMask)];
    }
};

// (cols + 1) x (rows + 1) records, row by row, drawn as cols x rows cells of 2^shift
// pixels into `target`, whose rows lie `pitch` pixels apart.
struct GridCells {
    const GridRecord* records = nullptr;
    int32_t cols = 0, rows = 0, shift = 0;
    bool shaded = false;
    uint32_t* target = nullptr;
    int32_t pitch = 0;
};

// The fastest of the forms below that this processor runs.
void fill_grid_cells(const GridCells& cells, const GridTexture& texture);

namespace scalar {
void fill_grid_cells(const GridCells& cells, const GridTexture& texture);
}

#if defined(__SSE2__)
namespace sse2 {
void fill_grid_cells(const GridCells& cells, const GridTexture& texture);
}
#endif
#if defined(__SSE2__) && KORVID_AVX2_FORMS
namespace avx2 { // only where korvid::cpuHasAvx2()
void fill_grid_cells(const GridCells& cells, const GridTexture& texture);
}
#endif
