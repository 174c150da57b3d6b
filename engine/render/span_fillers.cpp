#include "engine/render/span_fillers.hpp"

#include "engine/core/pixel.hpp"
#include "engine/render/fixed_point.hpp"

#include <algorithm>
#include <cstddef>

namespace korvid {

namespace {

constexpr float fixed16 = 65536.0f;
constexpr float fixed8 = 256.0f;
constexpr float fixed24 = 16777216.0f;

// Calls span(dx, dy, n, colour, depth) for every non-empty row of `t`, with (dx, dy) the
// offset from the planes' origin of the point at which the row's values start: one pixel
// right of its first pixel.
template <class Span>
inline void walkSpans(const RenderContext& ctx, const SpanTable& t, const Plane& origin,
                      Span&& span) {
    // The table's rows and end and the context's pitches copied into locals: a store to the
    // colour buffer could otherwise alias their 32-bit fields, which would then be read
    // again for every row.
    const int32_t* const left = t.left.data();
    const int32_t* const right = t.right.data();
    const int32_t yEnd = t.yEnd;
    const ptrdiff_t colourPitch = ctx.colourPitch, depthPitch = ctx.depthPitch;
    const float x0 = origin.x0, y0 = origin.y0;
    uint32_t* colourRow = ctx.colourPixels + ptrdiff_t(t.yStart) * colourPitch;
    float* depthRow = ctx.depthPixels + ptrdiff_t(t.yStart) * depthPitch;
    for (int32_t y = t.yStart; y < yEnd; ++y, colourRow += colourPitch, depthRow += depthPitch) {
        const int32_t x = left[y];
        const int32_t n = right[y] - x;
        if (n <= 0)
            continue;
        span(float(x + 1) - x0, float(y) - y0, n, colourRow + x, depthRow + x);
    }
}

// The integer part of a 16.16 shade, clamped to the ramp. The shade steps in unsigned
// arithmetic so that a runaway sliver gradient wraps instead of overflowing.
inline int32_t levelOf(uint32_t shade, int32_t lastLevel) {
    const int32_t level = int32_t(shade) >> 16;
    return level < 0 ? 0 : (level > lastLevel ? lastLevel : level);
}

// How the levels of the n shades s, s + ds, ... of a span run. When the exact sum stays in
// the int32 range nothing wraps, and the clamped level is monotonic along the span: equal
// at both ends means one level throughout, and both ends inside the ramp means every step
// inside, where the clamp changes nothing. Otherwise each step is clamped.
enum class Levels { constant, unclamped, clamped };

inline Levels levelsOf(uint32_t s, uint32_t ds, int32_t n, int32_t lastLevel, int32_t& level) {
    const int64_t first = int32_t(s);
    const int64_t last = first + int64_t(int32_t(ds)) * (n - 1);
    if (last < INT32_MIN || last > INT32_MAX)
        return Levels::clamped;
    level = levelOf(uint32_t(first), lastLevel);
    if (level == levelOf(uint32_t(last), lastLevel))
        return Levels::constant;
    const int64_t limit = (int64_t(lastLevel) + 1) << 16;
    return first >= 0 && first < limit && last >= 0 && last < limit ? Levels::unclamped
                                                                    : Levels::clamped;
}

// What the textured inner loop reads, copied out of the inputs so that it stays in
// registers: a store to the colour buffer could otherwise alias the 32-bit fields.
//
// Texels are addressed by shifts alone: the 8.24 coordinates are kept shifted left by 8,
// which drops their whole repeats, so the top log2(side) bits are the texel's column or
// row. The shift is done in 64 bits so that a side of one texel (a shift by 32) gives 0.
// Side is the log2 of a square texture whose rows are its width, which lets the shifts be
// constants; 0 stands for any other texture.
template <int Side>
struct TextureLookup {
    const uint32_t* table;
    const uint8_t* texels;
    int32_t lastLevel, rowBits, pitch;
    uint32_t uShift, vShift;

    explicit TextureLookup(const TextureSpans& in)
        : table(in.table), texels(in.texels), lastLevel(in.lastLevel), rowBits(in.rowBits),
          pitch(in.pitch), uShift(uint32_t(32 - in.widthLog2)),
          vShift(uint32_t(32 - in.heightLog2)) {}

