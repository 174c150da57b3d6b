#include "engine/link/link.hpp"

#include "engine/render/build_render_data.hpp"
#include "engine/scene/scene.hpp"

namespace korvid {

namespace {

// Camera and spotlight targets: found by path from the owning node. A reference into
// another scene that is not registered keeps the node it had.
void linkNodeRefs(Engine& engine, Scene& scene) {
    NodeRefMap refs;
    scene.collectNodeRefs(refs);
    for (auto& [ref, owner] : refs) {
        if (ref->none) {
            ref->node = nullptr;
            continue;
        }
        if (!ref->scene.empty) {
            engine.linkReference(ref->scene);
            if (!ref->scene.resolved)
                continue;
        }
        ref->node = owner->find(ref->path);
    }
}

// The working arrays of every enabled mesh node; a node whose mesh is missing keeps none,
// and the renderer reports it.
void buildMeshNodes(Scene& scene) {
    auto meshes = scene.nodesByType.find(nodeMesh);
    if (meshes == scene.nodesByType.end())
        return;
    for (auto& [node, enabled] : meshes->second)
        if (enabled)
            buildRenderData(*static_cast<MeshNode*>(node));
}

} // namespace

void linkResources(Engine& engine) {
    ResourceRefSet refs;
    for (auto& [kind, names] : engine.entries())
        for (auto& [name, object] : names) {
            if (!object)
                continue;
            object->collectResourceRefs(refs);
            for (auto& [ref, linked] : refs)
                if (linked)
                    engine.linkReference(*ref);
            if (kind == kindScene) {
                Scene& scene = *static_cast<Scene*>(object);
                linkNodeRefs(engine, scene);
                buildMeshNodes(scene);
            }
        }
}

} // namespace korvid
