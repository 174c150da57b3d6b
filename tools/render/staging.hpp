#pragma once
// What korvid-render adds to an imported scene before it can draw it: materials for the
// names its meshes use, a camera when the file has none, and a light when it has none.

#include "engine/core/engine.hpp"
#include "engine/scene/scene.hpp"

#include <string>

namespace korvid {

// A GouraudRampMaterial from black to the file's diffuse colour in 64 levels for every
// material name the registered meshes use; light grey for a name the file does not define.
void addMaterials(Engine& engine, const std::string& fileName);

// True when a mesh node of the scene has a linked mesh with at least one face.
bool hasSomethingToDraw(Scene& scene);

// A camera that sees the world box of every linked mesh node at the scene's current frame
// from outside, looking at its centre through a target node; null when a node name is
// taken. `aspect` is height / width of the picture. Link again before rendering.
CameraNode* addOverviewCamera(Scene& scene, float aspect);

// True when the scene has an omni light or a spotlight.
bool hasLights(Scene& scene);

// A white omni light at the camera's position.
Error addLightAtCamera(CameraNode& camera);

} // namespace korvid
