#include "engine/render/gouraud_ramp_material.hpp"

#include "engine/render/span_fillers.hpp"

namespace korvid {

GouraudRampMaterial::GouraudRampMaterial(const Colour& a, const Colour& b, int32_t levelCount)
    : Material(materialGouraud, materialLit), levels(levelCount < 1 ? 1 : levelCount), colourA(a),
      colourB(b), ramp(buildRamp(a, b, levels)) {}

void GouraudRampMaterial::drawFace(const RenderContext& ctx, const RenderFace& face) {
    if (ramp.empty())
        return;
    TriangleSetup t;
    if (!beginFace(ctx, face, t))
        return;
    RampSpans in;
    in.invZ = t.plane(t.p[0].invZ, t.p[1].invZ, t.p[2].invZ);
    in.shade = t.plane(brightness(face.corner[0]->colour, levels),
                       brightness(face.corner[1]->colour, levels),
                       brightness(face.corner[2]->colour, levels));
    in.ramp = ramp.data();
    in.lastLevel = int32_t(ramp.size()) - 1;
    fillGouraudSpans(ctx, *ctx.spans, in);
}

} // namespace korvid
