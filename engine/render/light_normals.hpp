#pragma once
// Per-vertex diffuse lighting of mesh normals by omni lights and spotlights in camera space.
// Four normals at a time with SSE2 where the processor has it and no light is a cone (its
// angle needs acos); `scalar::lightNormals` is the plain form, one normal and one light at
// a time, and runs on every other processor.

#include "engine/scene/render_data.hpp"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace korvid {

// A light in camera space, prepared once per render.
struct Light {
    Vector position;
    Colour colour; // colour times multiplier
    bool rangeAttenuation = false;
    float innerRange = 0.0f, outerRange = 0.0f;
    bool cone = false; // a spotlight limited to its cone
    Vector axis;
    float hotspot = 0.0f, falloff = 0.0f; // full cone angles, radians
};

// For each normals[indices[k]], k < count: the light from every light at its vertex's camera
// position with its camera normal, on top of black (there is no ambient term and nothing is
// clamped), into out[indices[k]].
void lightNormals(const std::vector<Light>& lights, const RenderNormal* normals,
                  const uint32_t* indices, size_t count, Colour* out);

namespace scalar {
void lightNormals(const std::vector<Light>& lights, const RenderNormal* normals,
                  const uint32_t* indices, size_t count, Colour* out);
}

} // namespace korvid
