#include "tools/common/scene_staging.hpp"

#include "engine/link/link.hpp"
#include "engine/math/elementary.hpp"
#include "engine/render/gouraud_ramp_material.hpp"
#include "engine/render/pipeline.hpp"
#include "engine/scene/mesh.hpp"
#include "tools/common/file_completion.hpp"

#include <lib3ds/file.h>
#include <lib3ds/material.h>

#include <algorithm>
#include <cmath>
#include <set>

using namespace korvid;

namespace tools {

namespace {

// Every mesh node whose mesh is linked, with that mesh.
template <class Visit>
void eachLinkedMeshNode(Scene& scene, Visit&& visit) {
    auto meshes = scene.nodesByType.find(nodeMesh);
    if (meshes == scene.nodesByType.end())
        return;
    for (auto& [node, enabled] : meshes->second) {
        MeshNode& meshNode = *static_cast<MeshNode*>(node);
        if (const Mesh* mesh = static_cast<const Mesh*>(meshNode.mesh.resolved); enabled && mesh)
            visit(meshNode, *mesh);
    }
}

bool hasNodes(Scene& scene, NodeType type) {
    auto nodes = scene.nodesByType.find(type);
    return nodes != scene.nodesByType.end() && !nodes->second.empty();
}

// A Gouraud ramp from black to the file's diffuse colour in 64 levels for every material
// name the registered meshes use. The completed file defines every one of them.
void addMaterials(Engine& engine, Lib3dsFile& file) {
    std::set<std::string> names;
    auto meshes = engine.entries().find(kindMesh);
    if (meshes != engine.entries().end())
        for (auto& [name, resource] : meshes->second)
            if (resource)
                for (const MeshGroup& group : static_cast<Mesh*>(resource)->groups)
                    names.insert(group.material.name);
    for (const std::string& name : names) {
        if (engine.findResource(kindMaterial, name))
            continue;
        Colour diffuse{200.0f, 200.0f, 200.0f, 255.0f};
        if (Lib3dsMaterial* m = lib3ds_file_material_by_name(&file, name.c_str()))
            diffuse = Colour{m->diffuse[0] * 255.0f, m->diffuse[1] * 255.0f, m->diffuse[2] * 255.0f,
                             255.0f};
        auto* material = new GouraudRampMaterial(Colour{0.0f, 0.0f, 0.0f, 255.0f}, diffuse, 64);
        if (engine.addResource(material, name) != errNone)
            delete material;
    }
}

bool hasSomethingToDraw(Scene& scene) {
    bool found = false;
    eachLinkedMeshNode(scene, [&](MeshNode&, const Mesh& mesh) {
        for (const MeshGroup& group : mesh.groups)
            found = found || !group.triangles.empty();
    });
    return found;
}

// The world box of every linked mesh node over the whole animation, sampled at up to
// 256 frames; the scene is left at an arbitrary frame.
void animationBox(Scene& scene, Vector& lo, Vector& hi) {
    lo = Vector{1e30f, 1e30f, 1e30f};
    hi = Vector{-1e30f, -1e30f, -1e30f};
    const int samples = std::clamp(int(std::ceil(scene.frames)), 1, 256);
    for (int s = 0; s < samples; ++s) {
        scene.setTime(scene.frames * float(s) / float(samples));
        scene.updateWorlds(nullptr);
        eachLinkedMeshNode(scene, [&](MeshNode& node, const Mesh& mesh) {
            for (int i = 0; i < 8; ++i) {
                const Vector c =
                    node.world.transform(Vector{i & 1 ? mesh.boundsMax.x : mesh.boundsMin.x,
                                                i & 2 ? mesh.boundsMax.y : mesh.boundsMin.y,
                                                i & 4 ? mesh.boundsMax.z : mesh.boundsMin.z});
                lo = Vector{std::min(lo.x, c.x), std::min(lo.y, c.y), std::min(lo.z, c.z)};
                hi = Vector{std::max(hi.x, c.x), std::max(hi.y, c.y), std::max(hi.z, c.z)};
            }
        });
    }
    if (lo.x > hi.x)
        lo = hi = Vector{};
}

// A camera outside the box of the whole animation, from the front, right and above,
// looking at its centre through a target node; null when a node name is taken.
CameraNode* addOutsideView(Scene& scene, float aspect) {
    Vector lo, hi;
    animationBox(scene, lo, hi);
    const Vector centre = scaled(lo + hi, 0.5f);
    float radius = std::sqrt(lengthSquared(hi - lo)) * 0.5f;
    if (!(radius > 1e-3f))
        radius = 1.0f;

    auto* target = new TargetNode;
    target->position = centre;
    if (attach(&scene.root, target, "korvid-render.target") != errNone) {
        delete target;
        return nullptr;
    }
    auto* camera = new CameraNode;
    camera->target = NodeRef("/korvid-render.target");
    // fov spans the width; the box must fit the narrower of the two angles.
    const float narrower = std::min(1.0f, aspect);
    float halfAngle = korvid::atan(korvid::tan(camera->fov * 0.5f) * narrower);
    float distance = radius / korvid::sin(halfAngle) * 1.1f;
    // The renderer draws points nearer than 1 unit as if they were at 1 unit: a small
    // scene is seen from further away through a narrower lens.
    if (distance < radius + 2.0f) {
        distance = radius + 2.0f;
        halfAngle = korvid::asin(radius * 1.1f / distance);
        camera->fov = 2.0f * korvid::atan(korvid::tan(halfAngle) / narrower);
    }
    // World up is +z.
    camera->position = centre + scaled(normalised(Vector{0.5f, -1.0f, 0.6f}), distance);
    if (attach(&scene.root, camera, "korvid-render.camera") != errNone) {
        delete camera;
        return nullptr;
    }
    return camera;
}

} // namespace

bool stageFile(Engine& engine, const ViewOptions& view, StagedScene& staged, std::string& error) {
    Lib3dsFilePtr file;
    if (const Error e = importCompleted(engine, "scene", view.input, file)) {
        error = std::string("cannot import: ") + errorMessages[e];
        return false;
    }
    staged.scene = engine.find<Scene>(kindScene, "scene");
    Scene& scene = *staged.scene;
    addMaterials(engine, *file);
    linkResources(engine);
    if (!hasSomethingToDraw(scene)) {
        error = "nothing to draw: no mesh node has faces";
        return false;
    }

    staged.cameras.clear();
    if (auto cameras = scene.nodesByType.find(nodeCamera); cameras != scene.nodesByType.end())
        for (auto& [node, enabled] : cameras->second)
            staged.cameras.push_back(static_cast<CameraNode*>(node));
    CameraNode* outside = addOutsideView(scene, float(view.height) / float(view.width));
    if (!outside) {
        error = "cannot add a camera: its node name is taken";
        return false;
    }
    staged.cameras.push_back(outside);
    if (!hasNodes(scene, nodeOmniLight) && !hasNodes(scene, nodeSpotLight)) {
        staged.headlight = new OmniLightNode;
        staged.headlight->colour = Colour{255.0f, 255.0f, 255.0f, 1.0f};
    }
    linkResources(engine);
    CameraNode* camera = staged.cameras.front();
    if (!view.cameraPath.empty()) {
        Node* node = scene.root.find(view.cameraPath);
        if (!node || node->type != nodeCamera) {
            error = "no camera node at " + view.cameraPath;
            return false;
        }
        camera = static_cast<CameraNode*>(node);
    }
    useCamera(staged, *camera);
    return true;
}

void useCamera(StagedScene& staged, CameraNode& camera) {
    staged.camera = &camera;
    if (!staged.headlight)
        return;
    // The light's name is the tools' own, so no camera has a child of that name.
    staged.headlight->detach();
    attach(&camera, staged.headlight, "korvid-render.light");
}

bool isOutsideView(const StagedScene& staged, const CameraNode* camera) {
    return !staged.cameras.empty() && camera == staged.cameras.back();
}

std::string cameraName(const StagedScene& staged, const CameraNode* camera) {
    if (isOutsideView(staged, camera))
        return "outside view";
    std::string path;
    for (const Node* node = camera; node && node->parent; node = node->parent)
        path = "/" + node->name + path;
    return path;
}

Error drawFrame(StagedScene& staged, float frame, uint32_t outline, Surface& colour) {
    staged.scene->setTime(frame);
    staged.scene->root.renderMode = outline;
    colour.fill(sceneBackground);
    return renderScene(&colour, nullptr, staged.camera, nullptr, nullptr, nullptr, false);
}

} // namespace tools
