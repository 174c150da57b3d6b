#pragma once
// Small helpers of the timeline: fractions of demo time, boundary crossings, lookups of
// the data set's resources and nodes, and renders whose failures end the program.

#include "demo/clock.hpp"
#include "demo/show_parts.hpp"
#include "engine/core/surface.hpp"
#include "engine/scene/mesh.hpp"
#include "engine/scene/scene.hpp"

#include <cmath>
#include <cstdint>

// x - floor(x), in double precision.
inline double frac(double x) {
    return x - std::floor(x);
}

// Truncation toward zero to a 32-bit integer.
inline int32_t trunc32(double x) {
    return int32_t(x);
}

// Demo time in blocks of 64 units: B.
inline float blocks() {
    return demoTime / float(blockUnits);
}

// Blocks since the block that part `part`'s loop condition counts from: B - from.
inline float blocks_from(int part) {
    return blocks() - float(showParts[part].from);
}

// True when the last tick crossed a multiple of n units of demo time.
inline bool crossed(float n) {
    return int32_t(previousTime / n) != int32_t(demoTime / n);
}

// Registered resources and scene nodes the show needs. A missing one, or a node of the
// wrong kind, ends the program with the engine's message for it.
korvid::Scene* show_scene(const char* name);
korvid::Surface* show_surface(const char* name);
korvid::Mesh* show_mesh(const char* name, size_t groups);
korvid::CameraNode* show_camera(korvid::Scene* scene, const char* path);
korvid::MeshNode* show_mesh_node(korvid::Scene* scene, const char* path, size_t groups);
korvid::SpotLightNode* show_spotlight(korvid::Scene* scene, const char* path);
// A node the show moves, turns or twists: a container or a mesh node, which share those
// fields; `missing` is the code for anything else.
korvid::ContainerNode* show_container(korvid::Scene* scene, const char* path,
                                      korvid::Error missing = korvid::errNodeNotFound);

// Sets a scene's time and renders it; a failure ends the program like demo_check.
void show_set_time(korvid::Scene* scene, double frame);
void show_render(korvid::Surface* colour, korvid::CameraNode* camera, korvid::Scene* scene,
                 bool flaggedPass, const float* centreOffset = nullptr);

// Scrolls the ground's texture with a speed that swells and eases every 8 units.
void show_scroll_ground(korvid::MeshNode* ground);

// Locks a 32-bit surface for an effect that writes its pixels; null when the lock fails,
// in which case the effect draws nothing this frame.
uint32_t* show_lock(korvid::Surface& surface);
