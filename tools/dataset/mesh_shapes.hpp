#pragma once
// Shapes for the scenes: surfaces of revolution, tubes swept along curves, and rings.

#include "mesh_builder.hpp"

namespace dataset {

struct ProfilePoint {
    float radius, z;
};

// A surface of revolution about the z axis, `columns` around and `rows` along the profile
// (t from 0 at the bottom to 1 at the top). A profile end on the axis (radius 0) closes
// with a fan around one pole point instead of degenerate quads. Texture u runs around,
// v along the profile. `squash` scales the y axis (elliptic sections).
void addLathe(MeshData& mesh, int columns, int rows,
              const std::function<ProfilePoint(float t)>& profile, const std::string& material,
              uint32_t smoothing, float squash = 1.0f, Vec3 origin = {});

// A tube of radius `radius(s)` swept along `path(s)` for s in 0..1 (closed when `closed`),
// `segments` along and `sides` around. Frames are carried along the curve without twist.
// Texture u runs along the tube, `uRepeat` times; v around it.
void addTube(MeshData& mesh, int segments, int sides, const std::function<Vec3(float s)>& path,
             const std::function<float(float s)>& radius, bool closed, const std::string& material,
             uint32_t smoothing, float uRepeat = 1.0f);

} // namespace dataset
