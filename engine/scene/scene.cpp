#include "engine/scene/scene.hpp"

#include "engine/core/pass_clock.hpp"

#include <algorithm>
#include <cmath>

namespace korvid {

Scene::Scene() : Resource(kindScene), root(this) {
    nodesByType[nodeRoot][&root] = true;
}

Scene::~Scene() {
    // Each child's destructor takes it out of the root's children and of the registry.
    while (!root.children.empty())
        delete root.children.begin()->second;
    nodesByType.clear();
}

void Scene::collectResourceRefs(ResourceRefSet& refs) {
    refs.clear();
    refs[&root.resourceA] = true;
    refs[&root.resourceB] = true;
    auto meshes = nodesByType.find(nodeMesh);
    if (meshes == nodesByType.end())
        return;
    for (auto& [node, enabled] : meshes->second)
        if (enabled)
            refs[&static_cast<MeshNode*>(node)->mesh] = true;
}

void Scene::collectNodeRefs(NodeRefMap& refs) {
    refs.clear();
    for (NodeType type : {nodeCamera, nodeSpotLight}) {
        auto nodes = nodesByType.find(type);
        if (nodes == nodesByType.end())
            continue;
        for (auto& [node, enabled] : nodes->second) {
            if (!enabled)
                continue;
            NodeRef& target = type == nodeCamera ? static_cast<CameraNode*>(node)->target
                                                 : static_cast<SpotLightNode*>(node)->target;
            refs[&target] = node;
        }
    }
}

Error Scene::setTime(float t) {
    const PassTimer timer(Pass::scene);
    // The animation loops with period `frames`. A scene without keyframe data (0 frames),
    // or a time that is not a number, plays frame 0.
    frame = frames != 0.0f ? std::fmod(t, frames) : 0.0f;
    if (frame < 0.0f)
        frame += frames;
    if (!std::isfinite(frame))
        frame = 0.0f;
    for (auto& [type, nodes] : nodesByType)
        for (auto& [node, enabled] : nodes)
            if (enabled)
                node->evaluate(frame);
    return errNone;
}

void Scene::updateWorlds(Node* start) {
    // The lists live in the scene and keep their storage, so that a frame allocates
    // nothing once they have grown. A scene holds a few dozen nodes: a linear search of
    // the finished ones is cheaper than a hash set that allocates on every insertion.
    WorldUpdate& w = worldUpdate;
    w.pending.clear();
    w.done.clear();
    if (start) {
        w.pending.push_back(start);
    } else {
        for (auto& [type, nodes] : nodesByType)
            for (auto& [node, enabled] : nodes)
                if (enabled)
                    w.pending.push_back(node);
    }
    auto isDone = [&w](Node* node) {
        return std::find(w.done.begin(), w.done.end(), node) != w.done.end();
    };
    // Every pass finishes at least one node unless the dependencies form a cycle, which
    // no imported scene has; the bound keeps a hand-built cycle from looping for ever.
    size_t passes = 0, nodeCount = 0;
    for (auto& [type, nodes] : nodesByType)
        nodeCount += nodes.size();
    while (!w.pending.empty() && passes++ <= nodeCount + 1) {
        w.next.clear();
        for (Node* node : w.pending) {
            if (isDone(node))
                continue;
            w.deps.clear();
            node->collectDependencies(w.deps);
            bool waiting = false;
            for (Node* dep : w.deps)
                if (dep && !isDone(dep)) {
                    w.next.push_back(dep);
                    waiting = true;
                }
            if (waiting)
                w.next.push_back(node);
            else
                w.done.push_back(node);
        }
        // Copied rather than swapped, so that each list keeps the storage it grew.
        w.pending.assign(w.next.begin(), w.next.end());
    }
    // The finished nodes, in the order they were finished.
    for (Node* node : w.done)
        node->updateWorld();
}

} // namespace korvid
