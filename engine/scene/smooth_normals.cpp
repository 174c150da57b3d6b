#include "engine/scene/smooth_normals.hpp"

#include <lib3ds/vector.h>

#include <cmath>
#include <cstring>
#include <unordered_map>

namespace korvid {

namespace {

// The faces around each point, most recently listed corner first: lib3ds prepends to a
// list per point while it walks the faces, and the order of the sum follows that list.
struct FacesAroundPoints {
    std::vector<uint32_t> start; // per point, into `faces`; one extra entry at the end
    std::vector<uint32_t> faces;

    explicit FacesAroundPoints(const Lib3dsMesh& mesh)
        : start(mesh.points + 1, 0), faces(size_t(mesh.faces) * 3) {
        for (uint32_t f = 0; f < mesh.faces; ++f)
            for (int k = 0; k < 3; ++k)
                ++start[mesh.faceL[f].points[k] + 1];
        for (uint32_t p = 0; p < mesh.points; ++p)
            start[p + 1] += start[p];
        std::vector<uint32_t> fill(start.begin() + 1, start.end());
        for (uint32_t f = 0; f < mesh.faces; ++f)
            for (int k = 0; k < 3; ++k)
                faces[--fill[mesh.faceL[f].points[k]]] = f;
    }
};

// The sum of the distinct face normals around `point` whose faces share a smoothing group
// with `smoothing`, normalised. A face normal counts once even when several faces have it
// (the same test lib3ds makes, within 1e-5 of a unit dot product).
void smoothSum(const Lib3dsMesh& mesh, const FacesAroundPoints& around, uint32_t point,
               uint32_t smoothing, std::vector<LibVector>& seen, Lib3dsVector out) {
    out[0] = out[1] = out[2] = 0.0f;
    seen.clear();
    for (uint32_t i = around.start[point]; i < around.start[point + 1]; ++i) {
        Lib3dsFace& other = mesh.faceL[around.faces[i]];
        bool found = false;
        for (LibVector& n : seen)
            if (std::fabs(lib3ds_vector_dot(n.v, other.normal) - 1.0) < 1e-5) {
                found = true;
                break;
            }
        if (found || !(smoothing & other.smoothing))
            continue;
        lib3ds_vector_add(out, out, other.normal);
        seen.emplace_back();
        std::memcpy(seen.back().v, other.normal, sizeof(Lib3dsVector));
    }
    lib3ds_vector_normalize(out);
}

} // namespace

void calculateSmoothNormals(const Lib3dsMesh& mesh, std::vector<LibVector>& normals) {
    normals.resize(size_t(mesh.faces) * 3);
    if (!mesh.faces)
        return;
    const FacesAroundPoints around(mesh);
    // The sum depends only on the point and the face's smoothing groups.
    std::unordered_map<uint64_t, LibVector> sums;
    sums.reserve(mesh.points);
    std::vector<LibVector> seen;
    for (uint32_t f = 0; f < mesh.faces; ++f) {
        Lib3dsFace& face = mesh.faceL[f];
        for (int k = 0; k < 3; ++k) {
            float* n = normals[size_t(f) * 3 + k].v;
            if (!face.smoothing) {
                std::memcpy(n, face.normal, sizeof(Lib3dsVector));
                lib3ds_vector_normalize(n);
                continue;
            }
            const uint64_t key = uint64_t(face.points[k]) << 32 | face.smoothing;
            auto cached = sums.find(key);
            if (cached == sums.end()) {
                LibVector sum;
                smoothSum(mesh, around, face.points[k], face.smoothing, seen, sum.v);
                cached = sums.emplace(key, sum).first;
            }
            std::memcpy(n, cached->second.v, sizeof(Lib3dsVector));
        }
    }
}

} // namespace korvid
