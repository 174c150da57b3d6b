// The 3DS files themselves, read with lib3ds: sound geometry within budget, unique mesh
// names, light on every face (the renderer has no ambient term), and the 3D logo framed
// where the 2D logo takes over.

#include "data_files.hpp"

#include <lib3ds/file.h>
#include <lib3ds/light.h>
#include <lib3ds/matrix.h>
#include <lib3ds/mesh.h>
#include <lib3ds/node.h>
#include <lib3ds/vector.h>

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

const char* const sceneFiles[] = {"dame", "tovik", "boots", "wisplogo", "kroll"};

struct FileDeleter {
    void operator()(Lib3dsFile* f) const { lib3ds_file_free(f); }
};
using File = std::unique_ptr<Lib3dsFile, FileDeleter>;

File load(const std::string& name) {
    return File(lib3ds_file_load(dataPath("3ds/" + name + ".3ds").c_str()));
}

struct V {
    double x, y, z;
};
V operator-(V a, V b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
double dot(V a, V b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
V cross(V a, V b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double length(V a) {
    return std::sqrt(dot(a, a));
}

V transformed(Lib3dsMatrix m, const float* p) {
    Lib3dsVector out;
    lib3ds_vector_transform(out, m, const_cast<float*>(p));
    return {out[0], out[1], out[2]};
}

void collect(Lib3dsNode* first, std::vector<Lib3dsNode*>& out) {
    for (Lib3dsNode* n = first; n; n = n->next) {
        out.push_back(n);
        collect(n->childs, out);
    }
}

Lib3dsNode* findNode(Lib3dsFile* file, const char* name, Lib3dsNodeTypes type) {
    return lib3ds_file_node_by_name(file, name, type);
}

// World placement of a mesh node at the evaluated frame, pivot included.
void placement(Lib3dsNode* node, Lib3dsMatrix out) {
    lib3ds_matrix_copy(out, node->matrix);
    lib3ds_matrix_translate_xyz(out, -node->data.object.pivot[0], -node->data.object.pivot[1],
                                -node->data.object.pivot[2]);
}

} // namespace

TEST(DatasetSceneFiles, GeometryIsSoundAndWithinBudget) {
    for (const char* name : sceneFiles) {
        SCOPED_TRACE(name);
        File file = load(name);
        ASSERT_TRUE(file);
        size_t triangles = 0, smooth = 0;
        for (Lib3dsMesh* mesh = file->meshes; mesh; mesh = mesh->next) {
            triangles += mesh->faces;
            ASSERT_EQ(mesh->texels, mesh->points) << mesh->name;
            std::vector<Lib3dsVector> normals(size_t(mesh->faces) * 3);
            lib3ds_mesh_calculate_normals(mesh, normals.data());
            for (unsigned f = 0; f < mesh->faces; ++f) {
                const Lib3dsFace& face = mesh->faceL[f];
                smooth += face.smoothing != 0;
                const V a = {mesh->pointL[face.points[0]].pos[0],
                             mesh->pointL[face.points[0]].pos[1],
                             mesh->pointL[face.points[0]].pos[2]};
                const V b = {mesh->pointL[face.points[1]].pos[0],
                             mesh->pointL[face.points[1]].pos[1],
                             mesh->pointL[face.points[1]].pos[2]};
                const V c = {mesh->pointL[face.points[2]].pos[0],
                             mesh->pointL[face.points[2]].pos[1],
                             mesh->pointL[face.points[2]].pos[2]};
                EXPECT_GT(length(cross(b - a, c - a)), 1e-6) << mesh->name << " face " << f;
                for (int k = 0; k < 3; ++k) {
                    const float* n = normals[f * 3 + unsigned(k)];
                    EXPECT_NEAR(std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]), 1.0, 1e-3)
                        << mesh->name << " face " << f;
                }
            }
        }
        EXPECT_LT(triangles, 30000u);
        // Curved things are smoothed; only boxes and caps are flat.
        EXPECT_GT(smooth * 2, triangles);
    }
}

TEST(DatasetSceneFiles, MeshNamesAreUniqueAcrossFiles) {
    // The show keeps one registry of meshes for all scenes: a name met again reuses the
    // first mesh of that name.
    std::map<std::string, std::string> owner;
    for (const char* name : sceneFiles) {
        File file = load(name);
        ASSERT_TRUE(file);
        for (Lib3dsMesh* mesh = file->meshes; mesh; mesh = mesh->next) {
            const auto [at, fresh] = owner.emplace(mesh->name, name);
            EXPECT_TRUE(fresh) << mesh->name << " is in " << at->second << " and " << name;
        }
    }
}

