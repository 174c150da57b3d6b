#include "engine/render/span_table.hpp"

#include <algorithm>

namespace korvid {

namespace {

// ceil(y) clamped into [ymin, ymax]; the comparisons come first so that no NaN or huge
// value reaches the conversion. Past them 0 <= ymin < y < ymax: truncation is the floor,
// and the ceiling one more unless y is whole (a library ceil costs more than the rest).
int32_t rowOf(float y, const Rect& clip) {
    if (!(y > float(clip.ymin)))
        return clip.ymin;
    if (y >= float(clip.ymax))
        return clip.ymax;
    const int32_t floor = int32_t(y);
    return floor + (float(floor) < y ? 1 : 0);
}

// x truncated toward zero and clamped into [xmin, xmax]. The clamp is done on the float, so
// that no NaN or huge value reaches the conversion, and without branches; for integer
// bounds, clamping before truncating gives the same column as truncating before clamping.
// The bounds are copies: stores into the span arrays could otherwise alias the rectangle.
struct Columns {
    float xmin, xmax;

    int32_t operator()(float x) const {
        const float c = x > xmin ? x : xmin; // a NaN takes xmin
        return int32_t(c < xmax ? c : xmax);
    }
};

// An end of an edge: its screen point and its row, ceil(y) clamped into the rectangle.
struct EdgeEnd {
    const ScreenPoint& p;
    int32_t row;
};

// An edge running down the screen bounds its rows on the left, one running up on the right.
void scanEdge(const EdgeEnd& a, const EdgeEnd& b, const Columns& columns, SpanTable& t) {
    const int32_t ya = a.row, yb = b.row;
    if (ya == yb)
        return;
    const float slope = (b.p.x - a.p.x) / (b.p.y - a.p.y);
    int32_t* const left = t.left.data();
    int32_t* const right = t.right.data();
    if (yb > ya) {
        float x = (float(ya) - a.p.y) * slope + a.p.x;
        for (int32_t y = ya; y < yb; ++y, x += slope)
            left[y] = columns(x);
        t.yStart = std::min(t.yStart, ya);
        t.yEnd = std::max(t.yEnd, yb);
    } else {
        float x = (float(yb) - b.p.y) * slope + b.p.x;
        for (int32_t y = yb; y < ya; ++y, x += slope)
            right[y] = columns(x);
        t.yStart = std::min(t.yStart, yb);
        t.yEnd = std::max(t.yEnd, ya);
    }
}

} // namespace

void scanTriangle(const ScreenPoint& a, const ScreenPoint& b, const ScreenPoint& c,
                  const Rect& clipIn, bool winding, SpanTable& t) {
    // Rows index the arrays directly, so none may lie above row 0; an inverted rectangle
    // counts as empty.
    Rect clip = clipIn;
    clip.ymin = std::max(clip.ymin, 0);
    clip.ymax = std::max(clip.ymax, clip.ymin);
    clip.xmax = std::max(clip.xmax, clip.xmin);
    if (clip.ymax > t.capacity) {
        t.capacity = clip.ymax + 20;
        t.left.assign(size_t(t.capacity), 0);
        t.right.assign(size_t(t.capacity), 0);
    }
    t.yStart = clip.ymax;
    t.yEnd = clip.ymin;
    // Each corner's row is found once for both of its edges.
    const EdgeEnd ea{a, rowOf(a.y, clip)}, eb{b, rowOf(b.y, clip)}, ec{c, rowOf(c.y, clip)};
    const Columns columns{float(clip.xmin), float(clip.xmax)};
    if (winding) {
        scanEdge(ea, eb, columns, t);
        scanEdge(eb, ec, columns, t);
        scanEdge(ec, ea, columns, t);
    } else {
        scanEdge(ea, ec, columns, t);
        scanEdge(ec, eb, columns, t);
        scanEdge(eb, ea, columns, t);
    }
}

} // namespace korvid
