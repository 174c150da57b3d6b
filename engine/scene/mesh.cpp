#include "engine/scene/mesh.hpp"
#include "engine/scene/exact_key.hpp"

#include <new>
#include <unordered_map>

namespace korvid {

void Mesh::collectResourceRefs(ResourceRefSet& refs) {
    refs.clear();
    for (MeshGroup& group : groups)
        refs[&group.material] = true;
}

// The box always contains the object's origin: it starts at (0, 0, 0).
void Mesh::computeBounds() {
    boundsValid = 1;
    boundsMin = boundsMax = Vector{};
    for (const Vector& v : vertices) {
        const float c[3] = {v.x, v.y, v.z};
        float* lo[3] = {&boundsMin.x, &boundsMin.y, &boundsMin.z};
        float* hi[3] = {&boundsMax.x, &boundsMax.y, &boundsMax.z};
        for (int axis = 0; axis < 3; ++axis) {
            if (c[axis] > *hi[axis])
                *hi[axis] = c[axis];
            else if (c[axis] < *lo[axis])
                *lo[axis] = c[axis];
        }
    }
}

// An edge is soft only between two triangles of one group that share both normals; it is
// hard when it borders one triangle, separates two groups or creases the normals. Edges are
// matched by their unordered vertex pair: the map holds the one edge of each pair, which
// is the edge a search through the list in order would find first.
Error Mesh::buildEdges() {
    try {
        std::vector<Edge> built;
        std::unordered_map<uint64_t, uint32_t> byPair;
        size_t triangles = 0;
        for (const MeshGroup& group : groups)
            triangles += group.triangles.size();
        byPair.reserve(triangles * 3 / 2 + 3);
        built.reserve(triangles * 3 / 2 + 3);
        for (uint32_t g = 0; g < groups.size(); ++g) {
            const MeshGroup& group = groups[g];
            for (uint32_t t = 0; t < group.triangles.size(); ++t) {
                uint32_t normal[3], vertex[3];
                for (int k = 0; k < 3; ++k) {
                    normal[k] = group.corners[group.triangles[t].corner[k]].normal;
                    vertex[k] = normals[normal[k]].vertex;
                }
                for (int k = 0; k < 3; ++k) {
                    const int k2 = (k + 1) % 3;
                    const uint32_t a = vertex[k], b = vertex[k2];
                    const uint64_t pair = a < b ? uint64_t(a) << 32 | b : uint64_t(b) << 32 | a;
                    auto [slot, added] = byPair.emplace(pair, uint32_t(built.size()));
                    if (added) {
                        Edge e;
                        e.vertexA = a, e.vertexB = b;
                        e.normalA = normal[k], e.normalB = normal[k2];
                        e.triangle1 = t, e.group1 = g;
                        e.faceCount = 1;
                        e.hard = true;
                        built.push_back(e);
                        continue;
                    }
                    Edge& e = built[slot->second];
                    e.triangle2 = t, e.group2 = g;
                    e.faceCount = 2;
                    const bool sameNormals = (normal[k] == e.normalA && normal[k2] == e.normalB) ||
                                             (normal[k] == e.normalB && normal[k2] == e.normalA);
                    e.hard = g != e.group1 || !sameNormals;
                }
            }
        }
        edges.assign(built.begin(), built.end());
    } catch (const std::bad_alloc&) {
        return errMemory;
    }
    return errNone;
}

} // namespace korvid
