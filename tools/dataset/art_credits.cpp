// The credit screens (a picture and a caption per role), the textures of the credit grids
// and the strip of greetings.

#include "art.hpp"
#include "art_common.hpp"
#include "engine/math/elementary.hpp"
#include "noise.hpp"
#include "random.hpp"

#include <cmath>
#include <string>
#include <vector>

namespace dataset {

namespace {

constexpr float pi = 3.14159265f;

// A translucent panel that fades out toward one side, the ground of each role picture.
void paintPanel(Canvas& c, bool fadeRight) {
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x) {
            const float edge = fadeRight ? float(c.width() - x) : float(x);
            const float a = smoothstep(0.0f, 90.0f, edge) * 0.55f;
            blendOver(c.at(x, y),
                      withAlpha(mix(palette::night, palette::indigo, float(y) / 384.0f), a));
        }
}

TypeStyle captionStyle(float size, float tracking, float top, float bottom) {
    TypeStyle style;
    style.size = size;
    style.tracking = tracking;
    const Rgba fill[] = {palette::cream, palette::gold, palette::amber};
    style.fill = [=](float, float y) { return gradient(fill, (y - top) / (bottom - top)); };
    style.outline = withAlpha(palette::night, 0.85f);
    style.outlineWidth = 2;
    style.glow = withAlpha(palette::ember, 0.55f);
    style.glowRadius = 5.0f;
    return style;
}

// Role in large type, the project below it, left-aligned in a transparent picture.
Canvas caption(const char* role, int width, float size, float tracking) {
    Canvas c(width, 70, {0, 0, 0, 0});
    paintText(c, role, 6.0f, 8.0f + size * 0.76f,
              captionStyle(size, tracking, 8.0f, 8.0f + size * 0.76f));
    fillRect(c, 6.0f, size * 0.76f + 16.0f, float(width) - 10.0f, size * 0.76f + 17.0f,
             withAlpha(palette::gold, 0.8f));
    TypeStyle project;
    project.font = fonts::sans;
    project.size = 11.0f;
    project.tracking = 3.0f;
    project.fill = [](float, float) { return palette::cream; };
    project.outline = withAlpha(palette::night, 0.8f);
    project.outlineWidth = 1;
    paintText(c, "korvid project", 7.0f, size * 0.76f + 32.0f, project);
    return c;
}

// A shaded ball drawn the way the engine shades: a few flat bands of light.
void paintBandedSphere(Canvas& c, float cx, float cy, float r, int levels) {
    const float lx = -0.5f, ly = -0.6f, lz = 0.62f; // toward the light, unit length
    for (int y = int(cy - r) - 1; y <= int(cy + r) + 1; ++y)
        for (int x = int(cx - r) - 1; x <= int(cx + r) + 1; ++x) {
            const float nx = (float(x) + 0.5f - cx) / r, ny = (float(y) + 0.5f - cy) / r;
            const float d2 = nx * nx + ny * ny;
            const float inside = clamp01((1.0f - std::sqrt(d2)) * r + 0.5f);
            if (inside <= 0.0f)
                continue;
            const float nz = std::sqrt(std::max(0.0f, 1.0f - d2));
            const float k = std::max(0.0f, nx * lx + ny * ly + nz * lz);
            const float level = std::floor(k * float(levels) * 0.999f) / float(levels - 1);
            const Rgba ramp[] = {hex(0x2A1840), palette::rose, palette::amber, palette::cream};
            blendOver(c.at(x, y), gradient(ramp, level), inside);
        }
}

} // namespace

Canvas musicPicture() {
    Canvas c(300, 384, {0, 0, 0, 0});
    paintPanel(c, true);
    const float cx = 128.0f, cy = 148.0f;
    // Sound waves leaving a speaker: arcs opening to the right.
    for (int i = 1; i <= 7; ++i) {
        const float r = 96.0f + float(i) * 20.0f;
        const float a = 0.8f - float(i) * 0.08f;
        for (int k = 0; k < 40; ++k) {
            const float t0 = -0.7f + 1.4f * float(k) / 40.0f, t1 = t0 + 1.4f / 40.0f;
            drawLine(c, cx + korvid::cos(t0) * r, cy + korvid::sin(t0) * r,
                     cx + korvid::cos(t1) * r, cy + korvid::sin(t1) * r, 2.0f,
                     withAlpha(palette::amber, a * 0.6f));
        }
    }
    // The speaker: rings around a glowing dust cap.
    drawDisc(c, cx, cy, 92.0f, withAlpha(hex(0x120A20), 0.95f), 1.5f);
    const Rgba rings[] = {palette::violet, palette::dusk, palette::rose, palette::amber};
    for (int i = 0; i < 12; ++i) {
        const float r = 88.0f - float(i) * 6.5f;
        drawDisc(c, cx, cy, r, withAlpha(gradient(rings, float(i) / 11.0f), 0.35f), 1.0f);
        drawDisc(c, cx, cy, r - 3.0f, withAlpha(hex(0x160C26), 0.6f), 1.0f);
    }
    drawGlow(c, cx, cy, 26.0f, withAlpha(palette::gold, 0.8f));
    drawDisc(c, cx, cy, 14.0f, palette::cream, 1.5f);
    // An equaliser: bars whose heights follow a little melody.
    for (int i = 0; i < 14; ++i) {
        const float x = 22.0f + float(i) * 17.0f;
        const float h = 28.0f + 62.0f * (0.5f + 0.5f * korvid::sin(float(i) * 0.9f) *
                                                    korvid::cos(float(i) * 0.37f));
        for (int s = 0; s < int(h / 6.0f); ++s) {
            const float y = 362.0f - float(s) * 6.0f;
            const Rgba bars[] = {palette::rose, palette::ember, palette::amber, palette::gold};
            fillRect(c, x, y - 4.0f, x + 13.0f, y, gradient(bars, float(s) * 6.0f / 90.0f));
        }
    }
    TypeStyle notes;
    notes.font = fonts::sans;
    notes.size = 34.0f;
    notes.fill = [](float, float) { return palette::gold; };
    notes.glow = withAlpha(palette::amber, 0.6f);
    notes.glowRadius = 6.0f;
    paintText(c, "\u266A", 214.0f, 62.0f, notes);
    notes.size = 26.0f;
    paintText(c, "\u266B", 36.0f, 268.0f, notes);
    return c;
}

