#pragma once
// Anti-aliased outline lines: each step touches a pair of neighbouring pixels, weighted by
// the line's fractional position between them, and is hidden by nearer surfaces.

#include "engine/render/render_context.hpp"

namespace korvid {

enum class EdgeLineMode {
    darken, // both pixels of a pair are darkened by their distance to the line
    blend,  // the second pixel of a pair is blended toward the first
};

// Draws the line from `a` to `b` inside the context's clip rectangle shrunk by one pixel.
// A pair is drawn when the line's 1/z is at least 0.999 of the nearer stored depth; the line
// never writes depth. Written pixels get alpha 0.
void drawEdgeLine(const RenderContext& ctx, ScreenPoint a, ScreenPoint b, EdgeLineMode mode);

} // namespace korvid
