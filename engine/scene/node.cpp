#include "engine/scene/node.hpp"
#include "engine/scene/scene.hpp"

namespace korvid {

namespace {

uint64_t nextSerial = 0;

// Enters `node` and its subtree in the scene's registry, depth first.
void registerSubtree(Scene& scene, Node* node) {
    scene.nodesByType[node->type][node] = true;
    for (auto& [name, child] : node->children)
        registerSubtree(scene, child);
}

void unregisterSubtree(Scene& scene, Node* node) {
    auto byType = scene.nodesByType.find(node->type);
    if (byType != scene.nodesByType.end())
        byType->second.erase(node);
    for (auto& [name, child] : node->children)
        unregisterSubtree(scene, child);
}

} // namespace

Node::Node(NodeType type) : type(type), serial(nextSerial++) {}

Node::~Node() {
    if (parent)
        Node::detach();
    // Each child's destructor takes it out of `children`.
    while (!children.empty())
        delete children.begin()->second;
}

void Node::detach() {
    if (!parent)
        return;
    if (Scene* owner = scene())
        unregisterSubtree(*owner, this);
    parent->children.erase(name);
    parent = nullptr;
}

Scene* Node::scene() {
    return parent ? parent->scene() : nullptr;
}

Node* Node::find(const std::string& path) {
    Node* node = this;
    size_t at = 0;
    if (!path.empty() && path[0] == '/') {
        Scene* owner = scene();
        if (!owner)
            return nullptr;
        node = &owner->root;
        while (at < path.size() && path[at] == '/')
            ++at;
    }
    while (at < path.size()) {
        size_t end = path.find('/', at);
        if (end == std::string::npos)
            end = path.size();
        const std::string component = path.substr(at, end - at);
        if (component == "..") {
            node = node->parent;
        } else if (component != ".") {
            auto child = node->children.find(component);
            node = child == node->children.end() ? nullptr : child->second;
        }
        if (!node)
            return nullptr;
        at = end;
        while (at < path.size() && path[at] == '/')
            ++at;
    }
    return node;
}

Error attach(Node* parent, Node* child, const std::string& name) {
    if (!child)
        return errInvalidCall;
    if (parent->children.count(name))
        return errNameInUse;
    parent->children[name] = child;
    child->name = name;
    child->parent = parent;
    if (Scene* owner = parent->scene())
        registerSubtree(*owner, child);
    return errNone;
}

RootNode::RootNode(Scene* owner) : Node(nodeRoot), owner(owner) {}

TargetNode::TargetNode() : Node(nodeTarget) {}

OmniLightNode::OmniLightNode() : Node(nodeOmniLight) {}

SpotLightNode::SpotLightNode() : Node(nodeSpotLight) {}

CameraNode::CameraNode() : Node(nodeCamera) {}

ContainerNode::ContainerNode() : Node(nodeContainer) {}

ContainerNode::ContainerNode(NodeType type) : Node(type) {}

MeshNode::MeshNode() : ContainerNode(nodeMesh) {}

} // namespace korvid
