#pragma once
// The renderer's working buffers. One set serves the whole program: each buffer grows to
// the largest scene and surface rendered and is never shrunk, so that a render allocates
// nothing once they have grown. renderScene hands them to the passes, and each pass and
// filler takes the buffers it works on as arguments.

#include "engine/core/surface.hpp"
#include "engine/math/math.hpp"
#include "engine/render/light_normals.hpp"
#include "engine/render/span_table.hpp"

#include <cstdint>
#include <vector>

namespace korvid {

class VertexModifier;

// An element of the draw list: a face of a depth-sorted material or an outline edge.
struct DrawItem {
    enum Kind : uint32_t { face = 0, edge = 1 };
    float key; // camera z; the list is drawn from the largest key down
    Kind kind;
    void* item; // RenderFace or RenderEdge
};

// Pass 1's lists, for the mesh node being transformed.
struct TransformScratch {
    std::vector<VertexModifier*> modifiers; // of the node and the nodes above it, nearest first
    // World positions before each modifier, in the modifiers' order: the normals are turned
    // after the faces are classified, and each modifier sees the positions it was given.
    std::vector<std::vector<Vector>> positionsBefore;
    std::vector<uint8_t> normalDrawn; // the normals a drawn face uses
};

// Pass 2's lists: the scene's lights, the light gathered at each normal of the mesh node
// being lit (every corner on a normal sees the same vertex and normal), which of its
// normals a drawn face uses, and their indices.
struct LightingScratch {
    std::vector<Light> lights;
    std::vector<Colour> normalLight;
    std::vector<uint8_t> normalDrawn;
    std::vector<uint32_t> drawnNormals;
};

struct RenderScratch {
    Surface depth;                  // the engine's own depth buffer, for renders given none
    std::vector<DrawItem> drawList; // cleared by every render
    SpanTable spans;                // the rows of the face being drawn
    TransformScratch transform;
    LightingScratch lighting;
};

} // namespace korvid
