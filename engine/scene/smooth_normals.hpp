#pragma once
// Per-corner normals from the smoothing groups, the same values lib3ds's
// lib3ds_mesh_calculate_normals computes, without its fixed limit of 128 distinct face
// normals around a point (past which it overruns a stack array) and without recomputing
// the same sum for every corner of a point.

#include <lib3ds/mesh.h>

#include <vector>

namespace korvid {

struct LibVector {
    Lib3dsVector v;
};

// normals[3 * face + k] is the normal at corner k of the face. Every face index must be
// below the point count.
void calculateSmoothNormals(const Lib3dsMesh& mesh, std::vector<LibVector>& normals);

} // namespace korvid