TEST(DatasetSceneFiles, EveryVisibleFaceIsLitByAtLeastOneLight) {
    // At frame 0, every face that turns toward one of the scene's cameras must also turn
    // toward some light (inside a spotlight's cone), or the renderer, which has no ambient
    // term, draws it at the bottom of its ramp.
    for (const char* name : sceneFiles) {
        SCOPED_TRACE(name);
        File file = load(name);
        ASSERT_TRUE(file);
        lib3ds_file_eval(file.get(), 0.0f);
        std::vector<Lib3dsNode*> nodes;
        collect(file->nodes, nodes);
        struct Lamp {
            V position, axis;
            double cosHalfFalloff = -1.0;
        };
        std::vector<Lamp> lamps;
        for (Lib3dsLight* light = file->lights; light; light = light->next) {
            Lib3dsNode* node = findNode(file.get(), light->name, LIB3DS_LIGHT_NODE);
            ASSERT_NE(node, nullptr) << light->name;
            Lamp lamp{{node->data.light.pos[0], node->data.light.pos[1], node->data.light.pos[2]},
                      {}};
            if (light->spot_light) {
                Lib3dsNode* aim = findNode(file.get(), light->name, LIB3DS_SPOT_NODE);
                const V target{aim->data.spot.pos[0], aim->data.spot.pos[1], aim->data.spot.pos[2]};
                const V d = target - lamp.position;
                lamp.axis = {d.x / length(d), d.y / length(d), d.z / length(d)};
                lamp.cosHalfFalloff = std::cos(node->data.light.falloff * 0.5 * 3.14159265 / 180.0);
            }
            lamps.push_back(lamp);
        }
        ASSERT_FALSE(lamps.empty());
        std::vector<V> cameras;
        for (Lib3dsNode* node : nodes)
            if (node->type == LIB3DS_CAMERA_NODE)
                cameras.push_back(
                    {node->data.camera.pos[0], node->data.camera.pos[1], node->data.camera.pos[2]});
        for (Lib3dsNode* node : nodes) {
            Lib3dsMesh* mesh = node->type == LIB3DS_OBJECT_NODE
                                   ? lib3ds_file_mesh_by_name(file.get(), node->name)
                                   : nullptr;
            if (!mesh)
                continue;
            Lib3dsMatrix world;
            placement(node, world);
            size_t dark = 0;
            for (unsigned f = 0; f < mesh->faces; ++f) {
                const Lib3dsFace& face = mesh->faceL[f];
                const V a = transformed(world, mesh->pointL[face.points[0]].pos);
                const V b = transformed(world, mesh->pointL[face.points[1]].pos);
                const V c = transformed(world, mesh->pointL[face.points[2]].pos);
                const V n = cross(b - a, c - a);
                const V centre{(a.x + b.x + c.x) / 3, (a.y + b.y + c.y) / 3, (a.z + b.z + c.z) / 3};
                bool seen = false;
                for (const V& eye : cameras)
                    seen = seen || dot(n, eye - centre) > 0.0;
                if (!seen)
                    continue;
                bool lit = false;
                for (const Lamp& lamp : lamps) {
                    const V toLamp = lamp.position - centre;
                    const V fromLamp = centre - lamp.position;
                    const bool inCone =
                        lamp.cosHalfFalloff < -0.5 ||
                        dot(fromLamp, lamp.axis) > lamp.cosHalfFalloff * length(fromLamp);
                    lit = lit || (dot(n, toLamp) > 0.0 && inCone);
                }
                dark += !lit;
            }
            EXPECT_EQ(dark, 0u) << node->name << ": faces no light reaches";
        }
    }
}

TEST(DatasetSceneFiles, LogoPlaneFillsTheLogosPlaceWhenCentred) {
    // At the end of its slide the plane must cover the 276 pixels that the 2D logo covers
    // on the 512-pixel frame, centred; at the start of its slide (500 units along the
    // show's x, the file's y) it must be out of the picture.
    File file = load("wisplogo");
    ASSERT_TRUE(file);
    lib3ds_file_eval(file.get(), 0.0f);
    Lib3dsNode* camera = findNode(file.get(), "Camera01", LIB3DS_CAMERA_NODE);
    Lib3dsNode* aim = findNode(file.get(), "Camera01", LIB3DS_TARGET_NODE);
    Lib3dsMesh* plane = lib3ds_file_mesh_by_name(file.get(), "WispPlane");
    ASSERT_TRUE(camera && aim && plane);
    const V eye{camera->data.camera.pos[0], camera->data.camera.pos[1], camera->data.camera.pos[2]};
    const V target{aim->data.target.pos[0], aim->data.target.pos[1], aim->data.target.pos[2]};
    const double distance = length(target - eye);
    const double focal = 256.0 / std::tan(camera->data.camera.fov * 0.5 * 3.14159265 / 180.0);
    double lo = 1e9, hi = -1e9;
    for (unsigned i = 0; i < plane->points; ++i) {
        lo = std::min(lo, double(plane->pointL[i].pos[1]));
        hi = std::max(hi, double(plane->pointL[i].pos[1]));
    }
    EXPECT_NEAR((hi - lo) * focal / distance, 276.0, 4.0);
    EXPECT_NEAR((hi + lo) * 0.5, 0.0, 1e-3);
    EXPECT_GT(256.0 + (500.0 + lo) * focal / distance, 512.0);
}
