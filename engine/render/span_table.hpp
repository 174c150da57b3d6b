#pragma once
// Scan conversion of screen triangles into one span of pixels per row.

#include "engine/core/surface.hpp"
#include "engine/render/render_context.hpp"
#include "engine/scene/render_data.hpp"

#include <cstdint>
#include <vector>

namespace korvid {

// Row y covers the pixels x with left[y] <= x < right[y]; a row whose right is not greater
// than its left is empty. Rows yStart .. yEnd - 1 were written by the latest scan.
struct SpanTable {
    std::vector<int32_t> left, right;
    int32_t capacity = 0;
    int32_t yStart = 0, yEnd = 0;

    bool empty() const { return yStart >= yEnd; }
};

// Fills `table` for the triangle a, b, c clipped to `clip`, growing it when the rectangle
// reaches below its rows. Rows are the integers y with ceil(top) <= y < ceil(bottom); a
// row's pixels run from the truncated x of its left edge to the truncated x of its right
// edge. With `winding` true a front-facing triangle (the edges that run down the screen on
// its left) fills its rows; a back-facing one leaves every row empty.
void scanTriangle(const ScreenPoint& a, const ScreenPoint& b, const ScreenPoint& c,
                  const Rect& clip, bool winding, SpanTable& table);

// The screen part of a corner's vertex.
inline ScreenPoint screenPointOf(const RenderCorner& corner) {
    const RenderVertex& v = *corner.normal->vertex;
    return {v.screenX, v.screenY, v.cameraZ, v.invZ};
}

inline void scanTriangle(const RenderFace& face, const Rect& clip, bool winding, SpanTable& table) {
    scanTriangle(screenPointOf(*face.corner[0]), screenPointOf(*face.corner[1]),
                 screenPointOf(*face.corner[2]), clip, winding, table);
}

} // namespace korvid
