#pragma once
// Pictures while they are being made: a float RGBA canvas and a one-channel mask, with
// the few operations the art needs (shapes, glows, blurs, compositing, resampling).

#include "colour.hpp"

#include <functional>
#include <vector>

namespace dataset {

// One float per pixel, usually coverage 0..1 (text, shapes, glows).
class Mask {
public:
    Mask() = default;
    Mask(int width, int height, float value = 0.0f);

    int width() const { return w; }
    int height() const { return h; }
    float& at(int x, int y) { return values[size_t(y) * size_t(w) + size_t(x)]; }
    float at(int x, int y) const { return values[size_t(y) * size_t(w) + size_t(x)]; }
    // Bilinear, clamped to the edges.
    float sample(float x, float y) const;

    std::vector<float> values;

private:
    int w = 0, h = 0;
};

class Canvas {
public:
    Canvas() = default;
    Canvas(int width, int height, Rgba fill = {0.0f, 0.0f, 0.0f, 1.0f});

    int width() const { return w; }
    int height() const { return h; }
    Rgba& at(int x, int y) { return pixels[size_t(y) * size_t(w) + size_t(x)]; }
    const Rgba& at(int x, int y) const { return pixels[size_t(y) * size_t(w) + size_t(x)]; }
    // Bilinear, clamped to the edges or wrapped around them.
    Rgba sample(float x, float y) const;
    Rgba sampleWrapped(float x, float y) const;

    // Every pixel from its centre's position (x + 0.5, y + 0.5).
    void shade(const std::function<Rgba(float x, float y)>& colourAt);

    std::vector<Rgba> pixels;

private:
    int w = 0, h = 0;
};

// Source-over at a pixel; `c.a` is scaled by `coverage`. Keeps the destination's alpha
// combined the usual way so that transparent canvases (logos) stay correct.
void blendOver(Rgba& d, const Rgba& c, float coverage = 1.0f);
// Red, green and blue plus c times coverage times c.a; alpha untouched.
void blendAdd(Rgba& d, const Rgba& c, float coverage = 1.0f);
// 1 - (1 - d)(1 - c): brightens without clipping.
void blendScreen(Rgba& d, const Rgba& c, float coverage = 1.0f);

enum class Blend { over, add, screen };

// A filled anti-aliased disc with a soft edge `feather` pixels wide.
void drawDisc(Canvas& canvas, float cx, float cy, float radius, const Rgba& colour,
              float feather = 1.0f, Blend mode = Blend::over);
// A radial glow: colour * exp(-(d / radius)^2), added or screened.
void drawGlow(Canvas& canvas, float cx, float cy, float radius, const Rgba& colour,
              Blend mode = Blend::add);
// An anti-aliased line `width` pixels thick with round ends.
void drawLine(Canvas& canvas, float x0, float y0, float x1, float y1, float width,
              const Rgba& colour, Blend mode = Blend::over);
// Axis-aligned rectangle with soft edges.
void fillRect(Canvas& canvas, float x0, float y0, float x1, float y1, const Rgba& colour,
              Blend mode = Blend::over);

// The mask painted with a colour (or a colour per position) at (x, y).
void paintMask(Canvas& canvas, const Mask& mask, int x, int y, const Rgba& colour,
               Blend mode = Blend::over);
void paintMask(Canvas& canvas, const Mask& mask, int x, int y,
               const std::function<Rgba(float x, float y)>& colourAt, Blend mode = Blend::over);

// Separable Gaussian-like blur (three box passes); `wrap` keeps tiles seamless.
void blur(Mask& mask, float radius, bool wrap = false);
void blur(Canvas& canvas, float radius, bool wrap = false);

// The mask grown by `radius` pixels (maximum filter), for outlines and shadows.
Mask dilate(const Mask& mask, int radius);
// A copy with `margin` empty pixels on every side.
Mask padded(const Mask& mask, int margin);

// Resampled to a new size: area average when shrinking, bilinear when growing.
Canvas resized(const Canvas& canvas, int width, int height);

// Film grain and vignette, the finishing touch of full-screen pictures.
void addGrain(Canvas& canvas, float amount, uint32_t seed);
void vignette(Canvas& canvas, float strength, float roundness = 1.0f);

} // namespace dataset
