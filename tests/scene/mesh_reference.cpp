#include "tests/scene/mesh_reference.hpp"
#include "engine/scene/mesh_matrix.hpp"

#include <lib3ds/matrix.h>
#include <lib3ds/vector.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace korvid::testing {

namespace {

struct V3 {
    Lib3dsVector v;
};

void addEdge(std::vector<Edge>& edges, uint32_t va, uint32_t vb, uint32_t na, uint32_t nb,
             uint32_t g, uint32_t t) {
    for (Edge& e : edges)
        if ((e.vertexA == va && e.vertexB == vb) || (e.vertexA == vb && e.vertexB == va)) {
            e.triangle2 = t, e.group2 = g, e.faceCount = 2, e.hard = false;
            if (g != e.group1)
                e.hard = true;
            else
                e.hard =
                    !((na == e.normalA && nb == e.normalB) || (na == e.normalB && nb == e.normalA));
            return;
        }
    Edge e;
    e.vertexA = va, e.vertexB = vb, e.normalA = na, e.normalB = nb;
    e.triangle1 = t, e.group1 = g, e.faceCount = 1, e.hard = true;
    edges.push_back(e);
}

bool sameBits(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool sameVector(const Vector& a, const Vector& b) {
    return sameBits(a.x, b.x) && sameBits(a.y, b.y) && sameBits(a.z, b.z);
}

} // namespace

void convertLinear(Lib3dsMesh& from, Mesh& mesh) {
    // The inverse is checked on its own (MatrixTakesPointsBackToObjectSpace).
    Lib3dsMatrix inv, rot;
    meshMatrixInverse(from.matrix, inv);
    lib3ds_matrix_identity(rot);
    for (int i = 0; i < 3; ++i) {
        lib3ds_vector_copy(rot[i], inv[i]);
        lib3ds_vector_normalize(rot[i]);
    }
    std::vector<V3> positions(from.points), normals(size_t(from.faces) * 3);
    for (uint32_t i = 0; i < from.points; ++i)
        lib3ds_vector_transform(positions[i].v, inv, from.pointL[i].pos);
    if (from.faces)
        lib3ds_mesh_calculate_normals(&from, &normals[0].v);
    for (V3& n : normals) {
        Lib3dsVector t;
        lib3ds_vector_transform(t, rot, n.v);
        lib3ds_vector_copy(n.v, t);
    }

    std::map<std::string, MeshGroup> groups;
    for (uint32_t f = 0; f < from.faces; ++f) {
        const Lib3dsFace& face = from.faceL[f];
        if (!face.material[0])
            continue;
        MeshGroup& group = groups[face.material];
        Triangle tri;
        for (int k = 0; k < 3; ++k) {
            const uint32_t v = face.points[k];
            const Vector p{positions[v].v[1], positions[v].v[0], positions[v].v[2]};
            uint32_t vi = 0;
            while (vi < mesh.vertices.size() && !(mesh.vertices[vi] == p))
                ++vi;
            if (vi == mesh.vertices.size())
                mesh.vertices.push_back(p);
            const float* nf = normals[size_t(f) * 3 + k].v;
            const Vector n{nf[1], nf[0], nf[2]};
            uint32_t ni = 0;
            while (ni < mesh.normals.size() &&
                   !(mesh.normals[ni].vertex == vi && mesh.normals[ni].normal == n))
                ++ni;
            if (ni == mesh.normals.size())
                mesh.normals.push_back({vi, n});
            Corner c;
            c.normal = ni;
            if (v < from.texels)
                c.uv = {from.texelL[v][0], -from.texelL[v][1]};
            uint32_t ci = 0;
            while (ci < group.corners.size() &&
                   !(group.corners[ci].normal == c.normal && group.corners[ci].uv == c.uv &&
                     group.corners[ci].uv2 == c.uv2))
                ++ci;
            if (ci == group.corners.size())
                group.corners.push_back(c);
            tri.corner[k] = ci;
        }
        group.triangles.push_back(tri);
    }
    for (auto& [name, group] : groups) {
        group.material = ResourceRef(kindMaterial, name);
        mesh.groups.push_back(group);
    }

    mesh.boundsValid = 1;
    mesh.boundsMin = mesh.boundsMax = Vector{};
    for (const Vector& v : mesh.vertices) {
        if (v.x > mesh.boundsMax.x)
            mesh.boundsMax.x = v.x;
        else if (v.x < mesh.boundsMin.x)
            mesh.boundsMin.x = v.x;
        if (v.y > mesh.boundsMax.y)
            mesh.boundsMax.y = v.y;
        else if (v.y < mesh.boundsMin.y)
            mesh.boundsMin.y = v.y;
        if (v.z > mesh.boundsMax.z)
            mesh.boundsMax.z = v.z;
        else if (v.z < mesh.boundsMin.z)
            mesh.boundsMin.z = v.z;
    }

    for (uint32_t g = 0; g < mesh.groups.size(); ++g)
        for (uint32_t t = 0; t < mesh.groups[g].triangles.size(); ++t) {
            const MeshGroup& group = mesh.groups[g];
            uint32_t n[3], v[3];
            for (int k = 0; k < 3; ++k) {
                n[k] = group.corners[group.triangles[t].corner[k]].normal;
                v[k] = mesh.normals[n[k]].vertex;
            }
            addEdge(mesh.edges, v[0], v[1], n[0], n[1], g, t);
            addEdge(mesh.edges, v[1], v[2], n[1], n[2], g, t);
            addEdge(mesh.edges, v[2], v[0], n[2], n[0], g, t);
        }
}

bool sameMesh(const Mesh& a, const Mesh& b, std::string& difference) {
    auto differ = [&](const std::string& what) {
        difference = what;
        return false;
    };
    if (a.vertices.size() != b.vertices.size())
        return differ("vertex count");
    for (size_t i = 0; i < a.vertices.size(); ++i)
        if (!sameVector(a.vertices[i], b.vertices[i]))
            return differ("vertex " + std::to_string(i));
    if (a.normals.size() != b.normals.size())
        return differ("normal count");
    for (size_t i = 0; i < a.normals.size(); ++i)
        if (a.normals[i].vertex != b.normals[i].vertex ||
            !sameVector(a.normals[i].normal, b.normals[i].normal))
            return differ("normal " + std::to_string(i));
    if (a.groups.size() != b.groups.size())
        return differ("group count");
    for (size_t g = 0; g < a.groups.size(); ++g) {
        const MeshGroup &ga = a.groups[g], &gb = b.groups[g];
        if (ga.material.name != gb.material.name || ga.material.kind != gb.material.kind)
            return differ("material of group " + std::to_string(g));
        if (ga.triangles.size() != gb.triangles.size() || ga.corners.size() != gb.corners.size())
            return differ("sizes of group " + std::to_string(g));
        for (size_t t = 0; t < ga.triangles.size(); ++t)
            if (std::memcmp(ga.triangles[t].corner, gb.triangles[t].corner, 12))
                return differ("triangle " + std::to_string(t));
        for (size_t c = 0; c < ga.corners.size(); ++c)
            if (ga.corners[c].normal != gb.corners[c].normal ||
                !sameBits(ga.corners[c].uv.x, gb.corners[c].uv.x) ||
                !sameBits(ga.corners[c].uv.y, gb.corners[c].uv.y) ||
                !sameBits(ga.corners[c].uv2.x, gb.corners[c].uv2.x) ||
                !sameBits(ga.corners[c].uv2.y, gb.corners[c].uv2.y))
                return differ("corner " + std::to_string(c));
    }
    if (a.edges.size() != b.edges.size())
        return differ("edge count");
    for (size_t i = 0; i < a.edges.size(); ++i) {
        const Edge &ea = a.edges[i], &eb = b.edges[i];
        const bool same =
            ea.vertexA == eb.vertexA && ea.vertexB == eb.vertexB && ea.normalA == eb.normalA &&
            ea.normalB == eb.normalB && ea.triangle1 == eb.triangle1 && ea.group1 == eb.group1 &&
            ea.faceCount == eb.faceCount && ea.hard == eb.hard &&
            (ea.faceCount < 2 || (ea.triangle2 == eb.triangle2 && ea.group2 == eb.group2));
        if (!same)
            return differ("edge " + std::to_string(i));
    }
    if (a.boundsValid != b.boundsValid || !sameVector(a.boundsMin, b.boundsMin) ||
        !sameVector(a.boundsMax, b.boundsMax))
        return differ("bounds");
    return true;
}

} // namespace korvid::testing
