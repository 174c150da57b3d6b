#include "mesh_builder.hpp"

namespace dataset {

int MeshData::addPoint(Vec3 p, float tu, float tv) {
    points.push_back(p);
    u.push_back(tu);
    v.push_back(tv);
    return int(points.size()) - 1;
}

void MeshData::addTriangle(int a, int b, int c, const std::string& material, uint32_t smoothing) {
    faces.push_back({uint16_t(a), uint16_t(b), uint16_t(c), material, smoothing});
}

void MeshData::addQuad(int a, int b, int c, int d, const std::string& material,
                       uint32_t smoothing) {
    addTriangle(a, b, c, material, smoothing);
    addTriangle(a, c, d, material, smoothing);
}

void MeshData::append(const MeshData& other) {
    const int base = int(points.size());
    for (size_t i = 0; i < other.points.size(); ++i)
        addPoint(other.points[i], other.u[i], other.v[i]);
    for (const MeshFace& f : other.faces)
        addTriangle(base + f.a, base + f.b, base + f.c, f.material, f.smoothing);
}

void MeshData::transform(const std::function<Vec3(Vec3)>& f) {
    for (Vec3& p : points)
        p = f(p);
}

void addSurface(MeshData& mesh, const Surface& surface) {
    const int columns = surface.wrapS ? surface.columns : surface.columns + 1;
    const int first = int(mesh.points.size());
    for (int j = 0; j <= surface.rows; ++j)
        for (int i = 0; i < columns; ++i) {
            const float s = float(i) / float(surface.columns), t = float(j) / float(surface.rows);
            float tu = 0.0f, tv = 0.0f;
            if (surface.texture)
                surface.texture(s, t, tu, tv);
            mesh.addPoint(surface.position(s, t), tu, tv);
        }
    auto at = [&](int i, int j) { return first + j * columns + (i % columns); };
    for (int j = 0; j < surface.rows; ++j)
        for (int i = 0; i < surface.columns; ++i)
            mesh.addQuad(at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1), surface.material,
                         surface.smoothing);
}

void addCap(MeshData& mesh, const std::vector<int>& ring, Vec3 centre, const std::string& material,
            uint32_t smoothing) {
    // The cap gets points of its own so that its flat normal stays apart from the wall's.
    const int middle = mesh.addPoint(centre);
    std::vector<int> own;
    for (int index : ring)
        own.push_back(mesh.addPoint(mesh.points[size_t(index)]));
    for (size_t i = 0; i < own.size(); ++i)
        mesh.addTriangle(middle, own[i], own[(i + 1) % own.size()], material, smoothing);
}

void addBox(MeshData& mesh, Vec3 centre, Vec3 size, const std::string& material) {
    const Vec3 h = size * 0.5f;
    // Each face: a normal axis and two in-plane axes whose cross product points outward.
    const Vec3 axes[6][3] = {
        {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}},  {{-1, 0, 0}, {0, -1, 0}, {0, 0, 1}},
        {{0, 1, 0}, {-1, 0, 0}, {0, 0, 1}}, {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}},
        {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}},  {{0, 0, -1}, {1, 0, 0}, {0, -1, 0}}};
    for (const auto& axis : axes) {
        const Vec3 n{axis[0].x * h.x, axis[0].y * h.y, axis[0].z * h.z};
        const Vec3 a{axis[1].x * h.x, axis[1].y * h.y, axis[1].z * h.z};
        const Vec3 b{axis[2].x * h.x, axis[2].y * h.y, axis[2].z * h.z};
        const int p0 = mesh.addPoint(centre + n - a - b, 0, 0);
        const int p1 = mesh.addPoint(centre + n + a - b, 1, 0);
        const int p2 = mesh.addPoint(centre + n + a + b, 1, 1);
        const int p3 = mesh.addPoint(centre + n - a + b, 0, 1);
        mesh.addQuad(p0, p1, p2, p3, material, 0);
    }
}

} // namespace dataset
