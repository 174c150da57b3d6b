#include "art_common.hpp"

#include "engine/math/elementary.hpp"
#include "noise.hpp"
#include "random.hpp"

#include <cmath>

namespace dataset {

void paintStars(Canvas& canvas, int count, float below, uint32_t seed, bool even) {
    Random dice(seed);
    for (int i = 0; i < count; ++i) {
        const float x = dice.uniform() * float(canvas.width());
        const float y = dice.uniform() * below;
        const float bright = korvid::pow(dice.uniform(), 3.0f);
        // Fade out toward the horizon, where the sky is lighter.
        const float fade = even ? 1.0f : 1.0f - smoothstep(below * 0.4f, below, y);
        const Rgba tint = mix(palette::cream, hex(0xC8D0FF), dice.uniform());
        const float size = 0.5f + bright * 1.1f;
        drawGlow(canvas, x, y, size, scaled(tint, (0.25f + bright * 0.9f) * fade), Blend::add);
    }
}

void paintHills(Canvas& canvas, float baseline, float amplitude, float scale, const Rgba& colour,
                uint32_t seed) {
    for (int x = 0; x < canvas.width(); ++x) {
        const float fx = float(x) / scale;
        const float top = baseline - (fbm(fx, 0.37f, 4, 0, seed) * 0.5f + 0.5f) * amplitude;
        for (int y = std::max(0, int(top) - 1); y < canvas.height(); ++y) {
            const float coverage = clamp01(float(y) + 1.0f - top);
            blendOver(canvas.at(x, y), colour, coverage);
        }
    }
}

void paintSun(Canvas& canvas, float cx, float cy, float radius, const Rgba& core,
              const Rgba& halo) {
    drawGlow(canvas, cx, cy, radius * 5.0f, scaled(halo, 0.35f), Blend::screen);
    drawGlow(canvas, cx, cy, radius * 2.2f, scaled(halo, 0.6f), Blend::screen);
    drawDisc(canvas, cx, cy, radius, core, 1.5f);
}

void paintBirds(Canvas& canvas, int count, float x0, float y0, float x1, float y1,
                const Rgba& colour, uint32_t seed) {
    Random dice(seed);
    for (int i = 0; i < count; ++i) {
        const float x = dice.range(x0, x1), y = dice.range(y0, y1);
        const float span = dice.range(3.0f, 7.0f);
        const float lift = span * dice.range(0.25f, 0.55f);
        drawLine(canvas, x - span, y - lift, x, y, 1.1f, colour);
        drawLine(canvas, x, y, x + span * 0.9f, y - lift * 1.1f, 1.1f, colour);
    }
}

void paintBokeh(Canvas& canvas, int count, float minRadius, float maxRadius, const Rgba& colourA,
                const Rgba& colourB, uint32_t seed) {
    Random dice(seed);
    for (int i = 0; i < count; ++i) {
        const float x = dice.uniform() * float(canvas.width());
        const float y = dice.uniform() * float(canvas.height());
        const float r = dice.range(minRadius, maxRadius);
        const Rgba tint = mix(colourA, colourB, dice.uniform());
        const float strength = dice.range(0.05f, 0.2f);
        drawDisc(canvas, x, y, r, scaled(tint, strength), r * 0.25f, Blend::add);
        drawDisc(canvas, x, y, r, scaled(tint, strength * 0.6f), 1.5f, Blend::add);
    }
}

void drawDiscWrapped(Canvas& canvas, float cx, float cy, float radius, const Rgba& colour,
                     float feather, Blend mode) {
    for (int oy = -1; oy <= 1; ++oy)
        for (int ox = -1; ox <= 1; ++ox)
            drawDisc(canvas, cx + float(ox * canvas.width()), cy + float(oy * canvas.height()),
                     radius, colour, feather, mode);
}

void drawGlowWrapped(Canvas& canvas, float cx, float cy, float radius, const Rgba& colour,
                     Blend mode) {
    for (int oy = -1; oy <= 1; ++oy)
        for (int ox = -1; ox <= 1; ++ox)
            drawGlow(canvas, cx + float(ox * canvas.width()), cy + float(oy * canvas.height()),
                     radius, colour, mode);
}

void finishPicture(Canvas& canvas, uint32_t grainSeed, float vignetteStrength, float grain) {
    addGrain(canvas, grain, grainSeed);
    vignette(canvas, vignetteStrength);
}

float measureText(const std::string& text, const TypeStyle& style) {
    return font(style.font).render(text, style.size, style.tracking).advance;
}

float paintText(Canvas& canvas, const std::string& text, float left, float baseline,
                const TypeStyle& style) {
    const int margin =
        int(std::ceil(style.glowRadius * 3.0f)) + style.outlineWidth + style.shadowOffset + 2;
    const TextMask line = font(style.font).render(text, style.size, style.tracking, margin);
    const int x = int(std::lround(left)) - margin;
    const int y = int(std::lround(baseline)) - line.baseline;
    if (style.glow.a > 0.0f && style.glowRadius > 0.0f) {
        Mask halo = line.mask;
        blur(halo, style.glowRadius);
        paintMask(canvas, halo, x, y, style.glow, Blend::screen);
    }
    if (style.shadow.a > 0.0f) {
        Mask shade = line.mask;
        blur(shade, 2.0f);
        paintMask(canvas, shade, x + style.shadowOffset, y + style.shadowOffset, style.shadow);
    }
    if (style.outlineWidth > 0) {
        const Mask rim = dilate(line.mask, style.outlineWidth);
        paintMask(canvas, rim, x, y, style.outline);
    }
    if (style.fill)
        paintMask(canvas, line.mask, x, y, style.fill);
    else
        paintMask(canvas, line.mask, x, y, palette::cream);
    return line.advance;
}

void paintTextCentred(Canvas& canvas, const std::string& text, float centre, float baseline,
                      const TypeStyle& style) {
    paintText(canvas, text, centre - measureText(text, style) * 0.5f, baseline, style);
}

std::function<Rgba(float, float)> verticalFill(const Rgba& top, const Rgba& bottom, float y0,
                                               float y1) {
    return [=](float, float y) { return mix(top, bottom, clamp01((y - y0) / (y1 - y0))); };
}

} // namespace dataset
