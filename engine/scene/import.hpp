#pragma once
// Import of a 3DS file into a registered scene: the file's chunks are checked, lib3ds reads
// the checked bytes, and every keyframer node becomes an engine node with the same
// hierarchy.

#include "engine/core/errors.hpp"

#include <memory>
#include <string>

struct Lib3dsFile;

namespace korvid {

class Engine;

struct Lib3dsFileRelease {
    void operator()(Lib3dsFile* file) const;
};
using Lib3dsFilePtr = std::unique_ptr<Lib3dsFile, Lib3dsFileRelease>;

// 0; 8 when the file cannot be read (missing, unreadable, empty, or refused by lib3ds);
// 7 when lib3ds would read it unsafely (out of bounds, uninitialised data, a loop, a crash)
// or a node names a record the file lacks; 23 when a scene
// of that name exists; 1 for a keyframer node of a kind the engine has no node for; 2 when
// memory runs out; or the code of a failed mesh conversion. After a failure in the node
// walk the scene stays registered with the nodes built so far.
// It is read3dsFile followed by importLoaded.
Error importScene(Engine& engine, const std::string& name, const std::string& fileName);

// The first step: the file's bytes checked and read by lib3ds. 0, 8 or 7 as above, or 2
// when memory runs out.
Error read3dsFile(const std::string& fileName, Lib3dsFilePtr& file);

// The second step: a file that lib3ds has read becomes the registered scene `name`: its
// rotation keys are set up again with the engine's maths (setUpRotationTracks), it is
// evaluated at frame 0 and its keyframer nodes are built. Codes as for importScene. The
// tools use the two steps to complete files before the scene is built.
Error importLoaded(Engine& engine, const std::string& name, Lib3dsFile& file);

} // namespace korvid
