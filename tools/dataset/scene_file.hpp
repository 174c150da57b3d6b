#pragma once
// A 3DS file under construction, through lib3ds: meshes, cameras with targets, omni and
// spot lights, and the keyframer nodes that place and animate them.

#include "geometry.hpp"
#include "mesh_builder.hpp"

#include <string>
#include <vector>

struct Lib3dsFile;
struct Lib3dsNode;

namespace dataset {

template <class T>
struct Key {
    int frame = 0;
    T value{};
};

struct Rgb {
    float r = 1.0f, g = 1.0f, b = 1.0f;
};

// Node handles: indices into the file's nodes, in creation order.
using NodeId = int;
constexpr NodeId noParent = -1;

struct CameraNodes {
    NodeId camera, target;
};

class SceneFile {
public:
    explicit SceneFile(int frames);
    ~SceneFile();
    SceneFile(const SceneFile&) = delete;
    SceneFile& operator=(const SceneFile&) = delete;

    void addMesh(const MeshData& mesh);

    // An object node showing the mesh of the same name; at rest at the origin until its
    // tracks are set. `pivot` is the mesh point that sits at the node's position.
    NodeId addObject(const std::string& name, NodeId parent = noParent, Vec3 pivot = {});
    // A dummy object (a grouping node without mesh).
    NodeId addDummy(const std::string& label, NodeId parent = noParent);

    // Keys replace the node's track. `loop` marks the track as cyclic, so that tangents
    // at the ends are computed across the wrap (the last key must repeat the first).
    void setPosition(NodeId node, const std::vector<Key<Vec3>>& keys, bool loop = false);
    void setRotation(NodeId node, const std::vector<Key<Quat>>& keys, bool loop = false);
    void setScale(NodeId node, const std::vector<Key<Vec3>>& keys, bool loop = false);

    // A targeted camera with single-key tracks; fov and roll in degrees.
    CameraNodes addCamera(const std::string& name, Vec3 position, Vec3 target, float fov,
                          float roll = 0.0f);
    void addOmni(const std::string& name, Vec3 position, Rgb colour, float multiplier);
    // A targeted spotlight: hotspot and falloff are full cone angles in degrees.
    void addSpot(const std::string& name, Vec3 position, Vec3 target, Rgb colour, float hotspot,
                 float falloff, float innerRange, float outerRange, float multiplier);

    bool save(const std::string& path);

    Lib3dsFile* file = nullptr;

private:
    NodeId insert(Lib3dsNode* node, const std::string& name, NodeId parent);
    std::vector<Lib3dsNode*> nodes;
};

} // namespace dataset
