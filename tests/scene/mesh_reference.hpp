#pragma once
// The mesh conversion done the plain way: lib3ds's own smoothed normals and linear searches
// through the lists built so far, first match wins. The engine's conversion must give
// exactly this result.

#include "engine/scene/mesh.hpp"

#include <lib3ds/mesh.h>

namespace korvid::testing {

void convertLinear(Lib3dsMesh& from, Mesh& mesh);

// Exact equality of two meshes, float bit patterns included; the first difference, if any,
// in `difference`.
bool sameMesh(const Mesh& a, const Mesh& b, std::string& difference);

} // namespace korvid::testing
