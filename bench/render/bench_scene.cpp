#include "bench_scene.hpp"

#include "engine/link/link.hpp"
#include "engine/render/gouraud_ramp_material.hpp"
#include "engine/render/texture_ramp_material.hpp"
#include "engine/scene/mesh.hpp"

#include <cmath>
#include <functional>
#include <string>

namespace korvid::bench {

namespace {

constexpr float pi = 3.14159265f;

// A surface over (s, t) in [0, 1]^2: its point and outward normal.
using SurfaceFunction = std::function<void(float s, float t, Vector& p, Vector& n)>;

// A cols x rows grid of quads, two triangles each, smooth normals, one material. Wrapped
// axes share their seam vertices, so the seam is a soft edge; texture coordinates repeat
// `repeat` times along each axis. Seen with s growing to the right and t downwards, the
// triangles face the viewer.
Mesh* gridMesh(int cols, int rows, bool wrapCols, bool wrapRows, float repeat,
               const SurfaceFunction& surface, const std::string& material) {
    Mesh* mesh = new Mesh;
    const int vCols = wrapCols ? cols : cols + 1, vRows = wrapRows ? rows : rows + 1;
    for (int j = 0; j < vRows; ++j)
        for (int i = 0; i < vCols; ++i) {
            Vector p, n;
            surface(float(i) / float(cols), float(j) / float(rows), p, n);
            mesh->vertices.push_back(p);
            mesh->normals.push_back(VertexNormal{uint32_t(mesh->vertices.size() - 1), n});
        }
    MeshGroup group;
    group.material = ResourceRef(kindMaterial, material);
    for (int j = 0; j <= rows; ++j)
        for (int i = 0; i <= cols; ++i) {
            const int vi = wrapCols ? i % cols : i, vj = wrapRows ? j % rows : j;
            group.corners.push_back(
                Corner{uint32_t(vj * vCols + vi),
                       Point2{float(i) / float(cols) * repeat, float(j) / float(rows) * repeat},
                       {}});
        }
    for (int j = 0; j < rows; ++j)
        for (int i = 0; i < cols; ++i) {
            const uint32_t c00 = uint32_t(j * (cols + 1) + i), c10 = c00 + 1;
            const uint32_t c01 = c00 + uint32_t(cols + 1), c11 = c01 + 1;
            group.triangles.push_back(Triangle{{c00, c01, c10}});
            group.triangles.push_back(Triangle{{c01, c11, c10}});
        }
    mesh->groups.push_back(std::move(group));
    mesh->computeBounds();
    mesh->buildEdges();
    return mesh;
}

// A ring around the z axis, seen from -z: s runs round the ring, t round the tube.
SurfaceFunction torus(float major, float minor) {
    return [=](float s, float t, Vector& p, Vector& n) {
        const float a = 2.0f * pi * s, b = 2.0f * pi * t;
        n = Vector{std::cos(b) * std::cos(a), std::cos(b) * std::sin(a), -std::sin(b)};
        p = Vector{major * std::cos(a) + minor * n.x, major * std::sin(a) + minor * n.y,
                   minor * n.z};
    };
}

// A rippled sheet in the xy plane facing -z, x right and y down.
SurfaceFunction backdrop(float width, float height) {
    return [=](float s, float t, Vector& p, Vector& n) {
        const float x = (s - 0.5f) * width, y = (t - 0.5f) * height;
        const float k = 2.0f * pi * 3.0f / width, amplitude = 0.6f;
        const float z = amplitude * std::sin(k * x) * std::cos(k * y);
        p = Vector{x, y, z};
        const float dzdx = amplitude * k * std::cos(k * x) * std::cos(k * y);
        const float dzdy = -amplitude * k * std::sin(k * x) * std::sin(k * y);
        n = normalised(Vector{dzdx, dzdy, -1.0f});
    };
}

// A 256x256 8-bit texture: rings and checks over a 256-colour palette.
Surface* texture() {
    Surface* s = new Surface;
    s->create(256, 256, storage8, true);
    std::vector<uint32_t> palette;
    for (uint32_t i = 0; i < 256; ++i)
        palette.push_back(0xFF000000u | (i << 16) | ((255 - i) << 8) | ((i * 7) & 255));
    s->setPalette(palette);
    uint8_t* texels = nullptr;
    int32_t pitch = 0;
    if (s->lock(texels, pitch) == errNone) {
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x)
                texels[y * pitch + x] =
                    uint8_t(((x ^ y) & 32 ? 128 : 0) +
                            ((x - 128) * (x - 128) + (y - 128) * (y - 128)) / 256 % 128);
        s->unlock();
    }
    s->buildMipmaps();
    return s;
}

template <class T>
T* attached(Node* parent, T* node, const std::string& name) {
    attach(parent, node, name);
    return node;
}

MeshNode* place(Scene& scene, const std::string& mesh, Vector position) {
    MeshNode* node = attached(&scene.root, new MeshNode, mesh);
    node->mesh = ResourceRef(kindMesh, mesh);
    node->rotation = Quaternion{0.0f, 0.0f, 0.0f, 1.0f};
    node->position = position;
    return node;
}

} // namespace

