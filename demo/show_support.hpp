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

// The show's own two pi and pi: 2 pi and pi rounded to 11 decimals, as the timeline writes
// them, a few parts in 10^13 away from the exact values. Every phase they scale keeps
// these very numbers.
constexpr double showTwoPi = 6.28318530718;
constexpr double showPi = 3.14159265359;

// x - floor(x), in double precision.
inline double frac(double x) {
    return x - std::floor(x);
}

// Truncation toward zero to a 32-bit integer by a plain cast, for values that lie inside
// the int32 range, as every one the show truncates does (unlike the effects' truncOrMin,
// which answers any input).
inline int32_t trunc_cast(double x) {
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

// Demo time since part `part` began, in units.
inline double units_into(int part) {
    return double(demoTime) - double(show_part_start(part) * blockUnits);
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

// Part 2 scrolls the ground at an even speed instead, in texture heights per unit.
constexpr double groundGlide = 0.1;

// How far the ground's texture has scrolled by demo time t, through parts 1, 2 and 7: the
// sum of their steps as a high frame rate makes it, for a show that joins one part-way.
double ground_scroll_at(float t);

// A 32-bit surface locked for the effects that write its pixels, from construction to the
// end of its scope: where its pixels are, how far apart its rows lie and its size. Each
// effect takes it in the form it was written for, and each form checks what its effects
// assume; null means the lock failed or the surface does not fit, and the effect draws
// nothing this frame.
class LockedView {
public:
    explicit LockedView(korvid::Surface& surface);
    ~LockedView();
    LockedView(const LockedView&) = delete;
    LockedView& operator=(const LockedView&) = delete;

    // For effects that address a frame of `width` x `height` pixels by rows `width` pixels
    // apart (the plasmas, the ring field): the rows must be exactly that far apart.
    uint32_t* frame(int32_t frameWidth, int32_t frameHeight) const;
    // For effects that take the rows' distance as well (the twisters, the mosaic): the
    // surface must cover `width` x `height` pixels.
    uint32_t* rows(int32_t rowsWidth, int32_t rowsHeight) const;
    // For effects that take the window system's surface and read its size themselves (the
    // tunnel, the swarm).
    SDL_Surface* sdl() const;

    uint32_t* pixels = nullptr; // null when the lock failed
    int32_t pitch = 0;          // in pixels
    int32_t width, height;

private:
    korvid::Surface& surface;
};
