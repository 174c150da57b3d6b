#pragma once
// Motifs shared by the pictures: dusk skies, hill silhouettes, stars, birds and
// glowing type.

#include "canvas.hpp"
#include "text.hpp"

#include <functional>
#include <string>

namespace dataset {

// Vertical sky: `stops` from the top row to `horizon`, the last stop below it.
template <size_t N>
void paintSky(Canvas& canvas, const Rgba (&stops)[N], float horizon) {
    canvas.shade([&](float, float y) { return gradient(stops, y / horizon); });
}

// Faint points of light above row `below`, fading out toward it unless `even`.
void paintStars(Canvas& canvas, int count, float below, uint32_t seed, bool even = false);

// A silhouette of rolling hills: rows under baseline + noise(x) * amplitude get `colour`,
// with a soft anti-aliased top edge.
void paintHills(Canvas& canvas, float baseline, float amplitude, float scale, const Rgba& colour,
                uint32_t seed);

// A sun low over the horizon: a disc with a wide glow, cut by the horizon row.
void paintSun(Canvas& canvas, float cx, float cy, float radius, const Rgba& core, const Rgba& halo);

// Distant birds: small wing strokes ("v" shapes) scattered in a rectangle.
void paintBirds(Canvas& canvas, int count, float x0, float y0, float x1, float y1,
                const Rgba& colour, uint32_t seed);

// Soft out-of-focus discs of light.
void paintBokeh(Canvas& canvas, int count, float minRadius, float maxRadius, const Rgba& colourA,
                const Rgba& colourB, uint32_t seed);

// The same shape drawn at its place and at the eight places one canvas size away, so
// that tiling textures stay seamless.
void drawDiscWrapped(Canvas& canvas, float cx, float cy, float radius, const Rgba& colour,
                     float feather, Blend mode);
void drawGlowWrapped(Canvas& canvas, float cx, float cy, float radius, const Rgba& colour,
                     Blend mode);

// The last touch of a full-screen picture: film grain, then a vignette.
void finishPicture(Canvas& canvas, uint32_t grainSeed, float vignetteStrength, float grain = 0.03f);

struct TypeStyle {
    const char* font = fonts::sansBold;
    float size = 32.0f;
    float tracking = 0.0f;
    std::function<Rgba(float x, float y)> fill; // colour per canvas position
    Rgba glow{0, 0, 0, 0};                      // added around the letters
    float glowRadius = 0.0f;
    Rgba shadow{0, 0, 0, 0}; // drawn under the letters, offset down-right
    int shadowOffset = 2;
    Rgba outline{0, 0, 0, 0};
    int outlineWidth = 0;
};

// Renders `text` with its baseline at row `baseline`, its left edge at `left`; returns
// the advance (width) of the line.
float paintText(Canvas& canvas, const std::string& text, float left, float baseline,
                const TypeStyle& style);
// Width a line would take, for centring.
float measureText(const std::string& text, const TypeStyle& style);
// The same, centred on column `centre`.
void paintTextCentred(Canvas& canvas, const std::string& text, float centre, float baseline,
                      const TypeStyle& style);

// A fill that runs from `top` at row y0 to `bottom` at row y1.
std::function<Rgba(float, float)> verticalFill(const Rgba& top, const Rgba& bottom, float y0,
                                               float y1);

} // namespace dataset
