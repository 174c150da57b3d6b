#include "engine/render/build_render_data.hpp"
#include "engine/scene/mesh.hpp"
#include "engine/scene/node.hpp"

#include <new>

namespace korvid {

namespace {

// Every pointer points into the node's own arrays or into the mesh, so each array is
// sized once and never grows afterwards.
void build(MeshNode& node, const Mesh& mesh) {
    node.vertices.assign(mesh.vertices.size(), RenderVertex{});
    node.normals.assign(mesh.normals.size(), RenderNormal{});
    for (size_t i = 0; i < mesh.normals.size(); ++i)
        node.normals[i].vertex = &node.vertices[mesh.normals[i].vertex];

    node.groups.assign(mesh.groups.size(), RenderGroup{});
    for (size_t g = 0; g < mesh.groups.size(); ++g) {
        const MeshGroup& from = mesh.groups[g];
        RenderGroup& group = node.groups[g];
        group.group = &from;
        group.corners.resize(from.corners.size());
        for (size_t c = 0; c < from.corners.size(); ++c) {
            RenderCorner& corner = group.corners[c];
            corner.normal = &node.normals[from.corners[c].normal];
            corner.u = from.corners[c].uv.x;
            corner.v = from.corners[c].uv.y;
            corner.uv2 = from.corners[c].uv2;
        }
        group.faces.resize(from.triangles.size());
        for (size_t t = 0; t < from.triangles.size(); ++t) {
            RenderFace& face = group.faces[t];
            face.group = &group;
            for (int k = 0; k < 3; ++k)
                face.corner[k] = &group.corners[from.triangles[t].corner[k]];
        }
    }

    node.edges.assign(mesh.edges.size(), RenderEdge{});
    for (size_t e = 0; e < mesh.edges.size(); ++e) {
        const Edge& from = mesh.edges[e];
        RenderEdge& edge = node.edges[e];
        edge.end[0] = &node.vertices[from.vertexA];
        edge.end[1] = &node.vertices[from.vertexB];
        edge.faceCount = from.faceCount;
        edge.hard = from.hard;
        edge.face[0] = &node.groups[from.group1].faces[from.triangle1];
        if (from.faceCount >= 2)
            edge.face[1] = &node.groups[from.group2].faces[from.triangle2];
    }
}

} // namespace

// Without a mesh the arrays are emptied, so that no pointer into a former mesh remains.
Error buildRenderData(MeshNode& node) {
    const Mesh* mesh = static_cast<const Mesh*>(node.mesh.resolved);
    if (node.mesh.empty || !mesh) {
        node.vertices.clear();
        node.normals.clear();
        node.groups.clear();
        node.edges.clear();
        return node.mesh.empty ? errNone : errMeshNotFound;
    }
    try {
        build(node, *mesh);
    } catch (const std::bad_alloc&) {
        return errMemory;
    }
    return errNone;
}

} // namespace korvid
