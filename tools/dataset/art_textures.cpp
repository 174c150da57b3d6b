// Textures of the scenes (8-bit, quantised), the tunnel and the stripe grid. All tile:
// noise takes a period and scattered shapes are drawn across the wrap.

#include "art.hpp"
#include "art_common.hpp"
#include "engine/math/elementary.hpp"
#include "noise.hpp"
#include "random.hpp"

#include <cmath>

namespace dataset {

namespace {

// A line drawn at its place and one tile size away on every side.
void drawLineWrapped(Canvas& c, float x0, float y0, float x1, float y1, float width,
                     const Rgba& colour) {
    for (int oy = -1; oy <= 1; ++oy)
        for (int ox = -1; ox <= 1; ++ox) {
            const float dx = float(ox * c.width()), dy = float(oy * c.height());
            drawLine(c, x0 + dx, y0 + dy, x1 + dx, y1 + dy, width, colour);
        }
}

} // namespace

Indexed leatherTexture() {
    Canvas c(128, 128);
    const Rgba hide[] = {hex(0x3A1C10), hex(0x6A3A1E), hex(0x9A5A2C), hex(0xC08040)};
    c.shade([&](float x, float y) {
        const float u = x / 32.0f, v = y / 32.0f; // 4 cells across the tile
        const float tone = fbm(u, v, 4, 4, 201) * 0.5f + 0.5f;
        const float creases = ridged(u * 0.75f + 0.3f, v * 1.5f, 3, 3, 202);
        const Cells pores = cellular(x / 4.0f, y / 4.0f, 32, 203);
        float t = 0.25f + tone * 0.55f - korvid::pow(creases, 6.0f) * 0.45f;
        t -= smoothstep(0.15f, 0.0f, pores.second - pores.nearest) * 0.12f;
        // Scuffs: lighter worn patches.
        t += smoothstep(0.35f, 0.7f, fbm(u * 0.5f + 7.0f, v * 0.5f, 3, 2, 204)) * 0.25f;
        return gradient(hide, t);
    });
    return quantise(c, 256);
}

Indexed grassTexture() {
    // 512 texels for one tile of ground: the second part looks at the grass through a
    // long lens, which shows every texel.
    Canvas c(512, 512);
    c.shade([](float x, float y) {
        const float n = fbm(x / 128.0f, y / 128.0f, 6, 4, 211) * 0.5f + 0.5f;
        return mix(hex(0x1E1A10), hex(0x3A3A1C), n);
    });
    Random dice(212);
    const Rgba roots[] = {hex(0x243016), hex(0x2E3A18), hex(0x34341A)};
    const Rgba tips[] = {hex(0x8A9A3A), hex(0xA8A048), hex(0xC89A48), hex(0x6A8A3A)};
    for (int i = 0; i < 12800; ++i) {
        const float x = dice.uniform() * 512.0f, y = dice.uniform() * 512.0f;
        // Seen from above, blades lean every way, a little more often toward one side.
        const float angle = dice.range(-3.14159f, 3.14159f) * 0.8f - 1.2f;
        const float length = dice.range(10.0f, 26.0f);
        const float width = dice.range(2.0f, 4.4f);
        const Rgba root = roots[dice.below(3)], tip = tips[dice.below(4)];
        const float mx = x + korvid::cos(angle) * length * 0.5f,
                    my = y + korvid::sin(angle) * length * 0.5f;
        const float bend = angle + dice.range(-0.5f, 0.5f);
        const float tx = mx + korvid::cos(bend) * length * 0.5f,
                    ty = my + korvid::sin(bend) * length * 0.5f;
        drawLineWrapped(c, x, y, mx, my, width, mix(root, tip, 0.35f));
        drawLineWrapped(c, mx, my, tx, ty, width * 0.7f, tip);
        // A darker edge down one side gives each blade some body.
        drawLineWrapped(c, mx + 0.8f, my + 0.8f, tx + 0.6f, ty + 0.6f, width * 0.25f,
                        scaled(root, 0.8f));
    }
    // A few flowers catching the last light.
    for (int i = 0; i < 160; ++i) {
        const float x = dice.uniform() * 512.0f, y = dice.uniform() * 512.0f;
        const Rgba petal = dice.uniform() < 0.6f ? palette::gold : hex(0xB88AD8);
        drawDiscWrapped(c, x, y, dice.range(2.4f, 4.4f), petal, 1.5f, Blend::over);
    }
    return quantise(c, 256);
}

Indexed darkGroundTexture() {
    Canvas c(256, 256);
    const Rgba earth[] = {hex(0x140C16), hex(0x2E2030), hex(0x4A3444), hex(0x6A4A50)};
    c.shade([&](float x, float y) {
        const float u = x / 64.0f, v = y / 64.0f;
        const float tone = fbm(u, v, 6, 4, 221) * 0.5f + 0.5f;
        const Cells stones = cellular(x / 32.0f, y / 32.0f, 8, 222);
        const float crack = smoothstep(0.1f, 0.0f, stones.second - stones.nearest);
        // Each stone a slightly different shade; darker in the cracks between them.
        const float stone = unitFloat(stones.id) * 0.25f;
        Rgba p = gradient(earth, clamp01(tone * 0.75f + stone) * (1.0f - crack * 0.8f));
        // Veins of amber, which glow when the show brightens this texture.
        const float vein = korvid::pow(ridged(u * 0.5f, v * 0.5f, 4, 2, 223), 10.0f);
        blendAdd(p, palette::amber, vein * 0.9f);
        blendAdd(p, palette::ember, crack * vein * 0.6f);
        return p;
    });
    return quantise(c, 256);
}

Indexed tunnelTexture() {
    // Rows run around the tunnel, columns along it: courses of stone blocks with glowing
    // joints and a sigil on every third block.
    Canvas c(256, 256);
    const Rgba stone[] = {hex(0x231834), hex(0x3C2C58), hex(0x5A4478), hex(0x7A64A0)};
    c.shade([&](float x, float y) {
        const int course = int(y) / 32;
        const float bx = std::fmod(x + float(course % 2) * 32.0f, 64.0f), by = std::fmod(y, 32.0f);
        const float edge = std::min(std::min(bx, 64.0f - bx), std::min(by, 32.0f - by));
        const float n = fbm(x / 32.0f, y / 32.0f, 5, 8, 231) * 0.5f + 0.5f;
        const float bevel = smoothstep(0.0f, 5.0f, edge);
        Rgba p = gradient(stone, n * 0.8f * bevel + (1.0f - bevel) * 0.15f);
        // Light from one side on the bevels.
        if (edge < 5.0f && (bx < 5.0f || by < 5.0f))
            blendAdd(p, palette::dusk, (1.0f - bevel) * 0.5f);
        const float joint = smoothstep(1.6f, 0.0f, edge);
        blendAdd(p, palette::amber, joint * 0.9f);
        blendAdd(p, palette::gold, smoothstep(0.7f, 0.0f, edge) * 0.5f);
        const int block = int((x + float(course % 2) * 32.0f) / 64.0f) + course * 5;
        if (block % 3 == 0) {
            const float d = korvid::hypot(bx - 32.0f, by - 16.0f);
            const float ring = smoothstep(1.6f, 0.4f, std::fabs(d - 9.0f));
            const float dot = smoothstep(3.2f, 2.0f, d);
            blendAdd(p, palette::rose, (ring + dot) * 0.7f);
        }
        return p;
    });
    return quantise(c, 256);
}

Canvas stripeTexture() {
    Canvas c(256, 256);
    const Rgba bands[] = {palette::violet, palette::rose, palette::amber, palette::gold,
                          palette::ember,  palette::dusk, palette::violet};
    c.shade([&](float x, float y) {
        // Diagonal stripes 32 texels apart: the tile holds a whole number of them.
        const float s = std::fmod(x + y, 128.0f) / 128.0f;
        Rgba p = gradient(bands, s);
        const float fine = std::fmod(x + y, 16.0f);
        blendAdd(p, palette::cream, smoothstep(1.5f, 0.0f, std::fabs(fine - 8.0f)) * 0.35f);
        const float across = std::fmod(x - y + 256.0f, 64.0f);
        p = scaled(p, 0.8f + 0.2f * smoothstep(0.0f, 4.0f, std::fabs(across - 32.0f)));
        const float n = fbm(x / 32.0f, y / 32.0f, 3, 8, 241);
        return scaled(p, 0.9f + n * 0.1f);
    });
    return c;
}

} // namespace dataset
