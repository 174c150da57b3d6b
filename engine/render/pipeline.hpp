#pragma once
// The per-frame render of a scene through a camera: world matrices, transform and
// classification of every mesh node, per-vertex lighting, then the faces through their
// materials and the outline edges, into a 32-bit colour surface and a 1/z depth buffer.

#include "engine/core/errors.hpp"
#include "engine/core/surface.hpp"
#include "engine/render/render_scratch.hpp"

namespace korvid {

class CameraNode;
class Scene;

// The renderer's working buffers, kept from one render to the next: its own depth buffer
// (grown to the largest colour surface rendered), the draw list, the span table and the
// passes' lists. Only renderScene uses them, and it hands them to the passes.
extern RenderScratch renderScratch;

// Draws `scene` (null: the camera's own) into `colour` through `camera`. `depth` is a
// memory-cell surface or null for the engine's own, which is then cleared first; `clip`
// null means the whole colour surface; `centreOffset`, when given, moves the projection
// centre by (width * ox, height * oy). Only mesh nodes whose flag equals `flaggedPass` are
// drawn.
//
// 20 without a camera (or one outside any scene), 16 without a colour surface, 22 for a
// camera that looks at a target it has not found, 18 for a mesh node whose mesh is missing,
// 33 for a depth buffer that does not cover the clip rectangle, 2 when the draw list cannot
// grow, or the code of a failed depth buffer creation or lock. Both surfaces are unlocked
// again whatever happens.
Error renderScene(Surface* colour, Surface* depth, CameraNode* camera, Scene* scene,
                  const Rect* clip, const float* centreOffset, bool flaggedPass);

} // namespace korvid
