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
        if (n <= 0) continue;
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

// Texel addressing by shifts and masks on 8.24 coordinates: power-of-two sides wrap.
struct TexelAddress {
    uint32_t uShift, uMask, vShift, vMask;
    int32_t pitch;
    const uint8_t* texels;

    explicit TexelAddress(const TextureSpans& in)
        : uShift(uint32_t(24 - in.widthLog2)), uMask((1u << in.widthLog2) - 1),
          vShift(uint32_t(24 - in.heightLog2)), vMask((1u << in.heightLog2) - 1), pitch(in.pitch),
          texels(in.texels) {}

    uint32_t operator()(uint32_t u, uint32_t v) const {
        return texels[ptrdiff_t((v >> vShift) & vMask) * pitch + ptrdiff_t((u >> uShift) & uMask)];
    }
};

// The inner loop of both textured fillers: u and v step linearly in 8.24.
inline void textureSpan(const TextureSpans& in, const TexelAddress& texel, int32_t n,
                        uint32_t* colour, float* depth, float z, float dz, uint32_t s, uint32_t ds,
                        uint32_t u, uint32_t du, uint32_t v, uint32_t dv) {
    for (int32_t i = 0; i < n; ++i) {
        if (z > depth[i]) {
            const int32_t level = levelOf(s, in.lastLevel);
            colour[i] = in.table[(level << in.rowBits) + int32_t(texel(u, v))];
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
    const float dz = in.invZ.gx;
    const uint32_t ds = uint32_t(truncSaturate(in.shade.gx * fixed16));
    walkSpans(ctx, [&](float fx, float fy, int32_t n, uint32_t* colour, float* depth) {
        float z = in.invZ.at(fx, fy);
        uint32_t s = uint32_t(truncSaturate(in.shade.at(fx, fy) * fixed16));
        for (int32_t i = 0; i < n; ++i) {
            if (z > depth[i]) {
                colour[i] = in.ramp[levelOf(s, in.lastLevel)];
                depth[i] = z;
            }
            z += dz;
            s += ds;
        }
    });
}

void fillFadeSpans(const RenderContext& ctx, const RampSpans& in) {
    const float dz = in.invZ.gx;
    const uint32_t ds = uint32_t(truncSaturate(in.shade.gx * fixed16));
    const uint32_t df = uint32_t(truncSaturate(in.fade.gx * fixed8));
    walkSpans(ctx, [&](float fx, float fy, int32_t n, uint32_t* colour, float* depth) {
        float z = in.invZ.at(fx, fy);
        uint32_t s = uint32_t(truncSaturate(in.shade.at(fx, fy) * fixed16));
        uint32_t f = uint32_t(truncSaturate(in.fade.at(fx, fy) * fixed8));
        for (int32_t i = 0; i < n; ++i) {
            if (z > depth[i]) {
                const uint32_t entry = in.ramp[levelOf(s, in.lastLevel)];
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
    const TexelAddress texel(in);
    const float dz = in.invZ.gx;
    const uint32_t ds = uint32_t(truncSaturate(in.shade.gx * fixed16));
    const uint32_t du = truncWrap(in.u.gx * fixed24);
    const uint32_t dv = truncWrap(in.v.gx * fixed24);
    walkSpans(ctx, [&](float fx, float fy, int32_t n, uint32_t* colour, float* depth) {
        textureSpan(in, texel, n, colour, depth, in.invZ.at(fx, fy), dz,
                    uint32_t(truncSaturate(in.shade.at(fx, fy) * fixed16)), ds,
                    truncWrap(in.u.at(fx, fy) * fixed24), du, truncWrap(in.v.at(fx, fy) * fixed24),
                    dv);
    });
}

void fillTexturePerspectiveSpans(const RenderContext& ctx, const TextureSpans& in) {
    const TexelAddress texel(in);
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
        textureSpan(in, texel, n, colour, depth, ws, dz,
                    uint32_t(truncSaturate(in.shade.at(fx, fy) * fixed16)), ds,
                    truncWrap(us * fixed24), truncWrap((ue - us) / count * fixed24),
                    truncWrap(vs * fixed24), truncWrap((ve - vs) / count * fixed24));
    });
}

} // namespace korvid
