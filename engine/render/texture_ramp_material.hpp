#pragma once
// An 8-bit texture whose palette is shaded by a colour ramp: a table holds every palette
// colour at every brightness level, so a textured, lit pixel is one table read.

#include "engine/render/material.hpp"

#include <string>

namespace korvid {

class TextureRampMaterial : public Material {
public:
    // `levels` becomes the largest power of two not above max(1, levels).
    TextureRampMaterial(const std::string& textureName, const Colour& colourA,
                        const Colour& colourB, int32_t levels);

    void collectResourceRefs(ResourceRefSet& refs) override;
    // Draws nothing unless the texture is resolved, is a mipmapped 8-bit texture and locks.
    // Small faces (|det| <= 3000) map the texture affinely, larger ones in perspective.
    void drawFace(const RenderContext& ctx, const RenderFace& face) override;

    ResourceRef texture; // kind surface
    int32_t levels, levelBits;
    int32_t rowLength = 0, rowBits = 0; // palette entries a level, rounded up to a power of two
    Colour colourA, colourB;
    // (level << rowBits) + palette index -> colour, built from the texture's palette at the
    // first draw and kept.
    std::vector<uint32_t> table;

private:
    bool buildTable(const Surface& texture);
};

} // namespace korvid