Canvas graphicsPicture() {
    Canvas c(310, 384, {0, 0, 0, 0});
    paintPanel(c, false);
    // A colour study: the show's palette as swatches down the right side.
    const Rgba swatches[] = {palette::indigo, palette::violet, palette::dusk, palette::rose,
                             palette::ember,  palette::amber,  palette::gold, palette::cream};
    for (int i = 0; i < 8; ++i) {
        const float y = 40.0f + float(i) * 40.0f;
        drawDisc(c, 272.0f, y, 15.0f, swatches[i], 1.2f);
        drawDisc(c, 272.0f, y, 17.0f, withAlpha(palette::cream, 0.25f), 1.0f, Blend::over);
        drawDisc(c, 272.0f, y, 15.0f, swatches[i], 1.2f);
    }
    // Translucent shapes overlapping, and a ball shaded in four bands of light.
    drawDisc(c, 120.0f, 120.0f, 70.0f, withAlpha(palette::violet, 0.55f), 1.5f);
    fillRect(c, 70.0f, 150.0f, 200.0f, 260.0f, withAlpha(palette::rose, 0.35f));
    paintBandedSphere(c, 150.0f, 200.0f, 62.0f, 4);
    // A wireframe cube turning in front: lines of cream with a glow.
    const float s = 46.0f, ax = 0.6f, ay = 0.5f;
    float px[8], py[8];
    for (int i = 0; i < 8; ++i) {
        float x = (i & 1) ? s : -s, y = (i & 2) ? s : -s, z = (i & 4) ? s : -s;
        const float x1 = x * korvid::cos(ax) - z * korvid::sin(ax),
                    z1 = x * korvid::sin(ax) + z * korvid::cos(ax);
        const float y1 = y * korvid::cos(ay) - z1 * korvid::sin(ay),
                    z2 = y * korvid::sin(ay) + z1 * korvid::cos(ay);
        const float k = 300.0f / (300.0f + z2);
        px[i] = 110.0f + x1 * k;
        py[i] = 305.0f + y1 * k;
    }
    for (int a = 0; a < 8; ++a)
        for (int b = a + 1; b < 8; ++b) {
            const int d = a ^ b;
            if (d != 1 && d != 2 && d != 4)
                continue;
            drawLine(c, px[a], py[a], px[b], py[b], 3.0f, withAlpha(palette::amber, 0.35f));
            drawLine(c, px[a], py[a], px[b], py[b], 1.3f, palette::cream);
        }
    for (int i = 0; i < 8; ++i)
        drawDisc(c, px[i], py[i], 2.5f, palette::gold, 1.0f);
    return c;
}

