#pragma once
// The benchmark's scene, built in code: a textured, wavy backdrop and a textured torus that
// fill a 512x384 frame (about 10,000 triangles), lit by an omni light and a spotlight,
// with outlines on; optionally a 20,000-triangle Gouraud torus in front of them.

#include "engine/core/engine.hpp"
#include "engine/scene/scene.hpp"

namespace korvid::bench {

struct BenchScene {
    Engine engine;
    Scene* scene = nullptr;
    CameraNode* camera = nullptr;
    size_t triangles = 0;

    explicit BenchScene(bool withGouraudMesh);
};

} // namespace korvid::bench
