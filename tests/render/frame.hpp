#pragma once
// Hand-built render records for the rasteriser tests: a colour and depth buffer in plain
// memory, and triangles whose corners are given straight in screen space.

#include "engine/render/render_context.hpp"
#include "engine/render/span_table.hpp"
#include "engine/scene/render_data.hpp"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace korvid::test {

struct Frame {
    int32_t width, height;
    std::vector<uint32_t> colour;
    std::vector<float> depth;
    SpanTable spans;
    RenderContext ctx;

    Frame(int32_t w, int32_t h, uint32_t background = 0xFF102030)
        : width(w), height(h), colour(size_t(w * h), background), depth(size_t(w * h), 0.0f) {
        ctx.colourPixels = colour.data();
        ctx.depthPixels = depth.data();
        ctx.colourPitch = w;
        ctx.depthPitch = w;
        ctx.xmin = 0, ctx.xmax = w, ctx.ymin = 0, ctx.ymax = h;
        ctx.focalX = ctx.focalY = 256.0f;
        ctx.spans = &spans;
    }
    uint32_t& pixel(int32_t x, int32_t y) { return colour[size_t(y * width + x)]; }
    float& depthAt(int32_t x, int32_t y) { return depth[size_t(y * width + x)]; }
    int32_t countNot(uint32_t background) const {
        int32_t n = 0;
        for (uint32_t p : colour)
            n += p != background;
        return n;
    }
};

// One corner in screen space: position, 1/z, lit colour, texture coordinates, normal z.
struct CornerSpec {
    float x, y, invZ;
    Colour colour{0.0f, 0.0f, 0.0f, 255.0f};
    float u = 0.0f, v = 0.0f;
    float normalZ = 0.0f;
};

// A face with its own vertices, normals and corners.
struct Triangle3 {
    RenderVertex vertex[3];
    RenderNormal normal[3];
    RenderCorner corner[3];
    RenderFace face;

    Triangle3(const CornerSpec& a, const CornerSpec& b, const CornerSpec& c) {
        const CornerSpec* spec[3] = {&a, &b, &c};
        for (int k = 0; k < 3; ++k) {
            vertex[k].screenX = spec[k]->x;
            vertex[k].screenY = spec[k]->y;
            vertex[k].invZ = spec[k]->invZ;
            vertex[k].cameraZ = 1.0f / spec[k]->invZ;
            normal[k].vertex = &vertex[k];
            normal[k].cameraNormal = Vector{0.0f, 0.0f, spec[k]->normalZ};
            corner[k].normal = &normal[k];
            corner[k].colour = spec[k]->colour;
            corner[k].u = spec[k]->u;
            corner[k].v = spec[k]->v;
            face.corner[k] = &corner[k];
        }
    }
    Triangle3(const Triangle3&) = delete;
    Triangle3& operator=(const Triangle3&) = delete;
};

inline Colour grey(float level) {
    return Colour{level, level, level, 255.0f};
}

} // namespace korvid::test