Canvas codePicture() {
    Canvas c(300, 384, {0, 0, 0, 0});
    paintPanel(c, true);
    fillRect(c, 14.0f, 40.0f, 262.0f, 344.0f, withAlpha(hex(0x0C0818), 0.85f));
    fillRect(c, 14.0f, 40.0f, 262.0f, 58.0f, withAlpha(palette::violet, 0.9f));
    for (int i = 0; i < 3; ++i)
        drawDisc(c, 26.0f + float(i) * 12.0f, 49.0f, 3.5f, i == 0 ? palette::ember : palette::gold,
                 1.0f);
    struct Line {
        int indent;
        const char* text;
        Rgba colour;
    };
    const Rgba comment = hex(0x8C7CB8), keyword = palette::rose, plain = palette::cream;
    const Line lines[] = {
        {0, "// shade along a span, 16.16", comment},
        {0, "int32_t s = int32_t(s0 * 65536);", plain},
        {0, "for (int x = x0; x < x1; ++x) {", keyword},
        {1, "float w = 1.0f / iz;", plain},
        {1, "if (iz > depth[x]) {", keyword},
        {2, "int i = s >> 16;", plain},
        {2, "i = i < 0 ? 0 : i;", plain},
        {2, "pixel[x] = ramp[i];", palette::gold},
        {2, "depth[x] = iz;", plain},
        {1, "}", keyword},
        {1, "s += step;", plain},
        {1, "iz += izStep;", plain},
        {0, "}", keyword},
        {0, "", plain},
        {0, "// no ambient light:", comment},
        {0, "// every lamp counts", comment},
    };
    TypeStyle mono;
    mono.font = fonts::mono;
    mono.size = 10.5f;
    TypeStyle numbers = mono;
    numbers.fill = [](float, float) { return hex(0x4A3C70); };
    float y = 78.0f;
    int n = 1;
    for (const Line& line : lines) {
        paintText(c, std::to_string(n++), 20.0f, y, numbers);
        mono.fill = [colour = line.colour](float, float) { return colour; };
        paintText(c, line.text, 40.0f + float(line.indent) * 13.0f, y, mono);
        y += 16.0f;
    }
    fillRect(c, 40.0f, y - 10.0f, 46.0f, y + 2.0f, palette::amber);
    drawGlow(c, 43.0f, y - 4.0f, 8.0f, withAlpha(palette::amber, 0.6f));
    return c;
}

Canvas musicCaption() {
    return caption("MUSIC", 128, 29.0f, 2.0f);
}
Canvas graphicsCaption() {
    return caption("GRAPHICS", 146, 21.0f, 1.0f);
}
Canvas codeCaption() {
    return caption("CODE", 210, 38.0f, 4.0f);
}

Canvas creditsTexture() {
    Canvas c(512, 512, {0, 0, 0, 0});
    const char* rows[] = {"MUSIC \u00B7 GRAPHICS \u00B7 CODE \u00B7 ",
                          "KORVID \u00B7 KORVID \u00B7 ",
                          "CODE \u00B7 MUSIC \u00B7 GRAPHICS \u00B7 ", "REALTIME \u00B7 "};
    const Rgba tints[] = {palette::gold, palette::cream, palette::rose, palette::amber};
    for (int row = 0; row < 8; ++row) {
        TypeStyle style;
        style.size = 40.0f;
        style.tracking = 3.0f;
        // Each row is sized to span the tile exactly, then drawn at x and x - 512 so that
        // the texture wraps without a seam.
        const std::string text = rows[row % 4];
        style.size *= 512.0f / measureText(text, style);
        style.fill = [tint = tints[row % 4]](float, float) { return tint; };
        style.glow = withAlpha(palette::ember, 0.45f);
        style.glowRadius = 4.0f;
        const float baseline = 64.0f * float(row) + 32.0f + style.size * 0.36f;
        const float shift = float((row * 137) % 512);
        paintText(c, text, shift, baseline, style);
        paintText(c, text, shift - 512.0f, baseline, style);
        fillRect(c, 0.0f, 64.0f * float(row) + 62.0f, 512.0f, 64.0f * float(row) + 63.0f,
                 withAlpha(palette::dusk, 0.5f));
    }
    return c;
}

Canvas greetingsStrip() {
    const std::vector<std::string> names = {"SDL",    "lib3ds", "mpg123",        "LAME",
                                            "libpng", "giflib", "libjpeg-turbo", "FreeType",
                                            "Debian", "CMake",  "GoogleTest"};
    TypeStyle lead;
    lead.font = fonts::serifBold;
    lead.size = 40.0f;
    lead.tracking = 1.0f;
    TypeStyle name = lead;
    name.font = fonts::sansBold;
    TypeStyle dot = name;
    const std::string opening = "greetings to the projects this demo stands on";
    const std::string separator = "  \u00B7  ";
    // Size everything so that the line fills the strip, which scrolls by for the whole
    // part: 2304 pixels of travel, less a margin on each end.
    float width = measureText(opening + separator, lead);
    for (size_t i = 0; i < names.size(); ++i)
        width += measureText(names[i] + (i + 1 < names.size() ? separator : ""), name);
    const float scale = 2000.0f / width;
    lead.size *= scale;
    name.size *= scale;
    dot.size *= scale;

    Canvas c(2304, 80);
    lead.fill = verticalFill(palette::cream, palette::gold, 20.0f, 56.0f);
    lead.glow = scaled(palette::ember, 0.6f);
    lead.glowRadius = 6.0f;
    name.fill = verticalFill(hex(0xFFFFFF), palette::cream, 20.0f, 56.0f);
    name.glow = scaled(palette::rose, 0.55f);
    name.glowRadius = 6.0f;
    dot.fill = [](float, float) { return palette::amber; };
    const float baseline = 54.0f;
    float x = 32.0f;
    x += paintText(c, opening, x, baseline, lead);
    for (size_t i = 0; i < names.size(); ++i) {
        x += paintText(c, separator, x, baseline, dot);
        x += paintText(c, names[i], x, baseline, name);
    }
    return c;
}

} // namespace dataset
