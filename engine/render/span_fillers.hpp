#pragma once
// The span fillers: each walks the rows of a span table, interpolates its values from their
// planes (evaluated at (left + 1, y), then one add per pixel) and draws the pixels whose
// 1/z is strictly greater than the stored one. A material picks its filler once per face.
//
// Fixed point: shade index 16.16, fade 8.8, texture coordinates 8.24 (1.0 is one repeat);
// the depth value stays a float.
//
// The planes of one input come from one TriangleSetup: they share its corner A as their
// origin, so each span start is offset from it once for all of them.

#include "engine/render/plane.hpp"
#include "engine/render/render_context.hpp"
#include "engine/render/span_table.hpp"

#include <cstdint>

namespace korvid {

// Inputs of the Gouraud and fade fillers.
struct RampSpans {
    Plane invZ, shade;
    Plane fade; // fade filler only: |fade * normal z| * 256
    const uint32_t* ramp = nullptr;
    int32_t lastLevel = 0; // levels - 1: shade indices are clamped into [0, lastLevel]
};

// Inputs of the two textured fillers. `u` and `v` are the planes of u and v for the affine
// filler, of u/z and v/z for the perspective one.
struct TextureSpans {
    Plane invZ, shade, u, v;
    const uint32_t* table = nullptr; // entry (level << rowBits) + texel index
    int32_t lastLevel = 0;
    int32_t rowBits = 0;
    const uint8_t* texels = nullptr; // the locked 8-bit texture, one palette index a texel
    int32_t pitch = 0;               // bytes
    int32_t widthLog2 = 0, heightLog2 = 0;
};

// Each fills the rows of `spans` in the context's buffers.
// Writes the ramp entry and the depth.
void fillGouraudSpans(const RenderContext& ctx, const SpanTable& spans, const RampSpans& in);
// Blends the ramp entry over the pixel by (255 - fade) * entry alpha / 256; depth untouched.
void fillFadeSpans(const RenderContext& ctx, const SpanTable& spans, const RampSpans& in);
// u and v straight from their planes.
void fillTextureAffineSpans(const RenderContext& ctx, const SpanTable& spans,
                            const TextureSpans& in);
// u and v from u/z and v/z divided by 1/z at the two ends of each span, linear between.
void fillTexturePerspectiveSpans(const RenderContext& ctx, const SpanTable& spans,
                                 const TextureSpans& in);

} // namespace korvid
