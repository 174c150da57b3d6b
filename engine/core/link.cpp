#include "engine/core/engine.hpp"
#include "engine/render/build_render_data.hpp"
#include "engine/scene/scene.hpp"

namespace korvid {

void Engine::linkReference(ResourceRef& ref) {
    ref.resolved = ref.empty ? nullptr : findResource(ref.kind, ref.name);
}

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

void Engine::linkResources() {
    ResourceRefSet refs;
    for (auto& [kind, names] : registry)
        for (auto& [name, object] : names) {
            if (!object)
                continue;
            object->collectResourceRefs(refs);
            for (auto& [ref, linked] : refs)
                if (linked)
                    linkReference(*ref);
            if (kind == kindScene) {
                Scene& scene = *static_cast<Scene*>(object);
                linkNodeRefs(*this, scene);
                buildMeshNodes(scene);
            }
        }
}

} // namespace korvid
