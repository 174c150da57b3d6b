// Conversion of a lib3ds mesh into the engine's mesh: object space, smoothed normals,
// welded vertices, normals and corners, groups by material name, bounds and edges.
#include "engine/core/engine.hpp"
#include "engine/scene/exact_key.hpp"
#include "engine/scene/mesh.hpp"
#include "engine/scene/mesh_matrix.hpp"
#include "engine/scene/smooth_normals.hpp"

#include <lib3ds/matrix.h>
#include <lib3ds/vector.h>

#include <cstring>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <unordered_map>

namespace korvid {

namespace {

// A material group while faces are added: corners are welded by exact equality of their
// normal index and both coordinate pairs.
struct WorkGroup {
    MeshGroup group;
    std::unordered_map<ExactKey<5>, uint32_t, ExactKeyHash<5>> cornerIndex;

    uint32_t addCorner(const Corner& c) {
        if (hasNan({c.uv.x, c.uv.y, c.uv2.x, c.uv2.y}))
            return append(c);
        const ExactKey<5> key{{c.normal, equalityBits(c.uv.x), equalityBits(c.uv.y),
                               equalityBits(c.uv2.x), equalityBits(c.uv2.y)}};
        auto found = cornerIndex.find(key);
        if (found != cornerIndex.end())
            return found->second;
        const uint32_t index = append(c);
        cornerIndex.emplace(key, index);
        return index;
    }

    uint32_t append(const Corner& c) {
        group.corners.push_back(c);
        return uint32_t(group.corners.size() - 1);
    }
};

// Welds positions, and normals per position, by exact equality; the first one wins.
class Welder {
public:
    // Sized for the worst case up front: rehashing while the maps grow costs more than
    // the conversion itself.
    Welder(Mesh& mesh, size_t points, size_t corners) : mesh(mesh) {
        vertexIndex.reserve(points);
        normalIndex.reserve(corners);
        mesh.vertices.reserve(points);
        mesh.normals.reserve(corners);
    }

    uint32_t vertex(const Vector& p) {
        if (hasNan({p.x, p.y, p.z}))
            return appendVertex(p);
        const ExactKey<3> key{{equalityBits(p.x), equalityBits(p.y), equalityBits(p.z)}};
        auto found = vertexIndex.find(key);
        if (found != vertexIndex.end())
            return found->second;
        const uint32_t index = appendVertex(p);
        vertexIndex.emplace(key, index);
        return index;
    }

    uint32_t normal(uint32_t vertex, const Vector& n) {
        if (hasNan({n.x, n.y, n.z}))
            return appendNormal(vertex, n);
        const ExactKey<4> key{{vertex, equalityBits(n.x), equalityBits(n.y), equalityBits(n.z)}};
        auto found = normalIndex.find(key);
        if (found != normalIndex.end())
            return found->second;
        const uint32_t index = appendNormal(vertex, n);
        normalIndex.emplace(key, index);
        return index;
    }

private:
    uint32_t appendVertex(const Vector& p) {
        mesh.vertices.push_back(p);
        return uint32_t(mesh.vertices.size() - 1);
    }

    uint32_t appendNormal(uint32_t vertex, const Vector& n) {
        mesh.normals.push_back(VertexNormal{vertex, n});
        return uint32_t(mesh.normals.size() - 1);
    }

    Mesh& mesh;
    std::unordered_map<ExactKey<3>, uint32_t, ExactKeyHash<3>> vertexIndex;
    std::unordered_map<ExactKey<4>, uint32_t, ExactKeyHash<4>> normalIndex;
};

// The engine's axis convention: x and y exchanged.
Vector exchanged(const float* v) {
    return {v[1], v[0], v[2]};
}

// inv = the inverse of the mesh matrix; rot = inv's three axes normalised, without
// translation, for the normals.
void objectSpace(const Lib3dsMesh& from, Lib3dsMatrix inv, Lib3dsMatrix rot) {
    meshMatrixInverse(from.matrix, inv);
    lib3ds_matrix_identity(rot);
    for (int axis = 0; axis < 3; ++axis) {
        lib3ds_vector_copy(rot[axis], inv[axis]);
        lib3ds_vector_normalize(rot[axis]);
    }
}

Error convert(Mesh& mesh, const Lib3dsMesh& from) {
    Lib3dsMatrix inv, rot;
    objectSpace(from, inv, rot);
    std::vector<LibVector> positions(from.points);
    for (uint32_t i = 0; i < from.points; ++i)
        lib3ds_vector_transform(positions[i].v, inv, from.pointL[i].pos);
    std::vector<LibVector> normals;
    calculateSmoothNormals(from, normals);
    for (LibVector& n : normals) {
        Lib3dsVector turned;
        lib3ds_vector_transform(turned, rot, n.v);
        lib3ds_vector_copy(n.v, turned);
    }

    Welder weld(mesh, from.points, size_t(from.faces) * 3);
    std::map<std::string, WorkGroup> byMaterial;
    for (uint32_t f = 0; f < from.faces; ++f) {
        const Lib3dsFace& face = from.faceL[f];
        const std::string material(face.material, strnlen(face.material, sizeof face.material));
        if (material.empty())
            continue;
        WorkGroup& work = byMaterial[material];
        Triangle triangle;
        for (int k = 0; k < 3; ++k) {
            const uint32_t v = face.points[k];
            Corner corner;
            corner.normal = weld.normal(weld.vertex(exchanged(positions[v].v)),
                                        exchanged(normals[size_t(f) * 3 + k].v));
            if (v < from.texels)
                corner.uv = {from.texelL[v][0], -from.texelL[v][1]};
            triangle.corner[k] = work.addCorner(corner);
        }
        work.group.triangles.push_back(triangle);
    }

    mesh.vertices.shrink_to_fit();
    mesh.normals.shrink_to_fit();
    mesh.groups.reserve(byMaterial.size());
    for (auto& [material, work] : byMaterial) {
        work.group.material = ResourceRef(kindMaterial, material);
        work.group.triangles.shrink_to_fit();
        work.group.corners.shrink_to_fit();
        mesh.groups.push_back(std::move(work.group));
    }
    mesh.computeBounds();
    return mesh.buildEdges();
}

} // namespace

Error convertMesh(Engine& engine, Lib3dsMesh* from) {
    const std::string name(from->name, strnlen(from->name, sizeof from->name));
    if (engine.findResource(kindMesh, name))
        return errNameInUse;
    std::unique_ptr<Mesh> mesh;
    try {
        mesh = std::make_unique<Mesh>();
        if (Error e = convert(*mesh, *from))
            return e;
    } catch (const std::bad_alloc&) {
        return errMemory;
    }
    if (Error e = engine.addResource(mesh.get(), name))
        return e;
    mesh.release();
    return errNone;
}

} // namespace korvid
