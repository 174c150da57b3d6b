#include "engine/render/fade_ramp_material.hpp"

#include "engine/render/span_fillers.hpp"

#include <cmath>

namespace korvid {

FadeRampMaterial::FadeRampMaterial(float fadeAmount, const Colour& a, const Colour& b,
                                   int32_t levelCount)
    : Material(materialFade, materialLit | materialDepthSorted),
      levels(levelCount < 1 ? 1 : levelCount), colourA(a), colourB(b), fade(fadeAmount),
      ramp(buildRamp(a, b, levels)) {}

void FadeRampMaterial::drawFace(const RenderContext& ctx, const RenderFace& face) {
    if (ramp.empty())
        return;
    TriangleSetup t;
    if (!beginFace(ctx, face, t))
        return;
    float s[3], f[3];
    for (int k = 0; k < 3; ++k) {
        const RenderCorner& c = *face.corner[k];
        s[k] = brightness(c.colour, levels);
        f[k] = std::fabs(fade * c.normal->cameraNormal.z) * 256.0f;
    }
    RampSpans in;
    in.invZ = t.plane(t.p[0].invZ, t.p[1].invZ, t.p[2].invZ);
    in.shade = t.plane(s[0], s[1], s[2]);
    in.fade = t.plane(f[0], f[1], f[2]);
    in.ramp = ramp.data();
    in.lastLevel = int32_t(ramp.size()) - 1;
    fillFadeSpans(ctx, *ctx.spans, in);
}

} // namespace korvid
