#pragma once
// The link step: once everything is loaded, every reference by kind and name becomes a
// pointer, camera and spotlight targets are found by path, and every enabled mesh node
// gets its render working arrays. It sits above the scenes and the renderer it links.

#include "engine/core/engine.hpp"

namespace korvid {

// For each kind and each name in ascending order: the object's own references, then, for a
// scene, its node references and its mesh nodes' working arrays. References to absent
// objects become null; nothing is reported. Running it again recomputes everything.
void linkResources(Engine& engine);

} // namespace korvid
