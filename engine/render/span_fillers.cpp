#include "engine/render/span_fillers.hpp"

#include "engine/core/pixel.hpp"
#include "engine/render/fixed_point.hpp"
#include "engine/render/span_table.hpp"

#include <cstddef>

namespace korvid {

namespace {

constexpr float fixed16 = 65536.0f;
constexpr float fixed8 = 256.0f;
constexpr float fixed24 = 16777216.0f;

// Calls span(fx, fy, n, colour, depth) for every non-empty row of spanTable, with (fx, fy)
// the point at which the row's values start: one pixel right of its first pixel.
template <class Span>
inline void walkSpans(const RenderContext& ctx, Span&& span) {
    const SpanTable& t = spanTable;
    for (int32_t y = t.yStart; y < t.yEnd; ++y) {
        const int32_t x = t.left[size_t(y)];
        const int32_t n = t.right[size_t(y)] - x;
        if (n <= 0)
            continue;
        uint32_t* colour = ctx.colourPixels + ptrdiff_t(y) * ctx.colourPitch + x;
        float* depth = ctx.depthPixels + ptrdiff_t(y) * ctx.depthPitch + x;
        span(float(x + 1), float(y), n, colour, depth);
    }
}

// The integer part of a 16.16 shade, clamped to the ramp. The shade steps in unsigned
// arithmetic so that a runaway sliver gradient wraps instead of overflowing.
inline int32_t levelOf(uint32_t shade, int32_t lastLevel) {
    const int32_t level = int32_t(shade) >> 16;
    return level < 0 ? 0 : (level > lastLevel ? lastLevel : level);
}

// What the textured inner loop reads, copied out of the inputs so that it stays in
// registers: a store to the colour buffer could otherwise alias the 32-bit fields.
//
// Texels are addressed by shifts alone: the 8.24 coordinates are kept shifted left by 8,
// which drops their whole repeats, so the top log2(side) bits are the texel's column or
// row. The shift is done in 64 bits so that a side of one texel (a shift by 32) gives 0.
struct TextureLookup {
    const uint32_t* table;
    const uint8_t* texels;
    int32_t lastLevel, rowBits, pitch;
    uint32_t uShift, vShift;

    explicit TextureLookup(const TextureSpans& in)
        : table(in.table), texels(in.texels), lastLevel(in.lastLevel), rowBits(in.rowBits),
          pitch(in.pitch), uShift(uint32_t(32 - in.widthLog2)),
          vShift(uint32_t(32 - in.heightLog2)) {}

