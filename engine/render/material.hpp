#pragma once
// Materials: registered resources that turn a face's lit corner colours into a brightness,
// look it up in a precomputed colour ramp and rasterise the face with their span filler.

#include "engine/core/resource.hpp"
#include "engine/core/surface.hpp"
#include "engine/render/plane.hpp"
#include "engine/render/render_context.hpp"
#include "engine/scene/mesh.hpp"
#include "engine/scene/render_data.hpp"

#include <cstdint>
#include <vector>

namespace korvid {

using MaterialType = uint32_t;
enum : MaterialType {
    materialTexture = 3,
    materialGouraud = 4,
    materialFade = 5,
};

enum : uint32_t {
    materialLit = 1,         // the pipeline lights its corners
    materialTwoSided = 2,    // back-facing faces are handed to drawFace
    materialDepthSorted = 4, // faces go through the sorted draw list
};

class Material : public Resource {
public:
    // Replaces the set's contents with the material's own references.
    void collectResourceRefs(ResourceRefSet& refs) override = 0;
    virtual void drawFace(const RenderContext& ctx, const RenderFace& face) = 0;

    bool lit() const { return (flags & materialLit) != 0; }
    bool twoSided() const { return (flags & materialTwoSided) != 0; }
    bool depthSorted() const { return (flags & materialDepthSorted) != 0; }

    const MaterialType materialType;
    uint32_t flags;

protected:
    Material(MaterialType type, uint32_t flags)
        : Resource(kindMaterial), materialType(type), flags(flags) {}
};

// The material of a face group, null while its reference is unresolved.
inline Material* materialOf(const RenderGroup& group) {
    return static_cast<Material*>(group.group->material.resolved);
}

// The ramp index of a lit corner colour: intensity * levels / 256. White gives just below
// `levels`; nothing clamps here, the fillers clamp the integer part.
inline float brightness(const Colour& colour, int32_t levels) {
    return colour.intensity() * float(levels) / 256.0f;
}

// `levels` colours from `from` to `to` at out[0], out[stride], ...: each component steps by
// (to - from) / (levels - 1), accumulated by repeated addition, and is packed with clamping.
// One level is `from` alone.
void fillRamp(uint32_t* out, size_t stride, const Colour& from, const Colour& to, int32_t levels);

// The ramp of max(1, levels) entries, or an empty one when memory runs out.
std::vector<uint32_t> buildRamp(const Colour& from, const Colour& to, int32_t levels);

// Scan-converts the face into the context's span table, clipped to its rectangle, and sets
// up its triangle. False when no pixel can be drawn: no rows, or a degenerate triangle.
bool beginFace(const RenderContext& ctx, const RenderFace& face, TriangleSetup& setup);

} // namespace korvid
