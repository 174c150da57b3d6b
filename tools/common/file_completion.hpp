#pragma once
// What the tools add to a 3DS file that lib3ds has read, before the engine builds its
// scene, so that files made by others can be drawn: the show's own import takes files
// exactly as they are.

#include "engine/core/engine.hpp"
#include "engine/scene/import.hpp"

#include <string>

struct Lib3dsFile;

namespace tools {

// The name of the neutral material given to faces that name no material, unless the file
// uses that name itself (then a suffix ".1", ".2", ... makes it unique).
constexpr const char* noMaterialName = "(none)";

// Completes the file in place:
// - keyframer nodes of ambient light or of an unknown kind are taken out (their children
//   move to the top), since the engine has no node for them;
// - a file without keyframer nodes gets one object node per mesh, named after the mesh
//   and placed where the file puts the mesh (its matrix as one position, rotation and
//   scale key);
// - faces without a material name get a neutral grey material, and every name that the
//   faces use but the file does not define is defined as that same neutral grey;
// - a frame count below 1 becomes 1.
void completeFile(Lib3dsFile& file);

// Reads `fileName`, completes it and imports it as the scene `name`; `file` keeps the
// completed file for lookups. The codes of the engine's import.
korvid::Error importCompleted(korvid::Engine& engine, const std::string& name,
                              const std::string& fileName, korvid::Lib3dsFilePtr& file);

} // namespace tools