    uint32_t colour(uint32_t s, uint32_t u, uint32_t v) const {
        const uint32_t texel =
            texels[ptrdiff_t(uint64_t(v) >> vShift) * pitch + ptrdiff_t(uint64_t(u) >> uShift)];
        return table[(levelOf(s, lastLevel) << rowBits) + int32_t(texel)];
    }
};

// The span of both textured fillers: u and v step linearly in 8.24, kept shifted by 8.
inline void textureSpan(const TextureLookup lookup, int32_t n, uint32_t* colour, float* depth,
                        float z, float dz, uint32_t s, uint32_t ds, uint32_t u, uint32_t du,
                        uint32_t v, uint32_t dv) {
    u <<= 8, du <<= 8, v <<= 8, dv <<= 8;
    for (int32_t i = 0; i < n; ++i) {
        if (z > depth[i]) {
            colour[i] = lookup.colour(s, u, v);
            depth[i] = z;
        }
        z += dz;
        s += ds;
        u += du;
        v += dv;
    }
}

} // namespace

void fillGouraudSpans(const RenderContext& ctx, const RampSpans& in) {
    const uint32_t* const ramp = in.ramp;
    const int32_t lastLevel = in.lastLevel;
    const float dz = in.invZ.gx;
    const uint32_t ds = uint32_t(truncSaturate(in.shade.gx * fixed16));
    walkSpans(ctx, [&](float fx, float fy, int32_t n, uint32_t* colour, float* depth) {
        float z = in.invZ.at(fx, fy);
        uint32_t s = uint32_t(truncSaturate(in.shade.at(fx, fy) * fixed16));
        for (int32_t i = 0; i < n; ++i) {
            if (z > depth[i]) {
                colour[i] = ramp[levelOf(s, lastLevel)];
                depth[i] = z;
            }
            z += dz;
            s += ds;
        }
    });
}

void fillFadeSpans(const RenderContext& ctx, const RampSpans& in) {
    const uint32_t* const ramp = in.ramp;
    const int32_t lastLevel = in.lastLevel;
    const float dz = in.invZ.gx;
    const uint32_t ds = uint32_t(truncSaturate(in.shade.gx * fixed16));
    const uint32_t df = uint32_t(truncSaturate(in.fade.gx * fixed8));
    walkSpans(ctx, [&](float fx, float fy, int32_t n, uint32_t* colour, float* depth) {
        float z = in.invZ.at(fx, fy);
        uint32_t s = uint32_t(truncSaturate(in.shade.at(fx, fy) * fixed16));
        uint32_t f = uint32_t(truncSaturate(in.fade.at(fx, fy) * fixed8));
        for (int32_t i = 0; i < n; ++i) {
            if (z > depth[i]) {
                const uint32_t entry = ramp[levelOf(s, lastLevel)];
                // (255 - fade) * alpha fits in 32 bits for any 8.8 fade; the shift floors,
                // which only matters for negative products, and those draw nothing anyway.
                const int32_t a = ((255 - (int32_t(f) >> 8)) * int32_t(entry >> 24)) >> 8;
                if (a >= 255)
                    colour[i] = entry;
                else if (a > 0)
                    colour[i] = blendPixelRgb(colour[i], entry, uint32_t(a));
            }
            z += dz;
            s += ds;
            f += df;
        }
    });
}

void fillTextureAffineSpans(const RenderContext& ctx, const TextureSpans& in) {
    const TextureLookup lookup(in);
    const float dz = in.invZ.gx;
    const uint32_t ds = uint32_t(truncSaturate(in.shade.gx * fixed16));
    const uint32_t du = truncWrap(in.u.gx * fixed24);
    const uint32_t dv = truncWrap(in.v.gx * fixed24);
    walkSpans(ctx, [&](float fx, float fy, int32_t n, uint32_t* colour, float* depth) {
        textureSpan(lookup, n, colour, depth, in.invZ.at(fx, fy), dz,
                    uint32_t(truncSaturate(in.shade.at(fx, fy) * fixed16)), ds,
                    truncWrap(in.u.at(fx, fy) * fixed24), du, truncWrap(in.v.at(fx, fy) * fixed24),
                    dv);
    });
}

void fillTexturePerspectiveSpans(const RenderContext& ctx, const TextureSpans& in) {
    const TextureLookup lookup(in);
    const float dz = in.invZ.gx;
    const uint32_t ds = uint32_t(truncSaturate(in.shade.gx * fixed16));
    walkSpans(ctx, [&](float fx, float fy, int32_t n, uint32_t* colour, float* depth) {
        const float count = float(n);
        // 1/z, u/z and v/z at both ends of the span; u and v are exact there and linear
        // between, which divides at the span's two ends instead of at every pixel.
        const float ws = in.invZ.at(fx, fy);
        const float we = ws + count * dz;
        const float uzs = in.u.at(fx, fy);
        const float vzs = in.v.at(fx, fy);
        const float us = uzs / ws, ue = (uzs + count * in.u.gx) / we;
        const float vs = vzs / ws, ve = (vzs + count * in.v.gx) / we;
        textureSpan(lookup, n, colour, depth, ws, dz,
                    uint32_t(truncSaturate(in.shade.at(fx, fy) * fixed16)), ds,
                    truncWrap(us * fixed24), truncWrap((ue - us) / count * fixed24),
                    truncWrap(vs * fixed24), truncWrap((ve - vs) / count * fixed24));
    });
}

} // namespace korvid
