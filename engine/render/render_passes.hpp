#pragma once
// The whole-scene passes of renderScene, for its own use.

#include "engine/core/errors.hpp"
#include "engine/core/surface.hpp"
#include "engine/math/math.hpp"
#include "engine/render/pipeline.hpp"
#include "engine/render/render_scratch.hpp"

namespace korvid {

class MeshNode;
class Scene;

// What the camera gives every pass.
struct View {
    Matrix view;       // world to camera space: +z forward, +x right, +y down the screen
    Matrix viewNormal; // the view's rotation, for normals
    float focal = 0.0f;
    float cx = 0.0f, cy = 0.0f; // projection centre
    Rect clip;
};

// A draw list key that sorts: NaN camera depths (from a degenerate camera) would break the
// ordering of the list, so they go last.
inline float sortKey(float z) {
    return z == z ? z : -1e30f;
}

// Pass 1 for one mesh node: visibility, vertex transform and projection, face orientation
// and culling, and the outline edges appended to `drawList` when `renderMode` is not 0.
// 18 for a missing mesh, 2 when the draw list or the modifiers' lists cannot grow.
Error transformMeshNode(MeshNode& node, const View& view, bool flaggedPass, uint32_t renderMode,
                        TransformScratch& scratch, std::vector<DrawItem>& drawList);

// Whether pass 3 hands `face` to its material: not culled, and facing the camera unless
// the node itself is deformed (`nodeDeformed`) or the material is two-sided. Pass 1 and the
// lighting read only the normals of such faces, so all three must agree.
inline bool faceDrawn(const RenderFace& face, bool nodeDeformed, bool twoSided) {
    return !face.culled && (!face.backFacing || nodeDeformed || twoSided);
}

// Marks in `drawn` (one flag a normal) the normals of the corners of the faces that pass 3
// draws (`faceDrawn`), of lit materials only when `litOnly`. No other normal is read after
// pass 1. Throws std::bad_alloc when `drawn` cannot grow.
void markDrawnNormals(const MeshNode& node, bool litOnly, std::vector<uint8_t>& drawn);

// Pass 2: the corner colours and texture coordinates of every visible mesh node of the
// scene, lit per vertex by its omni lights and spotlights.
void lightScene(Scene& scene, const View& view, LightingScratch& scratch);

} // namespace korvid
