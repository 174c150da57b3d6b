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

// The edge from a on row ya to b on row yb. Running down the screen it bounds its rows on
// the left, running up on the right. Inlined, so that the three edges of a triangle keep
// their corners in registers.
[[gnu::always_inline]] inline void scanEdge(const ScreenPoint& a, int32_t ya, const ScreenPoint& b,
                                            int32_t yb, const Columns& columns, int32_t* left,
                                            int32_t* right) {
    if (ya == yb)
        return;
    const float slope = (b.x - a.x) / (b.y - a.y);
    if (yb > ya) {
        float x = (float(ya) - a.y) * slope + a.x;
        for (int32_t y = ya; y < yb; ++y, x += slope)
            left[y] = columns(x);
    } else {
        float x = (float(yb) - b.y) * slope + b.x;
        for (int32_t y = yb; y < ya; ++y, x += slope)
            right[y] = columns(x);
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
    // Each corner's row is found once for both of its edges. The rows run from the highest
    // corner row to the lowest, unless all three are one row: then no edge covers a row.
    const int32_t ya = rowOf(a.y, clip), yb = rowOf(b.y, clip), yc = rowOf(c.y, clip);
    if (ya == yb && yb == yc) {
        t.yStart = clip.ymax;
        t.yEnd = clip.ymin;
        return;
    }
    t.yStart = std::min(ya, std::min(yb, yc));
    t.yEnd = std::max(ya, std::max(yb, yc));
    const Columns columns{float(clip.xmin), float(clip.xmax)};
    int32_t* const left = t.left.data();
    int32_t* const right = t.right.data();
    if (winding) {
        scanEdge(a, ya, b, yb, columns, left, right);
        scanEdge(b, yb, c, yc, columns, left, right);
        scanEdge(c, yc, a, ya, columns, left, right);
    } else {
        scanEdge(a, ya, c, yc, columns, left, right);
        scanEdge(c, yc, b, yb, columns, left, right);
        scanEdge(b, yb, a, ya, columns, left, right);
    }
}

} // namespace korvid
