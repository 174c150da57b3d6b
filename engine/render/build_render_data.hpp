#pragma once
// Builds a mesh node's render working arrays from its linked mesh.

#include "engine/core/errors.hpp"

namespace korvid {

class MeshNode;

// 0, also for a node whose mesh reference names nothing (nothing is built); 18 when the
// reference is unresolved; 2 when memory runs out.
Error buildRenderData(MeshNode& node);

} // namespace korvid
