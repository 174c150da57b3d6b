#pragma once
// The 3DS scenes of the data set. Mesh names are unique across all files: the show keeps
// one registry of meshes, and a mesh name met again is taken as the same mesh.

#include "scene_file.hpp"
#include "step_progress.hpp"

#include <string>

namespace dataset {

// Writes every scene the show loads (showScenes), in its load order, below `root`. On
// failure returns false with the failing path. Reports after each file.
bool writeScenes(const std::string& root, std::string& failed, const StepProgress& progress = {});

// Each scene on its own, for the writer above and for tests.
void buildBoots(SceneFile& scene);
void buildDame(SceneFile& scene);
void buildTovik(SceneFile& scene);
void buildWispLogo(SceneFile& scene);
void buildKroll(SceneFile& scene);

// The ground's texture repeats every this many units; the walk is matched to the
// show's scrolling of it.
constexpr float groundTile = 150.0f;

} // namespace dataset
