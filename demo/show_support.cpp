#include "demo/show_support.hpp"

#include "demo/program.hpp"
#include "engine/math/elementary.hpp"
#include "engine/render/pipeline.hpp"

#include <algorithm>

using namespace korvid;

namespace {

template <class T>
T* checked(Node* node, NodeType type, Error missing) {
    if (!node || node->type != type)
        demo_check(missing);
    return static_cast<T*>(node);
}

} // namespace

Scene* show_scene(const char* name) {
    auto* scene = engine.find<Scene>(kindScene, name);
    if (!scene)
        demo_check(errSceneNotFound);
    return scene;
}

Surface* show_surface(const char* name) {
    auto* surface = engine.find<Surface>(kindSurface, name);
    if (!surface)
        demo_check(errSurfaceNotFound);
    return surface;
}

Mesh* show_mesh(const char* name, size_t groups) {
    auto* mesh = engine.find<Mesh>(kindMesh, name);
    if (!mesh)
        demo_check(errMeshNotFound);
    if (mesh->groups.size() < groups)
        demo_check(errInvalidMaterial);
    return mesh;
}

CameraNode* show_camera(Scene* scene, const char* path) {
    return checked<CameraNode>(scene->root.find(path), nodeCamera, errCameraNotFound);
}

MeshNode* show_mesh_node(Scene* scene, const char* path, size_t groups) {
    auto* node = checked<MeshNode>(scene->root.find(path), nodeMesh, errMeshNodeNotFound);
    if (node->groups.size() < groups)
        demo_check(errMeshNotFound);
    return node;
}

SpotLightNode* show_spotlight(Scene* scene, const char* path) {
    return checked<SpotLightNode>(scene->root.find(path), nodeSpotLight, errNodeNotFound);
}

ContainerNode* show_container(Scene* scene, const char* path, Error missing) {
    Node* node = scene->root.find(path);
    if (!node || (node->type != nodeContainer && node->type != nodeMesh))
        demo_check(missing);
    return static_cast<ContainerNode*>(node);
}

void show_set_time(Scene* scene, double frame) {
    demo_check(scene->setTime(float(frame)));
}

void show_render(Surface* colour, CameraNode* camera, Scene* scene, bool flaggedPass,
                 const float* centreOffset) {
    demo_check(renderScene(colour, nullptr, camera, scene, nullptr, centreOffset, flaggedPass));
}

namespace {
// The swelling scroll: (cos(phase of the 8-unit period + swellPhase) + 2) * swellRate
// texture heights per unit.
constexpr double swellPhase = 3.64159265359, swellRate = 0.015;

// Its integral from demo time a to b.
double swellBetween(double a, double b) {
    const auto sine = [](double t) { return korvid::sin(t / 8.0 * showTwoPi + swellPhase); };
    return swellRate * (2.0 * (b - a) + 8.0 / showTwoPi * (sine(b) - sine(a)));
}
} // namespace

void show_scroll_ground(MeshNode* ground) {
    // The step stays in double; the offset is rounded once, when it is stored.
    ground->groups[0].textureOffsetV -=
        (korvid::cos(frac(demoTime / 8.0f) * showTwoPi + swellPhase) + 2.0) * frameDelta *
        swellRate;
}

double ground_scroll_at(float t) {
    // The part of part p's range that lies before t.
    const auto before = [t](int part) {
        const double start = show_part_start(part) * blockUnits;
        return std::clamp(double(t), start, double(show_part_end(part) * blockUnits)) - start;
    };
    const auto swelling = [&](int part) {
        const double start = show_part_start(part) * blockUnits;
        return swellBetween(start, start + before(part));
    };
    return swelling(1) + groundGlide * before(2) + swelling(7);
}

LockedView::LockedView(Surface& surface)
    : width(surface.width), height(surface.height), surface(surface) {
    if (surface.lock(pixels, pitch) != errNone)
        pixels = nullptr;
}

LockedView::~LockedView() {
    if (pixels)
        surface.unlock();
}

uint32_t* LockedView::frame(int32_t frameWidth, int32_t frameHeight) const {
    return pitch == frameWidth && width == frameWidth && height >= frameHeight ? pixels : nullptr;
}

uint32_t* LockedView::rows(int32_t rowsWidth, int32_t rowsHeight) const {
    return width >= rowsWidth && height >= rowsHeight ? pixels : nullptr;
}

SDL_Surface* LockedView::sdl() const {
    return pixels ? surface.sdlSurface : nullptr;
}
