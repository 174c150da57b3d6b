#include "engine/render/edge_line.hpp"

#include "engine/core/pixel.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

namespace korvid {

namespace {

// Red, green and blue scaled by k / 256, alpha 0.
inline uint32_t scaleRgb(uint32_t p, uint32_t k) {
    return ((((p & 0x00FF00FF) * k) >> 8) & 0x00FF00FF) |
           ((((p & 0x0000FF00) * k) >> 8) & 0x0000FF00);
}

inline bool finite(const ScreenPoint& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.invZ);
}

// One pair of pixels with weight f (0..255) toward the second: the depth test, then the mode.
inline void drawPair(const RenderContext& ctx, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                     uint32_t f, float invZ, EdgeLineMode mode) {
    const float d1 = ctx.depthPixels[ptrdiff_t(y1) * ctx.depthPitch + x1];
    const float d2 = ctx.depthPixels[ptrdiff_t(y2) * ctx.depthPitch + x2];
    if (!(invZ >= std::min(d1, d2) * 0.999f))
        return;
    uint32_t& first = ctx.colourPixels[ptrdiff_t(y1) * ctx.colourPitch + x1];
    uint32_t& second = ctx.colourPixels[ptrdiff_t(y2) * ctx.colourPitch + x2];
    if (mode == EdgeLineMode::darken) {
        first = scaleRgb(first, f);
        second = scaleRgb(second, 255 - f);
    } else {
        second = blendPixelRgb255(second, first, f);
    }
}

// One pair a pixel along the major axis (rows for a mostly vertical line, columns for a
// mostly horizontal one), from ceil(start) to ceil(end) - 1. The minor coordinate, one pixel
// back, steps in 16.16: its integer part is the first pixel of the pair, bits 8..15 the
// weight of the second. The clamp only guards against rounding at the rectangle's edge.
template <bool vertical>
void drawSteps(const RenderContext& ctx, float start, float end, float minor, float invZ,
               float slope, float invZSlope, EdgeLineMode mode) {
    const int32_t first = int32_t(std::ceil(start)), last = int32_t(std::ceil(end));
    const float lead = float(first) - start;
    int32_t p = int32_t((minor + lead * slope - 1.0f) * 65536.0f);
    const int32_t step = int32_t(slope * 65536.0f);
    float w = invZ + lead * invZSlope;
    const int32_t lowest = vertical ? ctx.xmin : ctx.ymin;
    const int32_t highest = (vertical ? ctx.xmax : ctx.ymax) - 2;
    for (int32_t k = first; k < last; ++k, p += step, w += invZSlope) {
        const int32_t m = std::clamp(p >> 16, lowest, highest);
        const uint32_t f = uint32_t(p >> 8) & 255;
        if (vertical)
            drawPair(ctx, m, k, m + 1, k, f, w, mode);
        else
            drawPair(ctx, k, m, k, m + 1, f, w, mode);
    }
}

} // namespace

void drawEdgeLine(const RenderContext& ctx, ScreenPoint a, ScreenPoint b, EdgeLineMode mode) {
    // A pair needs two columns and two rows inside the clip rectangle.
    if (ctx.xmax - ctx.xmin < 2 || ctx.ymax - ctx.ymin < 2)
        return;
    if (!finite(a) || !finite(b))
        return;
    if (b.y < a.y)
        std::swap(a, b); // a is the upper end
    const float dx = b.x - a.x, dy = b.y - a.y, dw = b.invZ - a.invZ;
    if (dx == 0.0f && dy == 0.0f)
        return;
    // Infinite for axis-parallel lines; the clipping below turns those into rejections.
    const float dxdy = dx / dy, dwdy = dw / dy;
    const float dydx = dy / dx, dwdx = dw / dx;

    if (dxdy < -1.0f || dxdy >= 1.0f) {
        a.x -= 1.0f, a.y += 1.0f;
        b.x -= 1.0f, b.y += 1.0f;
    }

    // Clipping slides an end along the line, its 1/z with it, into the rectangle shrunk by
    // one pixel, so that both pixels of every pair stay inside the real one.
    const float x0 = float(ctx.xmin + 1), x1 = float(ctx.xmax - 1);
    const float y0 = float(ctx.ymin + 1), y1 = float(ctx.ymax - 1);
    auto slideToY = [&](ScreenPoint& p, float y) {
        const float d = y - p.y;
        p.x += d * dxdy, p.invZ += d * dwdy, p.y = y;
    };
    auto slideToX = [&](ScreenPoint& p, float x) {
        const float d = x - p.x;
        p.y += d * dydx, p.invZ += d * dwdx, p.x = x;
    };
    const bool leftward = dxdy < 0.0f;
    if (a.y < y0) {
        slideToY(a, y0);
        if (leftward ? a.x < x0 : a.x > x1)
            return;
    }
    if (b.y > y1) {
        slideToY(b, y1);
        if (leftward ? b.x > x1 : b.x < x0)
            return;
    }
    // Ends on the same row are not one above the other: such a line has no row to draw.
    if (!(a.y < b.y))
        return;
    if (leftward) {
        if (a.x > x1) {
            slideToX(a, x1);
            if (!(a.y < y1))
                return;
        }
        if (a.x < x0)
            return;
        if (b.x < x0) {
            slideToX(b, x0);
            if (b.y < y0)
                return;
        }
        if (b.x > x1)
            return;
    } else {
        if (a.x < x0) {
            slideToX(a, x0);
            if (a.y > y1)
                return;
        }
        if (a.x > x1)
            return;
        if (b.x > x1) {
            slideToX(b, x1);
            if (b.y < y0)
                return;
        }
        if (b.x < x0)
            return;
    }
    if (!finite(a) || !finite(b))
        return;

    if (dxdy >= -1.0f && dxdy <= 1.0f) {
        drawSteps<true>(ctx, a.y, b.y, a.x, a.invZ, dxdy, dwdy, mode);
    } else {
        const ScreenPoint& left = a.x <= b.x ? a : b;
        const ScreenPoint& right = a.x <= b.x ? b : a;
        drawSteps<false>(ctx, left.x, right.x, left.y, left.invZ, dydx, dwdx, mode);
    }
}

} // namespace korvid
