// render_frame FILE.3ds OUT.bmp [FRAME]: imports a 3DS file into the Korvid engine, draws
// one frame of it into a 512x384 surface and saves that as a BMP. The frame is seen
// through the file's first camera, or from outside when the file has none.
#include "engine/core/engine.hpp"
#include "engine/core/surface.hpp"
#include "engine/link/link.hpp"
#include "engine/render/gouraud_ramp_material.hpp"
#include "engine/render/pipeline.hpp"
#include "engine/scene/import.hpp"
#include "engine/scene/mesh.hpp"
#include "engine/scene/scene.hpp"

#include <SDL/SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

using namespace korvid;

namespace {

int fail(const std::string& what, Error code) {
    std::fprintf(stderr, "render_frame: %s: %s\n", what.c_str(), errorMessages[code]);
    return 1;
}

// The file's meshes name their materials; the engine draws a face only through a
// registered material of that name. Each gets a ramp from black to a colour of its own.
void addMaterials(Engine& engine) {
    std::set<std::string> names;
    for (const auto& [name, resource] : engine.entries().at(kindMesh))
        for (const MeshGroup& group : static_cast<Mesh*>(resource)->groups)
            names.insert(group.material.name);
    const Colour colours[] = {{230.0f, 180.0f, 90.0f, 255.0f},
                              {120.0f, 170.0f, 230.0f, 255.0f},
                              {200.0f, 110.0f, 160.0f, 255.0f}};
    size_t next = 0;
    for (const std::string& name : names) {
        const Colour& colour = colours[next++ % 3];
        engine.addResource(new GouraudRampMaterial({0.0f, 0.0f, 0.0f, 255.0f}, colour, 64), name);
    }
}

template <class T>
T* firstNode(Scene& scene, NodeType type) {
    auto nodes = scene.nodesByType.find(type);
    if (nodes == scene.nodesByType.end() || nodes->second.empty())
        return nullptr;
    return static_cast<T*>(nodes->second.begin()->first);
}

// A camera in front of, right of and above the box that the meshes fill at the scene's
// current time, looking at its centre through a target node. World up is +z.
CameraNode* addOutsideCamera(Scene& scene) {
    Vector lo{1e30f, 1e30f, 1e30f}, hi{-1e30f, -1e30f, -1e30f};
    for (auto& [node, enabled] : scene.nodesByType[nodeMesh]) {
        const auto* mesh = static_cast<const Mesh*>(static_cast<MeshNode*>(node)->mesh.resolved);
        if (!enabled || !mesh)
            continue;
        for (int corner = 0; corner < 8; ++corner) {
            const Vector p =
                node->world.transform(Vector{corner & 1 ? mesh->boundsMax.x : mesh->boundsMin.x,
                                             corner & 2 ? mesh->boundsMax.y : mesh->boundsMin.y,
                                             corner & 4 ? mesh->boundsMax.z : mesh->boundsMin.z});
            lo = Vector{std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
            hi = Vector{std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
        }
    }
    if (lo.x > hi.x)
        return nullptr;
    auto* target = new TargetNode;
    target->position = scaled(lo + hi, 0.5f);
    attach(&scene.root, target, "example.target");
    auto* camera = new CameraNode;
    camera->target = NodeRef("/example.target");
    // fov spans the width; at twice the box's radius the whole box fits into it.
    const float radius = std::sqrt(lengthSquared(hi - lo)) * 0.5f;
    const float distance = std::max(2.0f * radius / std::tan(camera->fov * 0.5f), 2.0f);
    camera->position = target->position + scaled(normalised(Vector{0.5f, -1.0f, 0.6f}), distance);
    attach(&scene.root, camera, "example.camera");
    return camera;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: render_frame FILE.3ds OUT.bmp [FRAME]\n");
        return 1;
    }
    Engine engine;
    if (const Error e = importScene(engine, "scene", argv[1]))
        return fail(argv[1], e);
    Scene& scene = *engine.find<Scene>(kindScene, "scene");
    if (engine.entries().count(kindMesh))
        addMaterials(engine);
    // References by name become pointers once everything is registered.
    linkResources(engine);
    scene.setTime(argc > 3 ? float(std::atof(argv[3])) : 0.0f);
    scene.updateWorlds(nullptr);

    CameraNode* camera = firstNode<CameraNode>(scene, nodeCamera);
    if (!camera)
        camera = addOutsideCamera(scene);
    if (!camera) {
        std::fprintf(stderr, "render_frame: %s: nothing to see\n", argv[1]);
        return 1;
    }
    // Without a light of the file's own, a white one rides on the camera.
    if (!firstNode<Node>(scene, nodeOmniLight) && !firstNode<Node>(scene, nodeSpotLight)) {
        auto* light = new OmniLightNode;
        light->colour = Colour{255.0f, 255.0f, 255.0f, 1.0f};
        attach(camera, light, "example.light");
    }
    // Again for the nodes added since: the camera finds its target.
    linkResources(engine);

    Surface frame;
    if (const Error e = frame.create(512, 384, storage32, false))
        return fail("surface", e);
    frame.fill(0xFF202830u);
    if (const Error e = renderScene(&frame, nullptr, camera, nullptr, nullptr, nullptr, false))
        return fail("render", e);
    if (SDL_SaveBMP(frame.sdlSurface, argv[2]) != 0) {
        std::fprintf(stderr, "render_frame: cannot write %s: %s\n", argv[2], SDL_GetError());
        return 1;
    }
    return 0;
}
