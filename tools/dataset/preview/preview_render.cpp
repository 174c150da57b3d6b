#include "preview_render.hpp"

#include "../art.hpp"

#include <lib3ds/camera.h>
#include <lib3ds/file.h>
#include <lib3ds/light.h>
#include <lib3ds/matrix.h>
#include <lib3ds/mesh.h>
#include <lib3ds/node.h>
#include <lib3ds/vector.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace dataset {

namespace {

// The show's materials: ramps from colour A to colour B in `levels` steps, over a
// texture's palette when one is named. Colours on 0..255.
struct Material {
    const char* texture; // null for plain ramps
    float a[4], b[4];
    int levels;
    bool fade;
};

const std::map<std::string, Material>& materials() {
    static const std::map<std::string, Material> table = {
        {"cartoonwhite", {nullptr, {64, 64, 64, 510}, {160, 160, 128, 510}, 64, false}},
        {"cartoonred", {nullptr, {32, 48, 48, 255}, {128, 128, 160, 255}, 64, false}},
        {"cartoonblack", {nullptr, {0, 0, 0, 255}, {255, 0, 0, 255}, 64, false}},
        {"realpants", {nullptr, {64, 64, 64, 255}, {255, 255, 255, 255}, 4, false}},
        {"realsaale", {nullptr, {0, 0, 0, 255}, {255, 255, 255, 255}, 4, false}},
        {"realshoe", {"realshoe", {64, 64, 64, 255}, {255, 255, 255, 255}, 4, false}},
        {"grass", {"grass", {0, 0, 0, 255}, {255, 255, 255, 255}, 64, false}},
        {"darkpants", {nullptr, {0, 0, 0, 0}, {32, 32, 32, 255}, 64, true}},
        {"darksaale", {nullptr, {0, 0, 0, 0}, {0, 0, 0, 255}, 64, true}},
        {"darkshoe", {nullptr, {0, 0, 0, 0}, {64, 48, 32, 255}, 64, true}},
        {"darkgrass", {"darkground", {0, 0, 0, 255}, {64, 64, 64, 255}, 64, false}},
        {"ruklogo", {"ruklogo_tex", {255, 255, 255, 0}, {255, 255, 255, 255}, 64, false}},
        {"tovik", {nullptr, {0, 0, 0, 255}, {255, 255, 255, 255}, 4, false}},
        {"kroll", {"darkground", {64, 64, 64, 255}, {510, 510, 510, 510}, 64, false}},
        {"kroll2", {"grass", {64, 64, 64, 255}, {510, 510, 510, 510}, 64, false}},
    };
    return table;
}

const Indexed& texture(const std::string& name) {
    static std::map<std::string, std::unique_ptr<Indexed>> loaded;
    std::unique_ptr<Indexed>& slot = loaded[name];
    if (!slot) {
        if (name == "realshoe")
            slot.reset(new Indexed(leatherTexture()));
        if (name == "grass")
            slot.reset(new Indexed(grassTexture()));
        if (name == "darkground")
            slot.reset(new Indexed(darkGroundTexture()));
        if (name == "ruklogo_tex")
            slot.reset(new Indexed(logoTexture()));
    }
    return *slot;
}

Vec3 swapped(const float* v) {
    return {v[1], v[0], v[2]};
}

// A row-major 3x4 transform acting on column vectors.
struct Affine {
    float m[3][4];
    Vec3 apply(Vec3 p) const {
        return {m[0][0] * p.x + m[0][1] * p.y + m[0][2] * p.z + m[0][3],
                m[1][0] * p.x + m[1][1] * p.y + m[1][2] * p.z + m[1][3],
                m[2][0] * p.x + m[2][1] * p.y + m[2][2] * p.z + m[2][3]};
    }
    Vec3 turn(Vec3 p) const {
        return {m[0][0] * p.x + m[0][1] * p.y + m[0][2] * p.z,
                m[1][0] * p.x + m[1][1] * p.y + m[1][2] * p.z,
                m[2][0] * p.x + m[2][1] * p.y + m[2][2] * p.z};
    }
};

// The engine's camera and spotlight frame: look along d with roll r, world up +z.
void lookAlong(Vec3 d, float roll, Vec3& right, Vec3& down, Vec3& forward) {
    const Vec3 f = normalised(d);
    const Vec3 r = normalised(cross(f, {0, 0, -1}));
    const Vec3 u = normalised(cross(r, f));
    const float c = std::cos(roll), s = std::sin(roll);
    // Columns of B times the roll matrix rows (c, s, 0), (-s, c, 0), (0, 0, 1).
    right = r * c + u * (-s);
    down = r * s + u * c;
    forward = f;
}

Affine viewOf(Vec3 eye, Vec3 right, Vec3 down, Vec3 forward) {
    Affine v{};
    const Vec3 axes[3] = {normalised(right), normalised(down), normalised(forward)};
    for (int i = 0; i < 3; ++i) {
        v.m[i][0] = axes[i].x;
        v.m[i][1] = axes[i].y;
        v.m[i][2] = axes[i].z;
        v.m[i][3] = -dot(axes[i], eye);
    }
    return v;
}

Lib3dsNode* findNode(Lib3dsNode* first, const char* name, Lib3dsNodeTypes type) {
    for (Lib3dsNode* n = first; n; n = n->next) {
        if (n->type == type && std::string(n->name) == name)
            return n;
        if (Lib3dsNode* child = findNode(n->childs, name, type))
            return child;
    }
    return nullptr;
}

struct Light {
    Vec3 position; // camera space
    float colour;  // intensity scale: mean of the channels times 256 times the multiplier
    bool spot = false;
    Vec3 axis;
    float hotspot = 0, falloff = 0, inner = 0, outer = 0;
};

struct Vertex {
    Vec3 camera;
    float sx, sy, iz;
};

struct Target {
    Canvas& colour;
    std::vector<float>& depth;
};

// Scan-converts one triangle with per-vertex attributes (brightness s, 1/z, u/z, v/z).
void drawTriangle(Target& t, const Vertex (&v)[3], const float (&s)[3], const float (&tu)[3],
                  const float (&tv)[3], const Material& m, const Indexed* image,
                  const float (&nz)[3]) {
    const int w = t.colour.width(), h = t.colour.height();
    const float x0 = std::min({v[0].sx, v[1].sx, v[2].sx}),
                x1 = std::max({v[0].sx, v[1].sx, v[2].sx});
    const float y0 = std::min({v[0].sy, v[1].sy, v[2].sy}),
                y1 = std::max({v[0].sy, v[1].sy, v[2].sy});
    const int ix0 = std::max(0, int(std::floor(x0))), ix1 = std::min(w - 1, int(std::ceil(x1)));
    const int iy0 = std::max(0, int(std::floor(y0))), iy1 = std::min(h - 1, int(std::ceil(y1)));
    const float area =
        (v[1].sx - v[0].sx) * (v[2].sy - v[0].sy) - (v[2].sx - v[0].sx) * (v[1].sy - v[0].sy);
    if (std::fabs(area) < 1e-6f)
        return;
    const int levels = m.texture ? (1 << int(std::floor(std::log2(float(m.levels))))) : m.levels;
    for (int y = iy0; y <= iy1; ++y)
        for (int x = ix0; x <= ix1; ++x) {
            const float px = float(x) + 0.5f, py = float(y) + 0.5f;
            float b[3];
            for (int k = 0; k < 3; ++k) {
                const Vertex& p = v[(k + 1) % 3];
                const Vertex& q = v[(k + 2) % 3];
                b[k] = ((q.sx - p.sx) * (py - p.sy) - (q.sy - p.sy) * (px - p.sx)) / area;
            }
            if (b[0] < 0 || b[1] < 0 || b[2] < 0)
                continue;
            const float iz = b[0] * v[0].iz + b[1] * v[1].iz + b[2] * v[2].iz;
            float& depth = t.depth[size_t(y) * size_t(w) + size_t(x)];
            if (iz <= depth)
                continue;
            const float bright = b[0] * s[0] + b[1] * s[1] + b[2] * s[2];
            const int level = std::min(levels - 1, std::max(0, int(bright)));
            const float k = levels > 1 ? float(level) / float(levels - 1) : 0.0f;
            float c[4];
            for (int i = 0; i < 4; ++i)
                c[i] = m.a[i] + (m.b[i] - m.a[i]) * k;
            if (image) {
                const float u = (b[0] * tu[0] + b[1] * tu[1] + b[2] * tu[2]) / iz;
                const float vv = (b[0] * tv[0] + b[1] * tv[1] + b[2] * tv[2]) / iz;
                const int texX = int(std::floor(u * float(image->width))) & (image->width - 1);
                const int texY = int(std::floor(vv * float(image->height))) & (image->height - 1);
                const uint8_t index = image->indices[size_t(texY * image->width + texX)];
                const uint32_t p = image->palette[index];
                const float texel[4] = {float(p >> 16 & 255), float(p >> 8 & 255), float(p & 255),
                                        index == 250 && m.a[3] == 0 ? 0.0f : 255.0f};
                for (int i = 0; i < 4; ++i)
                    c[i] = c[i] * texel[i] / 255.0f;
            }
            Rgba out{std::min(255.0f, c[0]) / 255.0f, std::min(255.0f, c[1]) / 255.0f,
                     std::min(255.0f, c[2]) / 255.0f, std::min(255.0f, c[3]) / 255.0f};
            if (m.fade) {
                const float f = std::fabs(b[0] * nz[0] + b[1] * nz[1] + b[2] * nz[2]) * 256.0f;
                blendOver(t.colour.at(x, y), out, (255.0f - std::min(255.0f, f)) / 256.0f);
                continue;
            }
            depth = iz;
            blendOver(t.colour.at(x, y), out);
        }
}

void drawNode(Target& t, Lib3dsFile* file, Lib3dsNode* node, const Affine& view, float focal,
              float cx, float cy, const std::vector<Light>& lights, const Shot& shot) {
    Lib3dsMesh* mesh = lib3ds_file_mesh_by_name(file, node->name);
    if (!mesh || mesh->faces == 0)
        return;
    Lib3dsMatrix world;
    lib3ds_matrix_copy(world, node->matrix);
    lib3ds_matrix_translate_xyz(world, -node->data.object.pivot[0], -node->data.object.pivot[1],
                                -node->data.object.pivot[2]);
    std::vector<Lib3dsVector> normals(size_t(mesh->faces) * 3);
    lib3ds_mesh_calculate_normals(mesh, normals.data());
    const bool isGround = std::string(node->name) == "Bakke";
    for (unsigned f = 0; f < mesh->faces; ++f) {
        const Lib3dsFace& face = mesh->faceL[f];
        std::string name = face.material;
        if (shot.materials.count(name))
            name = shot.materials.at(name);
        const auto found = materials().find(name);
        if (found == materials().end())
            continue;
        const Material& m = found->second;
        Vertex v[3];
        float s[3], tu[3], tv[3], nz[3];
        for (int k = 0; k < 3; ++k) {
            Lib3dsVector p, n, zero = {0, 0, 0}, origin;
            lib3ds_vector_transform(p, world, mesh->pointL[face.points[k]].pos);
            lib3ds_vector_transform(n, world, normals[f * 3 + unsigned(k)]);
            lib3ds_vector_transform(origin, world, zero);
            lib3ds_vector_sub(n, n, origin);
            const Vec3 cam = view.apply(swapped(p));
            const Vec3 normal = normalised(view.turn(swapped(n)));
            const float w = cam.z < 1.0f ? 1.0f : 1.0f / cam.z;
            v[k] = {cam, w * cam.x * focal + cx, focal * cam.y * w + cy, w};
            float light = 0.0f;
            for (const Light& l : lights) {
                const Vec3 d = normalised(cam - l.position);
                float c = l.colour;
                if (l.outer > 0.0f) {
                    const float d2 = dot(l.position - cam, l.position - cam);
                    if (d2 > l.outer * l.outer)
                        continue;
                    if (d2 > l.inner * l.inner)
                        c *= 1.0f - (std::sqrt(d2) - l.inner) / (l.outer - l.inner);
                }
                if (l.spot) {
                    const float a =
                        2.0f * std::acos(std::max(-1.0f, std::min(1.0f, dot(l.axis, d))));
                    if (a >= l.falloff)
                        continue;
                    if (a >= l.hotspot)
                        c *= 1.0f - (a - l.hotspot) / (l.falloff - l.hotspot);
                }
                const float k2 = -dot(d, normal);
                if (k2 > 0.0f)
                    light += c * k2;
            }
            const int levels =
                m.texture ? (1 << int(std::floor(std::log2(float(m.levels))))) : m.levels;
            s[k] = light * float(levels) / 256.0f;
            const float u = mesh->texels ? mesh->texelL[face.points[k]][0] : 0.0f;
            const float vv = (mesh->texels ? -mesh->texelL[face.points[k]][1] : 0.0f) +
                             (isGround ? shot.groundScroll : 0.0f);
            tu[k] = u * w;
            tv[k] = vv * w;
            nz[k] = normal.z;
        }
        if (v[0].camera.z < 0 && v[1].camera.z < 0 && v[2].camera.z < 0)
            continue;
        const float cross =
            (v[2].sx - v[0].sx) * (v[2].sy - v[1].sy) - (v[2].sy - v[0].sy) * (v[2].sx - v[1].sx);
        if (cross >= 0.0f)
            continue; // back-facing, one-sided
        const Indexed* image = m.texture ? &texture(m.texture) : nullptr;
        drawTriangle(t, v, s, tu, tv, m, image, nz);
    }
}

void collect(Lib3dsNode* first, std::vector<Lib3dsNode*>& out) {
    for (Lib3dsNode* n = first; n; n = n->next) {
        if (n->type == LIB3DS_OBJECT_NODE && std::string(n->name) != "$$$DUMMY")
            out.push_back(n);
        collect(n->childs, out);
    }
}

} // namespace

