#pragma once
// The engine's own mesh: welded vertices in object space, smoothed normals, faces grouped
// by material name, bounds and an edge list for outlines.

#include "engine/core/errors.hpp"
#include "engine/core/resource.hpp"
#include "engine/math/math.hpp"

#include <cstdint>
#include <vector>

struct Lib3dsMesh;

namespace korvid {

class Engine;

struct VertexNormal {
    uint32_t vertex = 0; // index into the mesh's vertices
    Vector normal;
};

// Three indices into the group's corners, in the file's corner order.
struct Triangle {
    uint32_t corner[3] = {0, 0, 0};
};

struct Corner {
    uint32_t normal = 0; // index into the mesh's normals
    Point2 uv;
    Point2 uv2;
};

struct MeshGroup {
    ResourceRef material; // kind material
    std::vector<Triangle> triangles;
    std::vector<Corner> corners;
};

struct Edge {
    uint32_t vertexA = 0, vertexB = 0;
    uint32_t normalA = 0, normalB = 0; // as seen from the first triangle
    uint32_t triangle1 = 0, triangle2 = 0;
    uint32_t group1 = 0, group2 = 0;
    uint32_t faceCount = 0; // 1 or 2; triangle2 and group2 mean something only for 2
    bool hard = false;
};

class Mesh : public Resource {
public:
    Mesh() : Resource(kindMesh) {}

    // The material reference of every group.
    void collectResourceRefs(ResourceRefSet& refs) override;
    void computeBounds();
    Error buildEdges();

    std::vector<Vector> vertices;
    std::vector<VertexNormal> normals;
    std::vector<Edge> edges;
    std::vector<MeshGroup> groups; // by material name, byte-wise ascending
    uint32_t boundsValid = 0;
    Vector boundsMin, boundsMax;
};

// Converts a lib3ds mesh and registers it under its name: 0, or 23 when a mesh of that name
// is registered already (it is then shared), or 2 when memory runs out.
Error convertMesh(Engine& engine, Lib3dsMesh* mesh);

} // namespace korvid
