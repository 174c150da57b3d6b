#include "canvas.hpp"

#include "engine/math/elementary.hpp"
#include "random.hpp"

#include <cmath>

namespace dataset {

namespace {

int clampIndex(int v, int size) {
    return v < 0 ? 0 : (v >= size ? size - 1 : v);
}
int wrapIndex(int v, int size) {
    return ((v % size) + size) % size;
}

void blendBy(Rgba& d, const Rgba& c, float coverage, Blend mode) {
    switch (mode) {
    case Blend::over:
        blendOver(d, c, coverage);
        break;
    case Blend::add:
        blendAdd(d, c, coverage);
        break;
    case Blend::screen:
        blendScreen(d, c, coverage);
        break;
    }
}

// Pixel rows and columns touched by a shape of the given bounds, clipped to the canvas.
struct Span {
    int x0, y0, x1, y1;
};
Span spanOf(const Canvas& canvas, float xmin, float ymin, float xmax, float ymax) {
    return {std::max(0, int(std::floor(xmin))), std::max(0, int(std::floor(ymin))),
            std::min(canvas.width() - 1, int(std::ceil(xmax))),
            std::min(canvas.height() - 1, int(std::ceil(ymax)))};
}

// One box pass along a line of `count` values `stride` apart.
void boxPass(float* line, int count, int stride, int r, bool wrap, std::vector<float>& scratch) {
    scratch.resize(size_t(count));
    for (int i = 0; i < count; ++i)
        scratch[size_t(i)] = line[size_t(i) * size_t(stride)];
    const float scale = 1.0f / float(2 * r + 1);
    auto value = [&](int i) {
        return scratch[size_t(wrap ? wrapIndex(i, count) : clampIndex(i, count))];
    };
    float sum = 0.0f;
    for (int i = -r; i <= r; ++i)
        sum += value(i);
    for (int i = 0; i < count; ++i) {
        line[size_t(i) * size_t(stride)] = sum * scale;
        sum += value(i + r + 1) - value(i - r);
    }
}

// Three box passes of these radii approximate a Gaussian of the given radius.
void boxRadii(float radius, int (&radii)[3]) {
    const float sigma = std::max(0.0f, radius) * 0.5f;
    const float ideal = std::sqrt(4.0f * sigma * sigma + 1.0f);
    for (int& r : radii)
        r = std::max(0, int(std::lround((ideal - 1.0f) * 0.5f)));
}

void blurChannels(std::vector<float*>& channels, int w, int h, int stride, float radius,
                  bool wrap) {
    int radii[3];
    boxRadii(radius, radii);
    std::vector<float> scratch;
    for (int r : radii) {
        if (r == 0)
            continue;
        for (float* base : channels) {
            for (int y = 0; y < h; ++y)
                boxPass(base + size_t(y) * size_t(w) * size_t(stride), w, stride, r, wrap, scratch);
            for (int x = 0; x < w; ++x)
                boxPass(base + size_t(x) * size_t(stride), h, w * stride, r, wrap, scratch);
        }
    }
}

float lerp(float a, float b, float t) {
    return a + (b - a) * t;
}
Rgba lerp(const Rgba& a, const Rgba& b, float t) {
    return mix(a, b, t);
}

// Bilinear filtering between pixel centres; `fetch` maps (possibly outside) integer
// coordinates to a pixel, clamping or wrapping.
template <class Fetch>
auto bilinear(float x, float y, Fetch fetch) {
    x -= 0.5f;
    y -= 0.5f;
    const int ix = int(std::floor(x)), iy = int(std::floor(y));
    const float fx = x - float(ix), fy = y - float(iy);
    return lerp(lerp(fetch(ix, iy), fetch(ix + 1, iy), fx),
                lerp(fetch(ix, iy + 1), fetch(ix + 1, iy + 1), fx), fy);
}

} // namespace

Mask::Mask(int width, int height, float value)
    : values(size_t(width) * size_t(height), value), w(width), h(height) {}

float Mask::sample(float x, float y) const {
    return bilinear(x, y, [&](int px, int py) { return at(clampIndex(px, w), clampIndex(py, h)); });
}

Canvas::Canvas(int width, int height, Rgba fill)
    : pixels(size_t(width) * size_t(height), fill), w(width), h(height) {}

Rgba Canvas::sample(float x, float y) const {
    return bilinear(x, y, [&](int px, int py) { return at(clampIndex(px, w), clampIndex(py, h)); });
}

Rgba Canvas::sampleWrapped(float x, float y) const {
    return bilinear(x, y, [&](int px, int py) { return at(wrapIndex(px, w), wrapIndex(py, h)); });
}

void Canvas::shade(const std::function<Rgba(float x, float y)>& colourAt) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            at(x, y) = colourAt(float(x) + 0.5f, float(y) + 0.5f);
}

