#pragma once
// The scene graph: nodes own their children by name and inherit their parent's world matrix.

#include "engine/core/errors.hpp"
#include "engine/core/resource.hpp"
#include "engine/math/math.hpp"
#include "engine/scene/render_data.hpp"
#include "engine/scene/track.hpp"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace korvid {

class Scene;
class VertexModifier;

using NodeType = uint32_t;
enum : NodeType {
    nodeRoot = 1,
    nodeCamera = 2,
    nodeOmniLight = 3,
    nodeSpotLight = 4,
    nodeMesh = 5,
    nodeTarget = 6,
    nodeContainer = 7,
};

// A reference from a camera or spotlight to the node it looks at, by path.
struct NodeRef {
    ResourceRef scene; // empty: the owner's own scene
    std::string path;
    class Node* node = nullptr;
    bool none = true;

    NodeRef() = default;
    explicit NodeRef(std::string path) : path(std::move(path)), none(false) {}
};

class Node {
public:
    explicit Node(NodeType type);
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;
    // Detaches the node, then destroys its subtree.
    virtual ~Node();

    // Removes the node and its subtree from its parent and its scene, without destroying it.
    virtual void detach();
    virtual Scene* scene();
    // Sets the animated fields from the node's tracks at `frame`.
    virtual void evaluate(float frame) {}
    virtual void updateWorld() = 0;
    // Appends the nodes whose world must be current before this node's updateWorld.
    virtual void collectDependencies(std::vector<Node*>& list) = 0;

    // "/" starts at the scene's root, "." stays, ".." goes up; null when nothing matches.
    Node* find(const std::string& path);

    std::string name;
    const NodeType type;
    Node* parent = nullptr;
    std::map<std::string, Node*> children; // owned
    Matrix world = Matrix::identity();
    const uint64_t serial; // creation order, which orders the scene's node registry
};

// 1 for a null child, 23 when the parent has a child of that name.
Error attach(Node* parent, Node* child, const std::string& name);

class RootNode : public Node {
public:
    explicit RootNode(Scene* owner);
    Scene* scene() override { return owner; }
    void updateWorld() override { world = Matrix::identity(); }
    void collectDependencies(std::vector<Node*>&) override {}

    Scene* owner;
    uint32_t renderMode = 1; // 0 no outlines, 1 blended lines, 2 darkening lines
    Colour colourA{0.0f, 0.0f, 0.0f, 256.0f};
    uint32_t setting = 1;
    Colour colourB{0.0f, 0.0f, 0.0f, 1.0f};
    ResourceRef resourceA, resourceB;
    uint8_t flags[9] = {};
};

class TargetNode : public Node {
public:
    TargetNode();
    void evaluate(float frame) override;
    void updateWorld() override;
    void collectDependencies(std::vector<Node*>& list) override;

    Vector position;
    VectorTrack positionTrack;
};

class OmniLightNode : public Node {
public:
    OmniLightNode();
    void evaluate(float frame) override;
    void updateWorld() override;
    void collectDependencies(std::vector<Node*>& list) override;

    Vector position;
    Colour colour;
    bool off = false;
    float multiplier = 1.0f;
    bool rangeAttenuation = false;
    float innerRange = 0.0f, outerRange = 0.0f;
    VectorTrack positionTrack;
    ColourTrack colourTrack;
    BoolTrack offTrack;
    ScalarTrack multiplierTrack;
};

class SpotLightNode : public Node {
public:
    SpotLightNode();
    void evaluate(float frame) override;
    void updateWorld() override;
    void collectDependencies(std::vector<Node*>& list) override;

    Vector position;
    bool ownRotation = false; // turned by `rotation` instead of looking at `target`
    Quaternion rotation{0.0f, -1.0f, 0.0f, 0.0f};
    NodeRef target;
    float roll = 0.0f;
    Colour colour;
    bool off = false;
    float multiplier = 1.0f;
    float hotspot = 0.0f, falloff = 0.0f; // full cone angles, radians
    bool overshoot = false;               // not limited to the cone
    bool rangeAttenuation = false;
    float innerRange = 0.0f, outerRange = 0.0f;
    VectorTrack positionTrack;
    ScalarTrack rollTrack;
    ColourTrack colourTrack;
    BoolTrack offTrack;
    ScalarTrack multiplierTrack;
    ScalarTrack hotspotTrack;
    ScalarTrack falloffTrack;
};

class CameraNode : public Node {
public:
    CameraNode();
    void evaluate(float frame) override;
    void updateWorld() override;
    void collectDependencies(std::vector<Node*>& list) override;

    Vector position;
    bool ownRotation = false;
    Quaternion rotation{0.0f, -1.0f, 0.0f, 0.0f};
    NodeRef target;
    float roll = 0.0f;
    float fov = 1.0f; // radians
    VectorTrack positionTrack;
    RotationTrack rotationTrack;
    ScalarTrack rollTrack;
    ScalarTrack fovTrack;
};

class ContainerNode : public Node {
public:
    ContainerNode();
    void evaluate(float frame) override;
    void updateWorld() override;
    void collectDependencies(std::vector<Node*>& list) override;

    VertexModifier* modifier = nullptr; // borrowed; deforms every mesh below
    bool flag = false;
    Vector pivot;
    Vector position;
    Quaternion rotation{0.0f, -1.0f, 0.0f, 0.0f};
    Vector scale{1.0f, 1.0f, 1.0f};
    BoolTrack flagTrack;
    VectorTrack positionTrack;
    RotationTrack rotationTrack;
    VectorTrack scaleTrack;

protected:
    explicit ContainerNode(NodeType type);
};

// A mesh placed in the scene. Its `flag` selects the render pass that draws it.
class MeshNode : public ContainerNode {
public:
    MeshNode();

    ResourceRef mesh; // kind mesh
    // Render working arrays, built by the link step.
    std::vector<RenderVertex> vertices;
    std::vector<RenderNormal> normals;
    std::vector<RenderGroup> groups;
    std::vector<RenderEdge> edges;
    uint32_t visibility = 0; // 0 not drawn, 1 partly inside the clip rectangle, 2 wholly
};

} // namespace korvid
