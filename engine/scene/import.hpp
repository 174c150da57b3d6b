#pragma once
// Import of a 3DS file into a registered scene: the file's chunks are checked, lib3ds reads
// it, and every keyframer node becomes an engine node with the same hierarchy.

#include "engine/core/errors.hpp"

#include <string>

namespace korvid {

class Engine;

// 0; 8 when the file cannot be read (missing, unreadable, empty, or refused by lib3ds);
// 7 when its chunks are damaged or a node names a record the file lacks; 23 when a scene
// of that name exists; 1 for a keyframer node of a kind the engine has no node for; 2 when
// memory runs out; or the code of a failed mesh conversion. After a failure in the node
// walk the scene stays registered with the nodes built so far.
Error importScene(Engine& engine, const std::string& name, const std::string& fileName);

} // namespace korvid
