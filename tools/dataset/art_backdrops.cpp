// Abstract backdrops: behind the credits, behind the twisters, and the spare effect
// backgrounds; plus the tileable textures of the credit grid and the ending.

#include "art.hpp"
#include "art_common.hpp"
#include "engine/math/elementary.hpp"
#include "noise.hpp"
#include "random.hpp"

#include <cmath>

namespace dataset {

namespace {

constexpr float twoPi = 6.28318531f;

// Rays fanning out from (ox, oy): bright where angular noise peaks, fading with distance.
void paintRays(Canvas& canvas, float ox, float oy, const Rgba& colour, float reach, uint32_t seed) {
    canvas.shade([&](float x, float y) {
        Rgba p = canvas.at(int(x), int(y));
        const float angle = korvid::atan2(y - oy, x - ox);
        const float distance = korvid::hypot(x - ox, y - oy);
        const float ray = smoothstep(0.1f, 0.7f, fbm(angle * 3.0f + 10.0f, 0.5f, 3, 0, seed));
        const float fade = korvid::exp(-distance / reach);
        blendAdd(p, colour, ray * fade);
        return p;
    });
}

} // namespace

Canvas creditsBackdrop() {
    Canvas c(512, 384);
    const Rgba tones[] = {palette::night, palette::indigo, palette::violet, hex(0x5A3470)};
    c.shade([&](float x, float y) { return gradient(tones, (x * 0.6f + y) / 700.0f + 0.05f); });
    drawGlow(c, 470.0f, 30.0f, 160.0f, scaled(palette::ember, 0.35f), Blend::screen);
    paintRays(c, 500.0f, -20.0f, scaled(palette::amber, 0.22f), 330.0f, 51);
    paintBokeh(c, 46, 5.0f, 28.0f, palette::rose, palette::amber, 52);
    paintBokeh(c, 30, 2.0f, 6.0f, palette::cream, palette::gold, 53);
    // Fine diagonal hatching, barely there: a woven feel under the credits.
    c.shade([&](float x, float y) {
        Rgba p = c.at(int(x), int(y));
        const float line = korvid::pow(0.5f + 0.5f * korvid::sin((x + y) * 0.9f), 24.0f);
        blendAdd(p, palette::dusk, line * 0.05f);
        return p;
    });
    finishPicture(c, 54, 0.5f);
    return c;
}

Canvas twisterBackdrop() {
    Canvas c(512, 384);
    const float horizon = 250.0f;
    const Rgba sky[] = {palette::night, palette::indigo, palette::violet, hex(0x7A3A78)};
    paintSky(c, sky, horizon);
    paintStars(c, 90, 200.0f, 61);
    // A striped sun sinking behind the horizon: gold at the top, rose below, cut by
    // bands that thicken toward the ground.
    const float sx = 256.0f, sy = 196.0f, radius = 92.0f;
    drawGlow(c, sx, sy, radius * 1.6f, scaled(palette::ember, 0.35f), Blend::screen);
    const Rgba sun[] = {palette::gold, palette::amber, palette::ember, palette::rose};
    for (int y = int(sy - radius) - 2; y < int(horizon); ++y)
        for (int x = int(sx - radius) - 2; x <= int(sx + radius) + 2; ++x) {
            const float px = float(x) + 0.5f, py = float(y) + 0.5f;
            const float inside = clamp01(radius - korvid::hypot(px - sx, py - sy) + 0.5f);
            const float t = (py - (sy - radius)) / (2.0f * radius);
            const float band = t > 0.45f ? std::fmod(py - sy, 14.0f) : 99.0f;
            const float gap = (t - 0.45f) * 22.0f;
            const float cut = band >= 0.0f && band < gap ? 0.0f : 1.0f;
            if (inside * cut > 0.0f)
                blendOver(c.at(x, y), gradient(sun, t), inside * cut);
        }
    paintHills(c, horizon + 2.0f, 14.0f, 40.0f, hex(0x24143A), 62);
    // The floor: a dark plane with a glowing perspective grid.
    for (int y = int(horizon); y < c.height(); ++y) {
        const float depth = (float(y) - horizon + 0.5f) / (float(c.height()) - horizon);
        for (int x = 0; x < c.width(); ++x) {
            Rgba& p = c.at(x, y);
            p = mix(hex(0x1A1030), palette::night, depth);
            const float z = 40.0f / (float(y) - horizon + 1.0f);         // distance of the row
            const float across = (float(x) + 0.5f - 256.0f) * z / 40.0f; // position across
            const float rowLine =
                korvid::pow(std::fabs(korvid::cos(z * 3.0f * 3.14159f)), 60.0f * depth + 4.0f);
            const float colLine =
                korvid::pow(std::fabs(korvid::cos(across * 3.14159f)), 40.0f / (depth + 0.05f));
            const float glow = std::max(rowLine, colLine) * (0.25f + depth * 0.75f);
            blendAdd(p, mix(palette::rose, palette::dusk, depth), glow * 0.7f);
        }
    }
    for (int x = 0; x < c.width(); ++x)
        for (int y = int(horizon) - 3; y < int(horizon) + 4; ++y) {
            const float d = (float(y) - horizon) / 2.5f;
            blendAdd(c.at(x, y), palette::amber, korvid::exp(-d * d) * 0.5f);
        }
    finishPicture(c, 63, 0.55f);
    return c;
}

Canvas emberFlow() {
    Canvas c(512, 384);
    const Rgba fire[] = {palette::night, hex(0x40142A), palette::ember, palette::amber,
                         palette::gold};
    c.shade([&](float x, float y) {
        const float px = x / 140.0f, py = y / 140.0f;
        const float qx = fbm(px, py, 4, 0, 71), qy = fbm(px + 5.2f, py + 1.3f, 4, 0, 72);
        const float r = fbm(px + 3.0f * qx, py + 3.0f * qy, 5, 0, 73);
        return gradient(fire, smoothstep(-0.55f, 0.75f, r));
    });
    finishPicture(c, 74, 0.6f);
    return c;
}

Canvas violetWaves() {
    Canvas c(512, 384);
    const Rgba sky[] = {palette::night, palette::indigo, palette::night};
    paintSky(c, sky, 384.0f);
    Random dice(81);
    const Rgba tints[] = {palette::violet, palette::rose, palette::teal, palette::dusk};
    for (int i = 0; i < 9; ++i) {
        const float base = dice.range(90.0f, 300.0f), amplitude = dice.range(20.0f, 70.0f);
        const float k = dice.range(0.006f, 0.018f), phase = dice.range(0.0f, twoPi);
        const Rgba tint = tints[i % 4];
        for (int x = 0; x < c.width(); ++x) {
            const float centre = base + amplitude * korvid::sin(float(x) * k + phase);
            for (int y = 0; y < c.height(); ++y) {
                const float d = (float(y) - centre) / 14.0f;
                blendAdd(c.at(x, y), tint, korvid::exp(-d * d) * 0.22f);
                const float core = (float(y) - centre) / 1.2f;
                blendAdd(c.at(x, y), palette::cream, korvid::exp(-core * core) * 0.12f);
            }
        }
    }
    finishPicture(c, 82, 0.6f);
    return c;
}

Canvas nebula() {
    Canvas c(512, 384);
    const Rgba gas[] = {palette::night, palette::indigo, palette::violet, palette::rose,
                        palette::amber};
    c.shade([&](float x, float y) {
        const float n = fbm(x / 160.0f, y / 160.0f, 6, 0, 91);
        const float m = ridged(x / 220.0f + 3.0f, y / 220.0f, 4, 0, 92);
        Rgba p = gradient(gas, smoothstep(-0.3f, 0.9f, n * 0.7f + m * 0.5f));
        blendAdd(p, palette::teal, smoothstep(0.5f, 0.9f, m) * 0.25f);
        return p;
    });
    paintStars(c, 260, 384.0f, 93, true);
    Random dice(94);
    for (int i = 0; i < 6; ++i) {
        const float x = dice.range(20.0f, 490.0f), y = dice.range(20.0f, 360.0f);
        drawGlow(c, x, y, 9.0f, scaled(palette::cream, 0.3f), Blend::add);
        drawLine(c, x - 14.0f, y, x + 14.0f, y, 0.8f, scaled(palette::cream, 0.5f), Blend::add);
        drawLine(c, x, y - 14.0f, x, y + 14.0f, 0.8f, scaled(palette::cream, 0.5f), Blend::add);
    }
    finishPicture(c, 95, 0.5f);
    return c;
}

Canvas creditsGridTexture() {
    Canvas c(512, 512);
    const Rgba tones[] = {palette::indigo, palette::violet, palette::dusk, palette::violet,
                          palette::indigo};
    c.shade([&](float x, float y) {
        // Periodic in both axes: sines of whole turns across the tile.
        const float t = 0.5f + 0.25f * korvid::sin(twoPi * (x + y) / 512.0f) +
                        0.25f * korvid::sin(twoPi * (x - 2.0f * y) / 512.0f);
        Rgba p = gradient(tones, t);
        const float n = fbm(x / 64.0f, y / 64.0f, 5, 8, 101) * 0.5f + 0.5f;
        blendAdd(p, palette::rose, n * n * 0.25f);
        const float band =
            korvid::pow(0.5f + 0.5f * korvid::sin(twoPi * (x * 2.0f + y) / 512.0f), 12.0f);
        blendAdd(p, palette::amber, band * 0.18f);
        return p;
    });
    Random dice(102);
    for (int i = 0; i < 60; ++i) {
        const float x = dice.uniform() * 512.0f, y = dice.uniform() * 512.0f;
        const float r = dice.range(4.0f, 26.0f);
        const Rgba tint = mix(palette::rose, palette::gold, dice.uniform());
        drawDiscWrapped(c, x, y, r, scaled(tint, dice.range(0.06f, 0.18f)), r * 0.3f, Blend::add);
    }
    return c;
}

Canvas nightTexture() {
    Canvas c(256, 256);
    const Rgba sky[] = {palette::night, palette::indigo, palette::violet};
    c.shade([&](float x, float y) {
        const float n = fbm(x / 64.0f, y / 64.0f, 5, 4, 111) * 0.5f + 0.5f;
        return gradient(sky, n * 0.9f);
    });
    Random dice(112);
    for (int i = 0; i < 70; ++i) {
        const float x = dice.uniform() * 256.0f, y = dice.uniform() * 256.0f;
        drawGlowWrapped(c, x, y, dice.range(0.5f, 1.4f),
                        scaled(palette::cream, dice.range(0.3f, 1.0f)), Blend::add);
    }
    for (int i = 0; i < 10; ++i) {
        const float x = dice.uniform() * 256.0f, y = dice.uniform() * 256.0f;
        drawGlowWrapped(c, x, y, dice.range(3.0f, 6.0f), scaled(palette::amber, 0.5f), Blend::add);
        drawGlowWrapped(c, x, y, 1.2f, palette::gold, Blend::add);
    }
    return c;
}

} // namespace dataset
