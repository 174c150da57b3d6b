#include "engine/render/texture_ramp_material.hpp"

#include "engine/render/span_fillers.hpp"

#include <cmath>
#include <new>

namespace korvid {

namespace {

// Faces up to this |det| (twice their screen area) skip the perspective division.
constexpr float affineDetLimit = 3000.0f;

int32_t floorLog2(int32_t value) {
    int32_t bits = 0;
    while (bits < 30 && (int32_t(1) << (bits + 1)) <= value)
        ++bits;
    return bits;
}

} // namespace

TextureRampMaterial::TextureRampMaterial(const std::string& textureName, const Colour& a,
                                         const Colour& b, int32_t levelCount)
    : Material(materialTexture, materialLit), texture(kindSurface, textureName),
      levels(int32_t(1) << floorLog2(levelCount < 1 ? 1 : levelCount)),
      levelBits(floorLog2(levels)), colourA(a), colourB(b) {}

void TextureRampMaterial::collectResourceRefs(ResourceRefSet& refs) {
    refs.clear();
    refs[&texture] = true;
}

bool TextureRampMaterial::buildTable(const Surface& tex) {
    const int32_t count = int32_t(tex.palette.size());
    if (count == 0)
        return false;
    // Rounded up, so that the rows of a palette that is not a power of two never overlap.
    rowBits = ceilLog2(count);
    rowLength = int32_t(1) << rowBits;
    // A texel index is a byte: the padding behind the last row keeps an index beyond the
    // palette inside the table (it reads black there, or the next level's row).
    const size_t padding = rowLength < 256 ? size_t(256 - rowLength) : 0;
    const size_t size = size_t(levels) * size_t(rowLength) + padding;
    try {
        table.assign(size, 0);
    } catch (const std::bad_alloc&) {
        table.clear();
        return false;
    }
    for (int32_t j = 0; j < count; ++j) {
        const Colour c = Colour::fromPacked(tex.palette[size_t(j)]);
        fillRamp(&table[size_t(j)], size_t(rowLength), c.modulated(colourA), c.modulated(colourB),
                 levels);
    }
    return true;
}

void TextureRampMaterial::drawFace(const RenderContext& ctx, const RenderFace& face) {
    Surface* tex = static_cast<Surface*>(texture.resolved);
    if (!tex || !tex->mipmapped || tex->storage != storage8)
        return;
    if (tex->widthLog2 > 24 || tex->heightLog2 > 24)
        return;
    if (table.empty() && !buildTable(*tex))
        return;

    TriangleSetup t;
    if (!beginFace(ctx, face, t))
        return;
    TextureSpans in;
    float u[3], v[3];
    for (int k = 0; k < 3; ++k) {
        u[k] = face.corner[k]->u;
        v[k] = face.corner[k]->v;
    }
    in.invZ = t.plane(t.p[0].invZ, t.p[1].invZ, t.p[2].invZ);
    in.shade = t.plane(brightness(face.corner[0]->colour, levels),
                       brightness(face.corner[1]->colour, levels),
                       brightness(face.corner[2]->colour, levels));
    const bool affine = std::fabs(t.det) <= affineDetLimit;
    if (affine) {
        in.u = t.plane(u[0], u[1], u[2]);
        in.v = t.plane(v[0], v[1], v[2]);
    } else {
        in.u = t.plane(u[0] * t.p[0].invZ, u[1] * t.p[1].invZ, u[2] * t.p[2].invZ);
        in.v = t.plane(v[0] * t.p[0].invZ, v[1] * t.p[1].invZ, v[2] * t.p[2].invZ);
    }
    in.table = table.data();
    in.lastLevel = levels - 1;
    in.rowBits = rowBits;
    in.widthLog2 = tex->widthLog2;
    in.heightLog2 = tex->heightLog2;

    uint8_t* texels = nullptr;
    if (tex->lock(texels, in.pitch) != errNone)
        return;
    in.texels = texels;
    if (affine)
        fillTextureAffineSpans(ctx, *ctx.spans, in);
    else
        fillTexturePerspectiveSpans(ctx, *ctx.spans, in);
    tex->unlock();
}

} // namespace korvid