void blendOver(Rgba& d, const Rgba& c, float coverage) {
    const float a = clamp01(c.a * coverage);
    if (a <= 0.0f)
        return;
    const float outA = a + d.a * (1.0f - a);
    if (outA <= 0.0f)
        return;
    const float keep = d.a * (1.0f - a);
    d.r = (c.r * a + d.r * keep) / outA;
    d.g = (c.g * a + d.g * keep) / outA;
    d.b = (c.b * a + d.b * keep) / outA;
    d.a = outA;
}

void blendAdd(Rgba& d, const Rgba& c, float coverage) {
    const float k = c.a * coverage;
    d.r += c.r * k;
    d.g += c.g * k;
    d.b += c.b * k;
}

void blendScreen(Rgba& d, const Rgba& c, float coverage) {
    const float k = clamp01(c.a * coverage);
    d.r = 1.0f - (1.0f - d.r) * (1.0f - clamp01(c.r) * k);
    d.g = 1.0f - (1.0f - d.g) * (1.0f - clamp01(c.g) * k);
    d.b = 1.0f - (1.0f - d.b) * (1.0f - clamp01(c.b) * k);
}

void drawDisc(Canvas& canvas, float cx, float cy, float radius, const Rgba& colour, float feather,
              Blend mode) {
    const float reach = radius + feather;
    const Span s = spanOf(canvas, cx - reach, cy - reach, cx + reach, cy + reach);
    for (int y = s.y0; y <= s.y1; ++y)
        for (int x = s.x0; x <= s.x1; ++x) {
            const float d = korvid::hypot(float(x) + 0.5f - cx, float(y) + 0.5f - cy);
            const float coverage = clamp01((radius - d) / std::max(feather, 0.001f) + 0.5f);
            if (coverage > 0.0f)
                blendBy(canvas.at(x, y), colour, coverage, mode);
        }
}

void drawGlow(Canvas& canvas, float cx, float cy, float radius, const Rgba& colour, Blend mode) {
    const float reach = radius * 3.0f;
    const Span s = spanOf(canvas, cx - reach, cy - reach, cx + reach, cy + reach);
    const float inv = 1.0f / (radius * radius);
    for (int y = s.y0; y <= s.y1; ++y)
        for (int x = s.x0; x <= s.x1; ++x) {
            const float dx = float(x) + 0.5f - cx, dy = float(y) + 0.5f - cy;
            const float k = korvid::exp(-(dx * dx + dy * dy) * inv);
            if (k > 0.002f)
                blendBy(canvas.at(x, y), colour, k, mode);
        }
}

void drawLine(Canvas& canvas, float x0, float y0, float x1, float y1, float width,
              const Rgba& colour, Blend mode) {
    const float r = width * 0.5f;
    const Span s = spanOf(canvas, std::min(x0, x1) - r - 1, std::min(y0, y1) - r - 1,
                          std::max(x0, x1) + r + 1, std::max(y0, y1) + r + 1);
    const float dx = x1 - x0, dy = y1 - y0;
    const float len2 = std::max(dx * dx + dy * dy, 1e-6f);
    for (int y = s.y0; y <= s.y1; ++y)
        for (int x = s.x0; x <= s.x1; ++x) {
            const float px = float(x) + 0.5f - x0, py = float(y) + 0.5f - y0;
            const float t = clamp01((px * dx + py * dy) / len2);
            const float d = korvid::hypot(px - t * dx, py - t * dy);
            const float coverage = clamp01(r - d + 0.5f);
            if (coverage > 0.0f)
                blendBy(canvas.at(x, y), colour, coverage, mode);
        }
}

void fillRect(Canvas& canvas, float x0, float y0, float x1, float y1, const Rgba& colour,
              Blend mode) {
    const Span s = spanOf(canvas, x0 - 1, y0 - 1, x1 + 1, y1 + 1);
    for (int y = s.y0; y <= s.y1; ++y) {
        const float cy = clamp01(std::min(float(y) + 1.0f, y1) - std::max(float(y), y0));
        for (int x = s.x0; x <= s.x1; ++x) {
            const float cx = clamp01(std::min(float(x) + 1.0f, x1) - std::max(float(x), x0));
            if (cx * cy > 0.0f)
                blendBy(canvas.at(x, y), colour, cx * cy, mode);
        }
    }
}

void paintMask(Canvas& canvas, const Mask& mask, int x, int y, const Rgba& colour, Blend mode) {
    paintMask(
        canvas, mask, x, y, [&](float, float) { return colour; }, mode);
}

