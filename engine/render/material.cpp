#include "engine/render/material.hpp"

#include "engine/render/span_table.hpp"

#include <new>

namespace korvid {

void fillRamp(uint32_t* out, size_t stride, const Colour& from, const Colour& to, int32_t levels) {
    if (levels <= 1) {
        out[0] = from.packed();
        return;
    }
    const float steps = float(levels - 1);
    const Colour step{(to.r - from.r) / steps, (to.g - from.g) / steps, (to.b - from.b) / steps,
                      (to.a - from.a) / steps};
    Colour c = from;
    for (int32_t i = 0; i < levels; ++i) {
        out[size_t(i) * stride] = c.packed();
        c = c + step;
    }
}

std::vector<uint32_t> buildRamp(const Colour& from, const Colour& to, int32_t levels) {
    const int32_t n = levels < 1 ? 1 : levels;
    std::vector<uint32_t> ramp;
    try {
        ramp.resize(size_t(n));
    } catch (const std::bad_alloc&) {
        return ramp;
    }
    fillRamp(ramp.data(), 1, from, to, n);
    return ramp;
}

bool beginFace(const RenderContext& ctx, const RenderFace& face, TriangleSetup& setup) {
    SpanTable& spans = *ctx.spans;
    const ScreenPoint a = screenPointOf(*face.corner[0]), b = screenPointOf(*face.corner[1]),
                      c = screenPointOf(*face.corner[2]);
    scanTriangle(a, b, c, Rect{ctx.xmin, ctx.xmax, ctx.ymin, ctx.ymax}, true, spans);
    if (spans.empty())
        return false;
    return setup.begin(a, b, c);
}

} // namespace korvid
