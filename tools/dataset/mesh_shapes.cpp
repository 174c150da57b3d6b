#include "mesh_shapes.hpp"
#include "engine/math/elementary.hpp"

#include <cmath>

namespace dataset {

namespace {

constexpr float twoPi = 6.28318531f;
constexpr float onAxis = 1e-4f;

} // namespace

void addLathe(MeshData& mesh, int columns, int rows,
              const std::function<ProfilePoint(float t)>& profile, const std::string& material,
              uint32_t smoothing, float squash, Vec3 origin) {
    // Rings of points, or a single point where the profile touches the axis.
    std::vector<std::vector<int>> rings;
    for (int j = 0; j <= rows; ++j) {
        const float t = float(j) / float(rows);
        const ProfilePoint p = profile(t);
        std::vector<int> ring;
        if (p.radius < onAxis) {
            ring.push_back(mesh.addPoint(origin + Vec3{0, 0, p.z}, 0.5f, t));
        } else {
            for (int i = 0; i < columns; ++i) {
                const float a = twoPi * float(i) / float(columns);
                const Vec3 q{korvid::cos(a) * p.radius, korvid::sin(a) * p.radius * squash, p.z};
                ring.push_back(mesh.addPoint(origin + q, float(i) / float(columns), t));
            }
        }
        rings.push_back(ring);
    }
    for (int j = 0; j < rows; ++j) {
        const std::vector<int>& low = rings[size_t(j)];
        const std::vector<int>& high = rings[size_t(j + 1)];
        for (int i = 0; i < columns; ++i) {
            const int next = (i + 1) % columns;
            if (low.size() == 1 && high.size() == 1)
                break;
            if (low.size() == 1)
                mesh.addTriangle(low[0], high[size_t(next)], high[size_t(i)], material, smoothing);
            else if (high.size() == 1)
                mesh.addTriangle(low[size_t(i)], low[size_t(next)], high[0], material, smoothing);
            else
                mesh.addQuad(low[size_t(i)], low[size_t(next)], high[size_t(next)], high[size_t(i)],
                             material, smoothing);
        }
    }
}

void addTube(MeshData& mesh, int segments, int sides, const std::function<Vec3(float s)>& path,
             const std::function<float(float s)>& radius, bool closed, const std::string& material,
             uint32_t smoothing, float uRepeat) {
    // Tangents by central differences; the first normal is any perpendicular, later ones
    // are the previous normal made perpendicular to the new tangent (parallel transport).
    auto tangent = [&](float s) {
        const float h = 0.5f / float(segments);
        return normalised(path(s + h) - path(s - h));
    };
    std::vector<Vec3> tangents, normals;
    Vec3 t0 = tangent(0.0f);
    Vec3 normal = normalised(std::fabs(t0.z) < 0.9f ? cross(t0, {0, 0, 1}) : cross(t0, {1, 0, 0}));
    for (int j = 0; j <= segments; ++j) {
        const Vec3 t = tangent(float(j) / float(segments));
        normal = normalised(normal - t * dot(normal, t));
        tangents.push_back(t);
        normals.push_back(normal);
    }
    // Round a closed curve the carried frame comes back turned; spread the opposite turn
    // along the tube so that the last ring meets the first.
    float mismatch = 0.0f;
    if (closed) {
        const Vec3 end = normals.back(), start = normals.front(), t = tangents.front();
        mismatch = korvid::atan2(dot(cross(end, start), t), dot(end, start));
    }
    const int first = int(mesh.points.size());
    for (int j = 0; j <= segments; ++j) {
        const float s = float(j) / float(segments);
        const Vec3 t = tangents[size_t(j)];
        const float turn = mismatch * s;
        const Vec3 n0 = normals[size_t(j)], b0 = cross(t, n0);
        const Vec3 n = n0 * korvid::cos(turn) + b0 * korvid::sin(turn);
        const Vec3 b = cross(t, n);
        const Vec3 centre = path(s);
        for (int i = 0; i <= sides; ++i) {
            const float a = twoPi * float(i) / float(sides);
            const Vec3 offset = n * korvid::cos(a) + b * korvid::sin(a);
            mesh.addPoint(centre + offset * radius(s), s * uRepeat, float(i) / float(sides));
        }
    }
    const int stride = sides + 1;
    for (int j = 0; j < segments; ++j)
        for (int i = 0; i < sides; ++i) {
            const int a = first + j * stride + i;
            // Around (from n toward b = t x n) then along t: (t x n) x t = n, outward.
            mesh.addQuad(a, a + 1, a + stride + 1, a + stride, material, smoothing);
        }
}

} // namespace dataset
