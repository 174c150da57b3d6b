#pragma once
// A colour ramp shaded across each face by its corners' brightness.

#include "engine/render/material.hpp"

namespace korvid {

class GouraudRampMaterial : public Material {
public:
    GouraudRampMaterial(const Colour& colourA, const Colour& colourB, int32_t levels);

    void collectResourceRefs(ResourceRefSet& refs) override { refs.clear(); }
    // Writes ramp[brightness] and 1/z where the face is nearer than what is drawn.
    void drawFace(const RenderContext& ctx, const RenderFace& face) override;

    int32_t levels;
    Colour colourA, colourB;
    std::vector<uint32_t> ramp; // empty when it could not be allocated: nothing is drawn
};

} // namespace korvid
