#pragma once
// lib3ds meshes built in memory as lib3ds holds them after reading a file: points, faces
// with material names and smoothing groups, texels, and the face normals lib3ds computes
// while it reads a mesh.

#include <lib3ds/mesh.h>
#include <lib3ds/vector.h>

#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace korvid::testing {

struct MeshRelease {
    void operator()(Lib3dsMesh* mesh) const { lib3ds_mesh_free(mesh); }
};
using LibMesh = std::unique_ptr<Lib3dsMesh, MeshRelease>;

struct FaceSpec {
    uint16_t a, b, c;
    const char* material;
    uint32_t smoothing;
};

using Point = std::array<float, 3>;

inline LibMesh makeMesh(const char* name, const std::vector<Point>& points,
                        const std::vector<FaceSpec>& faces) {
    LibMesh mesh(lib3ds_mesh_new(name));
    if (!points.empty())
        lib3ds_mesh_new_point_list(mesh.get(), uint32_t(points.size()));
    for (size_t i = 0; i < points.size(); ++i)
        std::memcpy(mesh->pointL[i].pos, points[i].data(), sizeof(Lib3dsVector));
    if (!faces.empty())
        lib3ds_mesh_new_face_list(mesh.get(), uint32_t(faces.size()));
    for (size_t i = 0; i < faces.size(); ++i) {
        Lib3dsFace& f = mesh->faceL[i];
        f.points[0] = faces[i].a, f.points[1] = faces[i].b, f.points[2] = faces[i].c;
        std::strncpy(f.material, faces[i].material, sizeof f.material - 1);
        f.smoothing = faces[i].smoothing;
        lib3ds_vector_normal(f.normal, mesh->pointL[f.points[0]].pos, mesh->pointL[f.points[1]].pos,
                             mesh->pointL[f.points[2]].pos);
    }
    return mesh;
}

// A torus of rings x sides points, two triangles per quad, seen from outside; with
// `twoSided` every triangle is present a second time turned inward. The two halves of the
// rings carry the materials "paint" and "metal", and the sides fall into four smoothing
// bands, so the mesh has material seams and creases.
inline LibMesh makeTorus(int rings, int sides, bool twoSided) {
    std::vector<Point> points;
    for (int r = 0; r < rings; ++r)
        for (int s = 0; s < sides; ++s) {
            const double u = 2 * M_PI * r / rings, v = 2 * M_PI * s / sides;
            const double d = 3.0 + std::cos(v);
            points.push_back({float(d * std::cos(u)), float(d * std::sin(u)), float(std::sin(v))});
        }
    std::vector<FaceSpec> faces;
    for (int r = 0; r < rings; ++r)
        for (int s = 0; s < sides; ++s) {
            const auto at = [&](int dr, int ds) {
                return uint16_t((r + dr) % rings * sides + (s + ds) % sides);
            };
            const char* material = r < rings / 2 ? "paint" : "metal";
            const uint32_t smoothing = 1u << (4 * s / sides);
            faces.push_back({at(0, 0), at(1, 0), at(1, 1), material, smoothing});
            faces.push_back({at(0, 0), at(1, 1), at(0, 1), material, smoothing});
            if (twoSided) {
                faces.push_back({at(0, 0), at(1, 1), at(1, 0), material, smoothing << 8});
                faces.push_back({at(0, 0), at(0, 1), at(1, 1), material, smoothing << 8});
            }
        }
    return makeMesh("torus", points, faces);
}

} // namespace korvid::testing
