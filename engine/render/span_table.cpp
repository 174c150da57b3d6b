#include "engine/render/span_table.hpp"

#include <algorithm>
#include <cmath>

namespace korvid {

SpanTable spanTable;

namespace {

// ceil(y) clamped into [ymin, ymax]; the comparisons come first so that no NaN or huge
// value reaches the conversion.
int32_t rowOf(float y, const Rect& clip) {
    if (!(y > float(clip.ymin)))
        return clip.ymin;
    if (y >= float(clip.ymax))
        return clip.ymax;
    return int32_t(std::ceil(y));
}

// x truncated toward zero and clamped into [xmin, xmax]. For an integer bound, clamping
// before truncating gives the same column as truncating before clamping.
int32_t columnOf(float x, const Rect& clip) {
    if (!(x > float(clip.xmin)))
        return clip.xmin;
    if (x >= float(clip.xmax))
        return clip.xmax;
    return int32_t(x);
}

// An edge running down the screen bounds its rows on the left, one running up on the right.
void scanEdge(const ScreenPoint& a, const ScreenPoint& b, const Rect& clip, SpanTable& t) {
    const int32_t ya = rowOf(a.y, clip);
    const int32_t yb = rowOf(b.y, clip);
    if (ya == yb)
        return;
    const float slope = (b.x - a.x) / (b.y - a.y);
    if (yb > ya) {
        float x = (float(ya) - a.y) * slope + a.x;
        for (int32_t y = ya; y < yb; ++y, x += slope)
            t.left[size_t(y)] = columnOf(x, clip);
        t.yStart = std::min(t.yStart, ya);
        t.yEnd = std::max(t.yEnd, yb);
    } else {
        float x = (float(yb) - b.y) * slope + b.x;
        for (int32_t y = yb; y < ya; ++y, x += slope)
            t.right[size_t(y)] = columnOf(x, clip);
        t.yStart = std::min(t.yStart, yb);
        t.yEnd = std::max(t.yEnd, ya);
    }
}

} // namespace

void scanTriangle(const ScreenPoint& a, const ScreenPoint& b, const ScreenPoint& c,
                  const Rect& clipIn, bool winding) {
    // Rows index the arrays directly, so none may lie above row 0; an inverted rectangle
    // counts as empty.
    Rect clip = clipIn;
    clip.ymin = std::max(clip.ymin, 0);
    clip.ymax = std::max(clip.ymax, clip.ymin);
    clip.xmax = std::max(clip.xmax, clip.xmin);
    SpanTable& t = spanTable;
    if (clip.ymax > t.capacity) {
        t.capacity = clip.ymax + 20;
        t.left.assign(size_t(t.capacity), 0);
        t.right.assign(size_t(t.capacity), 0);
    }
    t.yStart = clip.ymax;
    t.yEnd = clip.ymin;
    if (winding) {
        scanEdge(a, b, clip, t);
        scanEdge(b, c, clip, t);
        scanEdge(c, a, clip, t);
    } else {
        scanEdge(a, c, clip, t);
        scanEdge(c, b, clip, t);
        scanEdge(b, a, clip, t);
    }
}

} // namespace korvid