Canvas renderShot(const Shot& shot, Lib3dsFile* file, int width, int height) {
    lib3ds_file_eval(file, shot.frame);
    for (const auto& [name, position] : shot.nodePositions)
        if (Lib3dsNode* n = findNode(file->nodes, name.c_str(), LIB3DS_OBJECT_NODE)) {
            // The show writes engine positions; the file's node matrix holds file axes.
            n->matrix[3][0] = position.y;
            n->matrix[3][1] = position.x;
            n->matrix[3][2] = position.z;
        }
    Lib3dsNode* camera = findNode(file->nodes, shot.camera.c_str(), LIB3DS_CAMERA_NODE);
    Lib3dsNode* aim = findNode(file->nodes, shot.camera.c_str(), LIB3DS_TARGET_NODE);
    Canvas canvas(width, height, shot.clear);
    if (!camera || !aim)
        return canvas;
    const Vec3 eye = swapped(camera->data.camera.pos) + shot.positionChange;
    const Vec3 target = swapped(aim->data.target.pos);
    const float roll = shot.roll != 0.0f ? shot.roll : camera->data.camera.roll * 0.017453292f;
    const float fov = camera->data.camera.fov * 0.017453292f + shot.fovChange;
    Vec3 right, down, forward;
    lookAlong(target - eye, roll, right, down, forward);
    const Affine view = viewOf(eye, right, down, forward);
    const float focal = float(width) * 0.5f / std::tan(fov * 0.5f);
    const float cx = float(width) * (0.5f + shot.centreOffset.x);
    const float cy = float(height) * (0.5f + shot.centreOffset.y);

    std::vector<Light> lights;
    for (Lib3dsLight* l = file->lights; l; l = l->next) {
        Lib3dsNode* node = findNode(file->nodes, l->name, LIB3DS_LIGHT_NODE);
        if (!node || l->off)
            continue;
        Light light;
        light.position = view.apply(swapped(node->data.light.pos));
        const float* c = node->data.light.col;
        light.colour = (c[0] + c[1] + c[2]) * 256.0f / 3.0f * l->multiplier;
        if (l->spot_light) {
            Lib3dsNode* spotAim = findNode(file->nodes, l->name, LIB3DS_SPOT_NODE);
            Vec3 r, d, f;
            lookAlong(swapped(spotAim->data.spot.pos) - swapped(node->data.light.pos), 0.0f, r, d,
                      f);
            light.spot = true;
            light.axis = normalised(view.turn(f));
            light.hotspot = node->data.light.hotspot * 0.017453292f;
            light.falloff = node->data.light.falloff * 0.017453292f;
        }
        if (shot.spotRanges && l->spot_light) {
            light.inner = l->inner_range;
            light.outer = l->outer_range;
        }
        lights.push_back(light);
    }

    std::vector<Lib3dsNode*> nodes;
    collect(file->nodes, nodes);
    std::vector<float> depth(size_t(width) * size_t(height), 0.0f);
    Target t{canvas, depth};
    if (shot.groundFirst)
        for (Lib3dsNode* n : nodes)
            if (std::string(n->name) == "Bakke")
                drawNode(t, file, n, view, focal, cx, cy, lights, shot);
    std::fill(depth.begin(), depth.end(), 0.0f);
    for (Lib3dsNode* n : nodes)
        if (!shot.groundFirst || std::string(n->name) != "Bakke")
            drawNode(t, file, n, view, focal, cx, cy, lights, shot);
    return canvas;
}

} // namespace dataset
