#pragma once
// Meshes as the 3DS format stores them: points with one texture coordinate each, and
// triangles naming a material and smoothing groups. Corners that must not share a
// smoothed normal or a texture coordinate need separate points.

#include "geometry.hpp"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace dataset {

struct MeshFace {
    uint16_t a = 0, b = 0, c = 0; // counter-clockwise seen from outside
    std::string material;
    uint32_t smoothing = 1; // 0: flat
};

class MeshData {
public:
    explicit MeshData(std::string name) : name(std::move(name)) {}

    int addPoint(Vec3 p, float u = 0.0f, float v = 0.0f);
    void addTriangle(int a, int b, int c, const std::string& material, uint32_t smoothing);
    // a b c d counter-clockwise; split along a-c.
    void addQuad(int a, int b, int c, int d, const std::string& material, uint32_t smoothing);
    // Every point of `other` and its faces, appended.
    void append(const MeshData& other);
    // Points moved by `f` (texture coordinates kept).
    void transform(const std::function<Vec3(Vec3)>& f);
    int triangleCount() const { return int(faces.size()); }

    std::string name;
    std::vector<Vec3> points;
    std::vector<float> u, v;
    std::vector<MeshFace> faces;
};

// A parametric surface: (columns + 1) x (rows + 1) points at s = i / columns, t = j / rows.
// When `wrapS` is set the last column shares the first column's points (a closed ring
// without a texture seam); quads are counter-clockwise when the surface's outside faces
// the direction of dP/ds x dP/dt.
struct Surface {
    int columns = 16, rows = 8;
    bool wrapS = false;
    std::function<Vec3(float s, float t)> position;
    std::function<void(float s, float t, float& u, float& v)> texture; // optional
    std::string material;
    uint32_t smoothing = 1;
};
void addSurface(MeshData& mesh, const Surface& surface);

// A flat cap closing a ring of points (in order, counter-clockwise seen from outside).
void addCap(MeshData& mesh, const std::vector<int>& ring, Vec3 centre, const std::string& material,
            uint32_t smoothing = 0);

// An axis-aligned box centred on `centre`, flat shaded, faces facing out.
void addBox(MeshData& mesh, Vec3 centre, Vec3 size, const std::string& material);

} // namespace dataset
