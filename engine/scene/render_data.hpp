#pragma once
// The working records a mesh node keeps for rendering: built once from its mesh by the link
// step, overwritten by every render. Pointers point into the same node's arrays or its mesh,
// so the arrays are never resized after they are built.

#include "engine/math/math.hpp"

#include <cstdint>
#include <vector>

namespace korvid {

struct MeshGroup;
class Material;

struct RenderVertex {
    Vector worldPosition; // written only when the node has vertex modifiers
    Vector cameraPosition;
    float screenX = 0.0f, screenY = 0.0f;
    float cameraZ = 0.0f;
    float invZ = 0.0f; // 1/z, or 1 for vertices nearer than z = 1
};

struct RenderNormal {
    RenderVertex* vertex = nullptr;
    Vector worldNormal; // written only when the node has vertex modifiers
    Vector cameraNormal;
};

struct RenderCorner {
    RenderNormal* normal = nullptr;
    float u = 0.0f, v = 0.0f; // texture coordinates after the group's offset
    Point2 uv2;
    Colour colour; // lit colour, rewritten by every render
};

struct RenderGroup;

struct RenderFace {
    RenderGroup* group = nullptr;
    RenderCorner* corner[3] = {nullptr, nullptr, nullptr}; // A, B, C
    uint8_t backFacing = 0;
    uint8_t culled = 0;
};

struct RenderGroup {
    const MeshGroup* group = nullptr; // its material reference gives the group's material
    std::vector<RenderFace> faces;
    std::vector<RenderCorner> corners;
    float textureOffsetU = 0.0f, textureOffsetV = 0.0f; // the show scrolls textures with these
};

struct RenderEdge {
    RenderVertex* end[2] = {nullptr, nullptr};
    RenderFace* face[2] = {nullptr, nullptr};
    uint32_t faceCount = 0;
    uint8_t hard = 0; // always outlined; every edge with a single face is hard
};

} // namespace korvid
