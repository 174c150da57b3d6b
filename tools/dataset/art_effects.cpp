// Maps of the two twisters (colour, height in the blue channel, light and highlight by
// surface direction) and the firefly sprite of the ending.

#include "art.hpp"
#include "art_common.hpp"
#include "engine/math/elementary.hpp"
#include "noise.hpp"

#include <cmath>

namespace dataset {

namespace {

// A light map: columns are surface directions across the column (0 = left rim,
// 128 = facing the viewer, 255 = right rim), rows add a gentle wave so that the vertical
// bumps show too.
Canvas lightMap(float lightAngle, const Rgba& ambient, const Rgba& light, uint32_t seed) {
    Canvas c(256, 256);
    c.shade([&](float x, float y) {
        const float facing =
            korvid::asin(clamp01(std::fabs(x / 128.0f - 1.0f))) * (x < 128.0f ? -1.0f : 1.0f);
        const float diffuse = std::max(0.0f, korvid::cos(facing - lightAngle));
        const float wave = 0.88f + 0.12f * korvid::sin(y / 256.0f * 6.2831853f * 2.0f);
        const float n = fbm(x / 64.0f, y / 64.0f, 3, 4, seed) * 0.06f;
        Rgba p = ambient;
        blendAdd(p, light, korvid::pow(diffuse, 1.3f) * wave + n);
        return p;
    });
    return c;
}

// Grey picture from a height function: every channel holds the height.
Canvas heightPicture(float (*height)(float, float)) {
    Canvas c(256, 256);
    c.shade([&](float x, float y) {
        const float h = clamp01(height(x, y));
        return Rgba{h, h, h, 1.0f};
    });
    return c;
}

float rockHeightAt(float x, float y) {
    const float body = fbm(x / 64.0f, y / 64.0f, 6, 4, 301) * 0.35f + 0.55f;
    const Cells plates = cellular(x / 42.0f, y / 42.0f, 6, 302);
    const float crack = smoothstep(0.12f, 0.0f, plates.second - plates.nearest);
    return body - crack * 0.45f;
}

// Twill: threads rising along a diagonal, crossed by the weft every four texels.
float clothHeightAt(float x, float y) {
    const float warp = 0.5f + 0.5f * korvid::sin((x + y * 0.5f) * 6.2831853f / 8.0f);
    const float weft = 0.5f + 0.5f * korvid::sin(y * 6.2831853f / 4.0f);
    const float fuzz = fbm(x / 16.0f, y / 16.0f, 3, 16, 311) * 0.08f;
    return 0.25f + warp * 0.5f + weft * 0.2f + fuzz;
}

} // namespace

Canvas specularMap() {
    // A soft highlight where the surface faces the light, on a broad faint sheen.
    Canvas c(256, 256);
    c.shade([](float x, float y) {
        const float d = (x - 100.0f) / 22.0f, wide = (x - 100.0f) / 60.0f;
        const float wave = 0.8f + 0.2f * korvid::sin(y / 256.0f * 6.2831853f * 3.0f);
        const float k = (korvid::exp(-d * d) * 0.6f + korvid::exp(-wide * wide) * 0.12f) * wave;
        return Rgba{k * 0.95f, k * 0.85f, k * 0.7f, 1.0f};
    });
    return c;
}

Canvas rockLightMap() {
    return lightMap(-0.55f, hex(0x2A2040), hex(0xF0D0A0), 321);
}
Canvas clothLightMap() {
    return lightMap(0.45f, hex(0x201838), hex(0xF0B8C8), 322);
}

Canvas rockColour() {
    const Rgba stone[] = {hex(0x2A2228), hex(0x5A4A48), hex(0x8A7A70), hex(0xB0A090)};
    Canvas c(256, 256);
    c.shade([&](float x, float y) {
        const float h = rockHeightAt(x, y);
        const float stain = fbm(x / 32.0f + 9.0f, y / 32.0f, 4, 8, 331) * 0.5f + 0.5f;
        Rgba p = gradient(stone, clamp01(h * 0.9f + stain * 0.2f));
        blendAdd(p, palette::ember, smoothstep(0.6f, 0.9f, stain) * 0.25f);
        return p;
    });
    return c;
}

Canvas clothColour() {
    Canvas c(256, 256);
    c.shade([](float x, float y) {
        const float h = clothHeightAt(x, y);
        Rgba p = mix(hex(0x1C1848), hex(0x5A4A9A), h);
        // Bands of amber thread every 64 texels around, a checked weave.
        const float band = std::fabs(std::fmod(y, 64.0f) - 32.0f);
        blendOver(p, withAlpha(palette::amber, 0.85f),
                  smoothstep(4.0f, 2.0f, band) * (0.6f + 0.4f * h));
        const float stripe = std::fabs(std::fmod(x, 64.0f) - 16.0f);
        blendOver(p, withAlpha(palette::rose, 0.6f), smoothstep(2.5f, 1.0f, stripe));
        return p;
    });
    return c;
}

Canvas rockHeight() {
    return heightPicture(rockHeightAt);
}
Canvas clothHeight() {
    return heightPicture(clothHeightAt);
}

Indexed fireflySprite() {
    Indexed out;
    out.width = 32;
    out.height = 32;
    out.indices.resize(32 * 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const float r = korvid::hypot(float(x) - 15.5f, float(y) - 15.5f);
            const float k = korvid::exp(-(r / 3.5f) * (r / 3.5f)) +
                            0.45f * korvid::exp(-(r / 9.0f) * (r / 9.0f));
            out.indices[size_t(y) * 32 + size_t(x)] = uint8_t(std::lround(clamp01(k) * 255.0f));
        }
    // Palette entry i is the glow at strength i / 255: black, ember, amber, then white gold.
    const Rgba ramp[] = {hex(0x000000),  hex(0x3A1006), palette::ember,
                         palette::amber, palette::gold, hex(0xFFF8E8)};
    for (int i = 0; i < 256; ++i) {
        const Rgba p = gradient(ramp, float(i) / 255.0f);
        out.palette[size_t(i)] = uint32_t(std::lround(p.r * 255.0f)) << 16 |
                                 uint32_t(std::lround(p.g * 255.0f)) << 8 |
                                 uint32_t(std::lround(p.b * 255.0f));
    }
    return out;
}

} // namespace dataset
