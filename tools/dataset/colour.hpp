#pragma once
// Colours of the generated art: four floats in display space, 0..1 per channel, alpha
// straight (not premultiplied).

#include <algorithm>
#include <cstdint>

namespace dataset {

struct Rgba {
    float r = 0.0f, g = 0.0f, b = 0.0f, a = 1.0f;
};

// 0xRRGGBB, opaque.
constexpr Rgba hex(uint32_t rgb, float alpha = 1.0f) {
    return {float((rgb >> 16) & 0xFF) / 255.0f, float((rgb >> 8) & 0xFF) / 255.0f,
            float(rgb & 0xFF) / 255.0f, alpha};
}

inline float clamp01(float v) {
    return std::min(1.0f, std::max(0.0f, v));
}

inline float smoothstep(float edge0, float edge1, float x) {
    const float t = clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}

inline Rgba mix(const Rgba& a, const Rgba& b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
            a.a + (b.a - a.a) * t};
}

// Red, green and blue scaled; alpha kept.
inline Rgba scaled(const Rgba& c, float k) {
    return {c.r * k, c.g * k, c.b * k, c.a};
}

inline Rgba withAlpha(const Rgba& c, float a) {
    return {c.r, c.g, c.b, a};
}

inline float luminance(const Rgba& c) {
    return 0.299f * c.r + 0.587f * c.g + 0.114f * c.b;
}

// Piecewise gradient through evenly spaced stops, eased between neighbours.
template <size_t N>
Rgba gradient(const Rgba (&stops)[N], float t) {
    const float x = clamp01(t) * float(N - 1);
    const size_t i = std::min(size_t(x), N - 2);
    return mix(stops[i], stops[i + 1], smoothstep(0.0f, 1.0f, x - float(i)));
}

// The show's palette: dusk over a field, warm amber light against deep blue-violet.
namespace palette {
constexpr Rgba night = hex(0x0B0818);
constexpr Rgba indigo = hex(0x1B1338);
constexpr Rgba violet = hex(0x3A2766);
constexpr Rgba dusk = hex(0x6B3F7C);
constexpr Rgba rose = hex(0xB4587A);
constexpr Rgba ember = hex(0xE0703A);
constexpr Rgba amber = hex(0xF4A340);
constexpr Rgba gold = hex(0xFFD27A);
constexpr Rgba cream = hex(0xFFF1D8);
constexpr Rgba teal = hex(0x2E5A6B);
constexpr Rgba moss = hex(0x4C5A2E);
} // namespace palette

} // namespace dataset
