#include "staging.hpp"

#include "engine/render/gouraud_ramp_material.hpp"
#include "engine/scene/mesh.hpp"

#include <lib3ds/file.h>
#include <lib3ds/material.h>

#include <algorithm>
#include <cmath>
#include <set>

namespace korvid {

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

} // namespace

void addMaterials(Engine& engine, const std::string& fileName) {
    std::set<std::string> names;
    auto meshes = engine.entries().find(kindMesh);
    if (meshes != engine.entries().end())
        for (auto& [name, resource] : meshes->second)
            if (resource)
                for (const MeshGroup& group : static_cast<Mesh*>(resource)->groups)
                    names.insert(group.material.name);
    if (names.empty())
        return;

    // The import has read and checked this file already.
    Lib3dsFile* file = lib3ds_file_load(fileName.c_str());
    for (const std::string& name : names) {
        if (engine.findResource(kindMaterial, name))
            continue;
        Colour diffuse{200.0f, 200.0f, 200.0f, 255.0f};
        if (Lib3dsMaterial* m = file ? lib3ds_file_material_by_name(file, name.c_str()) : nullptr)
            diffuse = Colour{m->diffuse[0] * 255.0f, m->diffuse[1] * 255.0f, m->diffuse[2] * 255.0f,
                             255.0f};
        auto* material = new GouraudRampMaterial(Colour{0.0f, 0.0f, 0.0f, 255.0f}, diffuse, 64);
        if (engine.addResource(material, name) != errNone)
            delete material;
    }
    if (file)
        lib3ds_file_free(file);
}

bool hasSomethingToDraw(Scene& scene) {
    bool found = false;
    eachLinkedMeshNode(scene, [&](MeshNode&, const Mesh& mesh) {
        for (const MeshGroup& group : mesh.groups)
            found = found || !group.triangles.empty();
    });
    return found;
}

CameraNode* addOverviewCamera(Scene& scene, float aspect) {
    scene.updateWorlds(nullptr);
    Vector lo{1e30f, 1e30f, 1e30f}, hi{-1e30f, -1e30f, -1e30f};
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
    if (lo.x > hi.x)
        lo = hi = Vector{};
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
    const float halfAngle = std::atan(std::tan(camera->fov * 0.5f) * std::min(1.0f, aspect));
    const float distance = radius / std::sin(halfAngle) * 1.1f;
    // From the front, to the right and above: world up is +z.
    camera->position = centre + scaled(normalised(Vector{0.5f, -1.0f, 0.6f}), distance);
    if (attach(&scene.root, camera, "korvid-render.camera") != errNone) {
        delete camera;
        return nullptr;
    }
    return camera;
}

bool hasLights(Scene& scene) {
    return hasNodes(scene, nodeOmniLight) || hasNodes(scene, nodeSpotLight);
}

Error addLightAtCamera(CameraNode& camera) {
    auto* light = new OmniLightNode;
    light->colour = Colour{255.0f, 255.0f, 255.0f, 1.0f};
    const Error e = attach(&camera, light, "korvid-render.light");
    if (e != errNone)
        delete light;
    return e;
}

} // namespace korvid
