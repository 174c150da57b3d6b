#pragma once
// A scene: a registered resource that owns a tree of nodes and a registry of them by type.

#include "engine/core/errors.hpp"
#include "engine/core/resource.hpp"
#include "engine/scene/node.hpp"

#include <map>
#include <vector>

namespace korvid {

// Orders nodes by creation, so that walks over the registry are the same on every run.
struct NodeOrder {
    bool operator()(const Node* a, const Node* b) const { return a->serial < b->serial; }
};

using NodeRefMap = std::map<NodeRef*, Node*>; // reference -> owning node

class Scene : public Resource {
public:
    Scene();
    ~Scene() override;

    // The root's two references and the mesh reference of every enabled mesh node.
    void collectResourceRefs(ResourceRefSet& refs) override;
    // The target reference of every enabled camera and spotlight, with its owner.
    void collectNodeRefs(NodeRefMap& refs);

    // Sets `frame` to t modulo `frames` and evaluates every enabled node. Always 0.
    Error setTime(float t);
    // Brings `start` and what it depends on up to date, or every enabled node for null.
    void updateWorlds(Node* start);

    RootNode root;
    std::map<NodeType, std::map<Node*, bool, NodeOrder>> nodesByType;
    float frames = 0.0f;
    float frame = 0.0f;

private:
    // The working lists of updateWorlds, kept between calls.
    struct WorldUpdate {
        std::vector<Node*> pending, next, deps, done;
    } worldUpdate;
};

} // namespace korvid
