// The name in its several forms: the small logo of the opening, the main logo (as a
// picture and as the texture of the 3D logo), and the title of the closing act.

#include "art.hpp"
#include "art_common.hpp"
#include "engine/math/elementary.hpp"

#include <cmath>

namespace dataset {

namespace {

// The emblem: a low sun cut by horizontal bands, ringed by a thin halo.
void paintEmblem(Canvas& canvas, float cx, float cy, float radius) {
    drawGlow(canvas, cx, cy, radius * 1.3f, withAlpha(palette::ember, 0.45f), Blend::over);
    const Rgba sun[] = {palette::cream, palette::gold, palette::amber, palette::ember,
                        palette::rose};
    const int x0 = int(cx - radius) - 2, x1 = int(cx + radius) + 2;
    for (int y = int(cy - radius) - 2; y <= int(cy + radius) + 2; ++y)
        for (int x = x0; x <= x1; ++x) {
            if (x < 0 || y < 0 || x >= canvas.width() || y >= canvas.height())
                continue;
            const float px = float(x) + 0.5f, py = float(y) + 0.5f;
            const float inside = clamp01(radius - korvid::hypot(px - cx, py - cy) + 0.5f);
            const float t = (py - cy + radius) / (2.0f * radius);
            // Bands grow thicker toward the bottom, as on a sun seen through haze.
            const float phase =
                std::fmod(py - cy + radius * 4.0f, radius * 0.32f) / (radius * 0.32f);
            const float gap = t > 0.5f ? (t - 0.5f) * 1.1f : 0.0f;
            const float band = clamp01((phase - gap) * radius * 0.32f + 0.5f);
            if (inside * band > 0.0f)
                blendOver(canvas.at(x, y), gradient(sun, t), inside * band);
        }
    for (int i = 0; i < 96; ++i) {
        const float a0 = float(i) / 96.0f * 6.2831853f, a1 = float(i + 1) / 96.0f * 6.2831853f;
        const float r = radius * 1.16f;
        drawLine(canvas, cx + korvid::cos(a0) * r, cy + korvid::sin(a0) * r,
                 cx + korvid::cos(a1) * r, cy + korvid::sin(a1) * r, 1.2f,
                 withAlpha(palette::gold, 0.8f));
    }
}

TypeStyle logoType(float size, float tracking, float top, float bottom) {
    TypeStyle style;
    style.size = size;
    style.tracking = tracking;
    const Rgba fill[] = {palette::cream, palette::gold, palette::amber, palette::ember};
    style.fill = [=](float, float y) { return gradient(fill, (y - top) / (bottom - top)); };
    style.outline = withAlpha(hex(0x1A0E2A), 0.9f);
    style.outlineWidth = 2;
    style.glow = withAlpha(palette::amber, 0.5f);
    style.glowRadius = 6.0f;
    return style;
}

// The title's layout, shared by the mask and the coloured version so that they cross-fade
// in register.
struct TitleLayout {
    static constexpr int width = 440, height = 116;
    static constexpr float size = 86.0f, tracking = 10.0f, baseline = 80.0f;
    static constexpr float subtitleSize = 13.0f, subtitleBaseline = 106.0f;
};

} // namespace

Canvas smallLogo() {
    Canvas c(164, 44, {0, 0, 0, 0});
    paintEmblem(c, 22.0f, 22.0f, 15.0f);
    TypeStyle type = logoType(21.0f, 4.0f, 14.0f, 31.0f);
    type.glowRadius = 3.0f;
    type.shadow = withAlpha(palette::night, 0.7f);
    paintText(c, "KORVID", 46.0f, 30.0f, type);
    return c;
}

Canvas mainLogo() {
    Canvas c(276, 170, {0, 0, 0, 0});
    paintEmblem(c, 138.0f, 58.0f, 42.0f);
    TypeStyle type = logoType(46.0f, 9.0f, 96.0f, 132.0f);
    paintTextCentred(c, "KORVID", 142.0f, 132.0f, type);
    fillRect(c, 70.0f, 142.0f, 206.0f, 143.0f, withAlpha(palette::gold, 0.7f));
    TypeStyle tag;
    tag.font = fonts::sans;
    tag.size = 10.5f;
    tag.tracking = 5.0f;
    tag.fill = [](float, float) { return palette::cream; };
    tag.outline = withAlpha(hex(0x1A0E2A), 0.8f);
    tag.outlineWidth = 1;
    paintTextCentred(c, "REALTIME  DEMO", 141.0f, 159.0f, tag);
    return c;
}

Indexed logoTexture() {
    // The main logo, square: 256 wide, centred vertically, on palette entry 250 (which the
    // show makes transparent). Half-transparent edge pixels go onto black.
    const Canvas logo = resized(mainLogo(), 256, 158);
    Canvas opaque(256, 256, {0, 0, 0, 1});
    std::vector<bool> background(256 * 256, true);
    for (int y = 0; y < logo.height(); ++y)
        for (int x = 0; x < logo.width(); ++x) {
            const Rgba& p = logo.at(x, y);
            const int ty = y + (256 - 158) / 2;
            opaque.at(x, ty) = {p.r * p.a, p.g * p.a, p.b * p.a, 1.0f};
            background[size_t(ty) * 256 + size_t(x)] = p.a < 0.35f;
        }
    Indexed out = quantise(opaque, 250);
    for (size_t i = 0; i < background.size(); ++i)
        if (background[i])
            out.indices[i] = 250;
    out.palette[250] = 0x000000;
    return out;
}

Canvas titleMask() {
    Canvas c(TitleLayout::width, TitleLayout::height);
    TypeStyle type;
    type.size = TitleLayout::size;
    type.tracking = TitleLayout::tracking;
    type.fill = [](float, float) { return hex(0xFFFFFF); };
    paintTextCentred(c, "KORVID", TitleLayout::width * 0.5f, TitleLayout::baseline, type);
    TypeStyle sub;
    sub.font = fonts::sans;
    sub.size = TitleLayout::subtitleSize;
    sub.tracking = 9.0f;
    sub.fill = type.fill;
    paintTextCentred(c, "A  REALTIME  DEMO", TitleLayout::width * 0.5f,
                     TitleLayout::subtitleBaseline, sub);
    return c;
}

Canvas titleColour() {
    Canvas c(TitleLayout::width, TitleLayout::height, {0, 0, 0, 0});
    TypeStyle type = logoType(TitleLayout::size, TitleLayout::tracking, 18.0f, 80.0f);
    type.outlineWidth = 3;
    type.glowRadius = 10.0f;
    type.glow = withAlpha(palette::rose, 0.7f);
    paintTextCentred(c, "KORVID", TitleLayout::width * 0.5f, TitleLayout::baseline, type);
    TypeStyle sub;
    sub.font = fonts::sans;
    sub.size = TitleLayout::subtitleSize;
    sub.tracking = 9.0f;
    sub.fill = [](float, float) { return palette::cream; };
    sub.outline = withAlpha(hex(0x1A0E2A), 0.85f);
    sub.outlineWidth = 2;
    paintTextCentred(c, "A  REALTIME  DEMO", TitleLayout::width * 0.5f,
                     TitleLayout::subtitleBaseline, sub);
    return c;
}

} // namespace dataset