    uint32_t texel(uint32_t u, uint32_t v) const {
        if constexpr (Side > 0)
            return texels[((v >> (32 - Side)) << Side) + (u >> (32 - Side))];
        else
            return texels[ptrdiff_t(uint64_t(v) >> vShift) * pitch +
                          ptrdiff_t(uint64_t(u) >> uShift)];
    }
    const uint32_t* row(int32_t level) const { return table + (level << rowBits); }
};

// Calls fill(lookup) with the lookup for the texture of `in`: one with constant shifts for
// the square sides the show's textures have, the general one for the rest.
template <class Fill>
inline void withLookup(const TextureSpans& in, Fill&& fill) {
    if (in.widthLog2 == in.heightLog2 && in.pitch == int32_t(1) << in.widthLog2) {
        switch (in.widthLog2) {
        case 7:
            return fill(TextureLookup<7>(in));
        case 8:
            return fill(TextureLookup<8>(in));
        case 9:
            return fill(TextureLookup<9>(in));
        default:
            break;
        }
    }
    fill(TextureLookup<0>(in));
}

// The texels of a span through one row of the table: every level the same.
template <class Lookup>
inline void textureStepsAtLevel(const Lookup& lookup, const uint32_t* row, int32_t n,
                                uint32_t* colour, float* depth, float z, float dz, uint32_t u,
                                uint32_t du, uint32_t v, uint32_t dv) {
    for (int32_t i = 0; i < n; ++i) {
        if (z > depth[i]) {
            colour[i] = row[lookup.texel(u, v)];
            depth[i] = z;
        }
        z += dz;
        u += du;
        v += dv;
    }
}

template <bool Clamp, class Lookup>
inline void textureSteps(const Lookup& lookup, int32_t n, uint32_t* colour, float* depth, float z,
                         float dz, uint32_t s, uint32_t ds, uint32_t u, uint32_t du, uint32_t v,
                         uint32_t dv) {
    for (int32_t i = 0; i < n; ++i) {
        if (z > depth[i]) {
            const int32_t level = Clamp ? levelOf(s, lookup.lastLevel) : int32_t(s) >> 16;
            colour[i] = lookup.row(level)[lookup.texel(u, v)];
            depth[i] = z;
        }
        z += dz;
        s += ds;
        u += du;
        v += dv;
    }
}

// The span of both textured fillers: u and v step linearly in 8.24, kept shifted by 8. The
// lookup comes by value, a copy that no store to the frame can reach.
template <class Lookup>
[[gnu::always_inline]] inline void
textureSpan(const Lookup lookup, int32_t n, uint32_t* colour, float* depth, float z, float dz,
            uint32_t s, uint32_t ds, uint32_t u, uint32_t du, uint32_t v, uint32_t dv) {
    u <<= 8, du <<= 8, v <<= 8, dv <<= 8;
    int32_t level = 0;
    switch (levelsOf(s, ds, n, lookup.lastLevel, level)) {
    case Levels::constant:
        textureStepsAtLevel(lookup, lookup.row(level), n, colour, depth, z, dz, u, du, v, dv);
        break;
    case Levels::unclamped:
        textureSteps<false>(lookup, n, colour, depth, z, dz, s, ds, u, du, v, dv);
        break;
    case Levels::clamped:
        textureSteps<true>(lookup, n, colour, depth, z, dz, s, ds, u, du, v, dv);
        break;
    }
}

// One colour for a span whose level does not change.
inline void gouraudStepsAtLevel(uint32_t entry, int32_t n, uint32_t* colour, float* depth, float z,
                                float dz) {
    for (int32_t i = 0; i < n; ++i) {
        if (z > depth[i]) {
            colour[i] = entry;
            depth[i] = z;
        }
        z += dz;
    }
}

template <bool Clamp>
inline void gouraudSteps(const uint32_t* ramp, int32_t lastLevel, int32_t n, uint32_t* colour,
                         float* depth, float z, float dz, uint32_t s, uint32_t ds) {
    for (int32_t i = 0; i < n; ++i) {
        if (z > depth[i]) {
            colour[i] = ramp[Clamp ? levelOf(s, lastLevel) : int32_t(s) >> 16];
            depth[i] = z;
        }
        z += dz;
        s += ds;
    }
}

} // namespace

void fillGouraudSpans(const RenderContext& ctx, const SpanTable& spans, const RampSpans& in) {
    const uint32_t* const ramp = in.ramp;
    const int32_t lastLevel = in.lastLevel;
    // The planes copied into locals, which stay in registers across the rows: a store to
    // the colour buffer could otherwise alias them, and they would be read again every row.
    const Plane invZ = in.invZ, shade = in.shade;
    const float dz = invZ.gx;
    const uint32_t ds = uint32_t(truncSaturate(shade.gx * fixed16));
    const auto span = [&](float dx, float dy, int32_t n, uint32_t* colour, float* depth) {
        const float z = invZ.atOffset(dx, dy);
        const uint32_t s = uint32_t(truncSaturate(shade.atOffset(dx, dy) * fixed16));
        int32_t level = 0;
        switch (levelsOf(s, ds, n, lastLevel, level)) {
        case Levels::constant:
            gouraudStepsAtLevel(ramp[level], n, colour, depth, z, dz);
            break;
        case Levels::unclamped:
            gouraudSteps<false>(ramp, lastLevel, n, colour, depth, z, dz, s, ds);
            break;
        case Levels::clamped:
            gouraudSteps<true>(ramp, lastLevel, n, colour, depth, z, dz, s, ds);
            break;
        }
    };
    walkSpans(ctx, spans, invZ, span);
}

void fillFadeSpans(const RenderContext& ctx, const SpanTable& spans, const RampSpans& in) {
    const uint32_t* const ramp = in.ramp;
    const int32_t lastLevel = in.lastLevel;
    const Plane invZ = in.invZ, shade = in.shade, fade = in.fade; // as in the Gouraud filler
    const float dz = invZ.gx;
    const uint32_t ds = uint32_t(truncSaturate(shade.gx * fixed16));
    const uint32_t df = uint32_t(truncSaturate(fade.gx * fixed8));
    const auto span = [&](float dx, float dy, int32_t n, uint32_t* colour, float* depth) {
        float z = invZ.atOffset(dx, dy);
        uint32_t s = uint32_t(truncSaturate(shade.atOffset(dx, dy) * fixed16));
        uint32_t f = uint32_t(truncSaturate(fade.atOffset(dx, dy) * fixed8));
        for (int32_t i = 0; i < n; ++i) {
            if (z > depth[i]) {
                const uint32_t entry = ramp[levelOf(s, lastLevel)];
                // (255 - fade) * alpha fits in 32 bits for any 8.8 fade; the shift floors,
                // which only matters for negative products, and those draw nothing anyway.
                const int32_t a = ((255 - (int32_t(f) >> 8)) * int32_t(entry >> 24)) >> 8;
                if (a >= 255)
                    colour[i] = entry;
                else if (a > 0)
                    colour[i] = blendPixelRgb255(colour[i], entry, uint32_t(a));
            }
            z += dz;
            s += ds;
            f += df;
        }
    };
    walkSpans(ctx, spans, invZ, span);
}

void fillTextureAffineSpans(const RenderContext& ctx, const SpanTable& spans,
                            const TextureSpans& in) {
    const float dz = in.invZ.gx;
    const uint32_t ds = uint32_t(truncSaturate(in.shade.gx * fixed16));
    const uint32_t du = truncWrap(in.u.gx * fixed24);
    const uint32_t dv = truncWrap(in.v.gx * fixed24);
    withLookup(in, [&](const auto lookup) {
        const auto span = [&](float dx, float dy, int32_t n, uint32_t* colour, float* depth) {
            textureSpan(lookup, n, colour, depth, in.invZ.atOffset(dx, dy), dz,
                        uint32_t(truncSaturate(in.shade.atOffset(dx, dy) * fixed16)), ds,
                        truncWrap(in.u.atOffset(dx, dy) * fixed24), du,
                        truncWrap(in.v.atOffset(dx, dy) * fixed24), dv);
        };
        walkSpans(ctx, spans, in.invZ, span);
    });
}

void fillTexturePerspectiveSpans(const RenderContext& ctx, const SpanTable& spans,
                                 const TextureSpans& in) {
    const float dz = in.invZ.gx;
    const uint32_t ds = uint32_t(truncSaturate(in.shade.gx * fixed16));
    withLookup(in, [&](const auto lookup) {
        const auto span = [&](float dx, float dy, int32_t n, uint32_t* colour, float* depth) {
            const float count = float(n);
            // 1/z, u/z and v/z at both ends of the span; u and v are exact there and linear
            // between, which divides at the span's two ends instead of at every pixel.
            const float ws = in.invZ.atOffset(dx, dy);
            const float we = ws + count * dz;
            const float uzs = in.u.atOffset(dx, dy);
            const float vzs = in.v.atOffset(dx, dy);
            const float us = uzs / ws, ue = (uzs + count * in.u.gx) / we;
            const float vs = vzs / ws, ve = (vzs + count * in.v.gx) / we;
            textureSpan(lookup, n, colour, depth, ws, dz,
                        uint32_t(truncSaturate(in.shade.atOffset(dx, dy) * fixed16)), ds,
                        truncWrap(us * fixed24), truncWrap((ue - us) / count * fixed24),
                        truncWrap(vs * fixed24), truncWrap((ve - vs) / count * fixed24));
        };
        walkSpans(ctx, spans, in.invZ, span);
    });
}

} // namespace korvid
