#pragma once
// A 3DS file made ready for drawing by the tools, and the drawing itself, shared by
// korvid-render and korvid-play so that both show a file the same way. What is added to
// the scene: what file_completion.hpp adds to the file, a Gouraud ramp material for
// every material name, a camera that sees the whole scene from outside, and a white
// light at the camera in use when the file has no light.

#include "engine/core/engine.hpp"
#include "engine/core/surface.hpp"
#include "engine/scene/scene.hpp"
#include "tools/common/arguments.hpp"

#include <string>
#include <vector>

namespace tools {

// The grey-blue behind every picture of a scene.
constexpr uint32_t sceneBackground = 0xFF404858;

struct StagedScene {
    korvid::Scene* scene = nullptr;
    // The file's cameras in the scene's node order, then the outside view.
    std::vector<korvid::CameraNode*> cameras;
    korvid::CameraNode* camera = nullptr;       // the camera in use
    korvid::OmniLightNode* headlight = nullptr; // added when the file has no light
};

// Reads and completes the file `view.input`, imports it as the scene "scene" into
// `engine`, adds the materials, cameras and light, links, and looks through the camera
// at `view.cameraPath`, or the first one. On failure returns false with a one-line reason
// in `error` ("cannot import: file input/output error", "nothing to draw: ...", "no
// camera node at /Box01").
bool stageFile(korvid::Engine& engine, const ViewOptions& view, StagedScene& staged,
               std::string& error);

// Looks through `camera` from now on; the headlight moves to it.
void useCamera(StagedScene& staged, korvid::CameraNode& camera);

// True for the camera that the tools added.
bool isOutsideView(const StagedScene& staged, const korvid::CameraNode* camera);

// "outside view" for the camera that the tools added, else the camera's node path.
std::string cameraName(const StagedScene& staged, const korvid::CameraNode* camera);

// The scene at `frame` through the camera in use, with outline mode `outline` (0 none,
// 1 blended, 2 darkening lines), on the background colour. The engine's error code.
korvid::Error drawFrame(StagedScene& staged, float frame, uint32_t outline,
                        korvid::Surface& colour);

} // namespace tools
