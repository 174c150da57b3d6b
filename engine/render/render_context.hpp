#pragma once
// What the rasteriser works on: the locked colour and depth buffers of one render, and the
// screen part of a vertex.

#include <cstdint>

namespace korvid {

struct SpanTable;

// What materials and the edge drawer draw into: the locked colour and depth buffers.
// Depth holds 1/z of the nearest surface drawn so far, 0 for none: larger is nearer.
// `spans` is the render's span table, which a material scans each face into before it
// fills the face's rows.
struct RenderContext {
    uint32_t* colourPixels = nullptr;
    float* depthPixels = nullptr;
    int32_t colourPitch = 0; // pixels
    int32_t depthPitch = 0;  // floats
    int32_t xmin = 0, xmax = 0, ymin = 0, ymax = 0;
    float focalX = 0.0f, focalY = 0.0f;
    SpanTable* spans = nullptr;
};

// The screen part of a RenderVertex, as the rasteriser and the edge drawer read it.
struct ScreenPoint {
    float x = 0.0f, y = 0.0f, z = 0.0f, invZ = 0.0f;
};

} // namespace korvid