BenchScene::BenchScene(bool withGouraudMesh) {
    scene = new Scene;
    engine.addResource(scene, "bench");
    engine.addResource(texture(), "checks");
    engine.addResource(
        new TextureRampMaterial("checks", Colour{40, 40, 40, 255}, Colour{255, 255, 255, 255}, 64),
        "textured");
    engine.addResource(new GouraudRampMaterial(Colour{0, 0, 0, 255}, Colour{255, 160, 60, 255}, 64),
                       "gouraud");

    // 60 x 40 quads of backdrop and 60 x 44 of torus: 10,080 triangles.
    engine.addResource(gridMesh(60, 40, false, false, 4.0f, backdrop(36.0f, 27.0f), "textured"),
                       "backdrop");
    engine.addResource(gridMesh(60, 44, true, true, 2.0f, torus(4.0f, 1.6f), "textured"), "ring");
    place(*scene, "backdrop", Vector{0.0f, 0.0f, 22.0f});
    MeshNode* ring = place(*scene, "ring", Vector{0.0f, 0.0f, 14.0f});
    ring->rotation = Quaternion::fromAxisAngle(Vector{1.0f, 0.3f, 0.0f}, 0.9f);
    triangles = 2 * (60 * 40 + 60 * 44);
    if (withGouraudMesh) {
        // 125 x 80 quads: 20,000 triangles.
        engine.addResource(gridMesh(125, 80, true, true, 1.0f, torus(2.2f, 0.9f), "gouraud"),
                           "knot");
        MeshNode* knot = place(*scene, "knot", Vector{-3.0f, 1.5f, 10.0f});
        knot->rotation = Quaternion::fromAxisAngle(Vector{0.2f, 1.0f, 0.0f}, 1.1f);
        triangles += 2 * 125 * 80;
    }

    camera = attached(&scene->root, new CameraNode, "Camera01");
    camera->ownRotation = true;
    camera->rotation = Quaternion{0.0f, 0.0f, 0.0f, 1.0f};
    camera->fov = 1.2f;
    OmniLightNode* omni = attached(&scene->root, new OmniLightNode, "Omni01");
    omni->position = Vector{-6.0f, -8.0f, 2.0f};
    omni->colour = Colour{220, 220, 220, 1};
    SpotLightNode* spot = attached(&scene->root, new SpotLightNode, "Spot01");
    spot->ownRotation = true;
    spot->rotation = Quaternion{0.0f, 0.0f, 0.0f, 1.0f};
    spot->position = Vector{4.0f, 2.0f, 0.0f};
    spot->colour = Colour{256, 200, 120, 1};
    spot->hotspot = 0.5f;
    spot->falloff = 0.9f;
    scene->root.renderMode = 2;
    linkResources(engine);
}

} // namespace korvid::bench