void paintMask(Canvas& canvas, const Mask& mask, int x, int y,
               const std::function<Rgba(float x, float y)>& colourAt, Blend mode) {
    for (int my = 0; my < mask.height(); ++my) {
        const int cy = y + my;
        if (cy < 0 || cy >= canvas.height())
            continue;
        for (int mx = 0; mx < mask.width(); ++mx) {
            const int cx = x + mx;
            if (cx < 0 || cx >= canvas.width())
                continue;
            const float coverage = mask.at(mx, my);
            if (coverage <= 0.0f)
                continue;
            blendBy(canvas.at(cx, cy), colourAt(float(cx) + 0.5f, float(cy) + 0.5f), coverage,
                    mode);
        }
    }
}

void blur(Mask& mask, float radius, bool wrap) {
    std::vector<float*> channels{mask.values.data()};
    blurChannels(channels, mask.width(), mask.height(), 1, radius, wrap);
}

void blur(Canvas& canvas, float radius, bool wrap) {
    float* base = &canvas.pixels[0].r;
    std::vector<float*> channels{base, base + 1, base + 2, base + 3};
    blurChannels(channels, canvas.width(), canvas.height(), 4, radius, wrap);
}

Mask dilate(const Mask& mask, int radius) {
    const int w = mask.width(), h = mask.height();
    Mask rows(w, h), out(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float m = 0.0f;
            for (int k = std::max(0, x - radius); k <= std::min(w - 1, x + radius); ++k)
                m = std::max(m, mask.at(k, y));
            rows.at(x, y) = m;
        }
    // Separable maximum: a square pen, which is all outlines and shadows need.
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float m = 0.0f;
            for (int k = std::max(0, y - radius); k <= std::min(h - 1, y + radius); ++k)
                m = std::max(m, rows.at(x, k));
            out.at(x, y) = m;
        }
    return out;
}

Mask padded(const Mask& mask, int margin) {
    Mask out(mask.width() + 2 * margin, mask.height() + 2 * margin);
    for (int y = 0; y < mask.height(); ++y)
        for (int x = 0; x < mask.width(); ++x)
            out.at(x + margin, y + margin) = mask.at(x, y);
    return out;
}

Canvas resized(const Canvas& canvas, int width, int height) {
    Canvas out(width, height);
    const float sx = float(canvas.width()) / float(width);
    const float sy = float(canvas.height()) / float(height);
    if (sx <= 1.0f && sy <= 1.0f) {
        out.shade([&](float x, float y) { return canvas.sample(x * sx, y * sy); });
        return out;
    }
    // Area average over the source footprint of each target pixel, on premultiplied colour
    // so that transparent pixels do not darken the edges of logos.
    for (int y = 0; y < height; ++y) {
        const int y0 = int(float(y) * sy), y1 = std::max(y0 + 1, int(float(y + 1) * sy));
        for (int x = 0; x < width; ++x) {
            const int x0 = int(float(x) * sx), x1 = std::max(x0 + 1, int(float(x + 1) * sx));
            Rgba sum{0, 0, 0, 0};
            for (int v = y0; v < std::min(y1, canvas.height()); ++v)
                for (int u = x0; u < std::min(x1, canvas.width()); ++u) {
                    const Rgba& p = canvas.at(u, v);
                    sum.r += p.r * p.a;
                    sum.g += p.g * p.a;
                    sum.b += p.b * p.a;
                    sum.a += p.a;
                }
            const float n = float((y1 - y0) * (x1 - x0));
            out.at(x, y) = sum.a > 0.0f
                               ? Rgba{sum.r / sum.a, sum.g / sum.a, sum.b / sum.a, sum.a / n}
                               : Rgba{0, 0, 0, 0};
        }
    }
    return out;
}

void addGrain(Canvas& canvas, float amount, uint32_t seed) {
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) {
            // Two hashes summed: a softer, roughly triangular grain distribution.
            const float n =
                unitFloat(hash3(x, y, 0, seed)) + unitFloat(hash3(x, y, 1, seed)) - 1.0f;
            Rgba& p = canvas.at(x, y);
            const float k = n * amount;
            p.r += k;
            p.g += k;
            p.b += k;
        }
}

void vignette(Canvas& canvas, float strength, float roundness) {
    const float cx = float(canvas.width()) * 0.5f, cy = float(canvas.height()) * 0.5f;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) {
            const float dx = (float(x) + 0.5f - cx) / cx;
            const float dy = (float(y) + 0.5f - cy) / cy * roundness;
            const float k = 1.0f - strength * smoothstep(0.3f, 1.6f, dx * dx + dy * dy);
            canvas.at(x, y) = scaled(canvas.at(x, y), k);
        }
}

} // namespace dataset
