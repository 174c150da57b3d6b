// Full-screen pictures of the opening, the greetings and the ending: one dusk that
// deepens into night over the course of the show.

#include "art.hpp"
#include "art_common.hpp"
#include "engine/math/elementary.hpp"
#include "noise.hpp"
#include "random.hpp"

#include <cmath>

namespace dataset {

namespace {

// A thin band of light along a row, for horizons.
void paintHorizonGlow(Canvas& canvas, float row, float width, const Rgba& colour) {
    for (int y = 0; y < canvas.height(); ++y) {
        const float d = (float(y) - row) / width;
        const float k = korvid::exp(-d * d);
        if (k < 0.002f)
            continue;
        for (int x = 0; x < canvas.width(); ++x)
            blendAdd(canvas.at(x, y), colour, k);
    }
}

// Streaks of cloud lit from below: stretched noise, brighter toward `light`.
void paintCloudStreaks(Canvas& canvas, float y0, float y1, const Rgba& lit, const Rgba& body,
                       uint32_t seed) {
    for (int y = int(y0); y < int(y1); ++y)
        for (int x = 0; x < canvas.width(); ++x) {
            const float n = fbm(float(x) / 150.0f, float(y) / 9.0f, 5, 0, seed);
            const float cover = smoothstep(0.05f, 0.45f, n);
            if (cover <= 0.0f)
                continue;
            const float rim = smoothstep(0.0f, 1.0f, (float(y) - y0) / (y1 - y0));
            const Rgba tint = mix(body, lit, rim * smoothstep(0.1f, 0.6f, n));
            blendOver(canvas.at(x, y), tint, cover * 0.55f);
        }
}

// Grass blades standing out against the sky: dark strokes with a faint rim of light.
void paintGrassBlades(Canvas& canvas, int count, float ground, float height, const Rgba& colour,
                      const Rgba& rim, uint32_t seed) {
    Random dice(seed);
    for (int i = 0; i < count; ++i) {
        const float x = dice.uniform() * float(canvas.width() + 20) - 10.0f;
        const float base = ground + dice.range(0.0f, 90.0f);
        const float h = height * dice.range(0.4f, 1.2f) * (0.6f + (base - ground) / 150.0f);
        const float lean = dice.range(-0.35f, 0.35f);
        const float tipX = x + lean * h, tipY = base - h;
        const float midX = x + lean * h * 0.35f, midY = base - h * 0.55f;
        drawLine(canvas, x, base, midX, midY, 2.0f, colour);
        drawLine(canvas, midX, midY, tipX, tipY, 1.2f, colour);
        drawLine(canvas, midX + 0.6f, midY, tipX + 0.4f, tipY, 0.6f, scaled(rim, 0.5f), Blend::add);
    }
}

} // namespace

Canvas waitScreen() {
    Canvas c(512, 384);
    const Rgba sky[] = {palette::night, palette::indigo, hex(0x2A1C4A), hex(0x3A2450)};
    paintSky(c, sky, 384.0f);
    paintStars(c, 70, 230.0f, 11);
    paintHorizonGlow(c, 252.0f, 5.0f, scaled(palette::amber, 0.35f));
    paintHorizonGlow(c, 252.0f, 40.0f, scaled(palette::ember, 0.12f));
    paintHills(c, 262.0f, 10.0f, 90.0f, hex(0x120C22), 12);

    TypeStyle title;
    title.size = 46.0f;
    title.tracking = 16.0f;
    title.fill = verticalFill(palette::cream, palette::gold, 160.0f, 200.0f);
    title.glow = scaled(palette::amber, 0.55f);
    title.glowRadius = 9.0f;
    paintTextCentred(c, "KORVID", 264.0f, 200.0f, title);

    TypeStyle small;
    small.font = fonts::mono;
    small.size = 13.0f;
    small.tracking = 5.0f;
    small.fill = [](float, float) { return hex(0x9C8CC8); };
    paintTextCentred(c, "loading . . .", 258.0f, 300.0f, small);
    finishPicture(c, 13, 0.55f, 0.025f);
    return c;
}

Canvas closingScreen() {
    Canvas c(512, 384);
    const Rgba sky[] = {palette::indigo, palette::violet, palette::dusk,
                        palette::rose,   palette::ember,  palette::amber};
    paintSky(c, sky, 262.0f);
    paintStars(c, 50, 120.0f, 21);
    paintCloudStreaks(c, 150.0f, 240.0f, palette::gold, hex(0x8A4A78), 22);
    paintSun(c, 330.0f, 254.0f, 30.0f, palette::cream, palette::amber);
    paintBirds(c, 7, 140.0f, 120.0f, 270.0f, 180.0f, hex(0x2A1530), 23);
    paintHills(c, 270.0f, 26.0f, 70.0f, hex(0x6A3868), 24);
    paintHills(c, 298.0f, 34.0f, 110.0f, hex(0x3C2050), 25);
    paintHills(c, 336.0f, 38.0f, 160.0f, hex(0x1A0F28), 26);
    paintHills(c, 372.0f, 16.0f, 60.0f, palette::night, 27);

    TypeStyle thanks;
    thanks.font = fonts::serif;
    thanks.size = 17.0f;
    thanks.tracking = 3.0f;
    thanks.fill = [](float, float) { return hex(0xFFE9C8); };
    thanks.glow = scaled(palette::ember, 0.35f);
    thanks.glowRadius = 5.0f;
    paintTextCentred(c, "thank you for watching", 256.0f, 352.0f, thanks);
    TypeStyle name;
    name.size = 10.0f;
    name.tracking = 9.0f;
    name.fill = [](float, float) { return palette::amber; };
    paintTextCentred(c, "KORVID", 260.0f, 372.0f, name);
    finishPicture(c, 28, 0.45f);
    return c;
}

Canvas nightMeadow() {
    Canvas c(512, 384);
    const Rgba sky[] = {hex(0x05040C), palette::night, palette::indigo, hex(0x2D1F52),
                        hex(0x4A2A55)};
    paintSky(c, sky, 292.0f);
    // The milky way: a faint diagonal band of noise.
    c.shade([&](float x, float y) {
        Rgba p = c.at(int(x), int(y));
        const float along = (x * 0.8f - y * 1.2f + 60.0f) / 70.0f;
        const float band = korvid::exp(-along * along);
        const float n = fbm(x / 40.0f, y / 40.0f, 5, 0, 31) * 0.5f + 0.5f;
        blendAdd(p, hex(0x8C7CC8), band * n * n * 0.18f);
        return p;
    });
    paintStars(c, 220, 280.0f, 32);
    drawGlow(c, 430.0f, 62.0f, 40.0f, scaled(hex(0xB0A8E0), 0.18f), Blend::screen);
    drawDisc(c, 430.0f, 62.0f, 13.0f, palette::cream, 1.2f);
    drawDisc(c, 436.0f, 58.0f, 12.0f, hex(0x0B0918), 1.2f);
    paintHorizonGlow(c, 292.0f, 14.0f, scaled(palette::rose, 0.22f));
    paintHills(c, 300.0f, 22.0f, 80.0f, hex(0x1E1430), 33);
    paintHills(c, 318.0f, 14.0f, 50.0f, hex(0x0E0918), 34);
    paintGrassBlades(c, 900, 318.0f, 34.0f, hex(0x06040C), hex(0x8A5AA0), 35);
    Random dice(36);
    for (int i = 0; i < 9; ++i) {
        const float x = dice.range(20.0f, 490.0f), y = dice.range(300.0f, 370.0f);
        drawGlow(c, x, y, dice.range(3.0f, 6.0f), scaled(palette::amber, 0.5f), Blend::add);
        drawGlow(c, x, y, 1.2f, palette::gold, Blend::add);
    }
    finishPicture(c, 37, 0.5f);
    return c;
}

Canvas greetingsSky() {
    Canvas c(512, 1024);
    const Rgba sky[] = {hex(0xD88A50),   hex(0xC0607A), hex(0x7A4690),
                        palette::violet, hex(0x20163E), hex(0x100B22)};
    paintSky(c, sky, 1024.0f);
    drawGlow(c, 256.0f, -60.0f, 260.0f, scaled(palette::gold, 0.35f), Blend::screen);
    // Clouds: lit gold at the top, rose further down, dark violet bodies at the bottom.
    const Rgba lit[] = {palette::gold, hex(0xF0A0A0), hex(0x9A70C0), hex(0x3A2A60)};
    const Rgba body[] = {hex(0x9A4A60), hex(0x6A3070), hex(0x3A2258), hex(0x161030)};
    for (int y = 0; y < c.height(); ++y) {
        const float depth = float(y) / float(c.height());
        for (int x = 0; x < c.width(); ++x) {
            const float n = fbm(float(x) / 170.0f, float(y) / 55.0f, 6, 0, 41);
            const float cover = smoothstep(0.0f, 0.5f, n) * (1.0f - smoothstep(0.55f, 0.8f, depth));
            if (cover <= 0.0f)
                continue;
            const float light =
                smoothstep(-0.1f, 0.6f, fbm(float(x) / 90.0f, float(y) / 30.0f, 4, 0, 42));
            blendOver(c.at(x, y), mix(gradient(body, depth), gradient(lit, depth), light),
                      cover * 0.7f);
        }
    }
    Canvas stars(512, 1024);
    paintStars(stars, 420, 1024.0f, 43, true);
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x)
            blendAdd(c.at(x, y), stars.at(x, y), smoothstep(0.45f, 0.85f, float(y) / 1024.0f));
    addGrain(c, 0.025f, 44);
    return c;
}

} // namespace dataset
