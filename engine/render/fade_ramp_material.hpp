#pragma once
// A colour ramp blended over the frame, fading out where a face turns to the camera: faces
// seen edge-on show the ramp at its own alpha, faces seen straight on vanish. Its faces are
// depth-sorted and never write depth.

#include "engine/render/material.hpp"

namespace korvid {

class FadeRampMaterial : public Material {
public:
    FadeRampMaterial(float fade, const Colour& colourA, const Colour& colourB, int32_t levels);

    void collectResourceRefs(ResourceRefSet& refs) override { refs.clear(); }
    void drawFace(const RenderContext& ctx, const RenderFace& face) override;

    int32_t levels;
    Colour colourA, colourB;
    float fade;
    std::vector<uint32_t> ramp; // empty when it could not be allocated: nothing is drawn
};

} // namespace korvid
