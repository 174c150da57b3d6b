#pragma once
// Small scenes built by hand for the pipeline tests: a camera at the origin looking along +z
// (x right, y down the screen), flat square meshes facing it, lights and materials, all
// registered in one Engine and linked as the program links its data.

#include "engine/core/engine.hpp"
#include "engine/core/surface.hpp"
#include "engine/render/gouraud_ramp_material.hpp"
#include "engine/render/pipeline.hpp"
#include "engine/scene/mesh.hpp"
#include "engine/scene/scene.hpp"

#include "surface_pixels.hpp"

#include <gtest/gtest.h>

#include <string>

namespace korvid::test {

constexpr uint32_t sceneBackground = 0xFF203040;

struct TestScene {
    Engine engine;
    Scene* scene = new Scene;
    CameraNode* camera = new CameraNode;
    Surface colour;

    TestScene(int32_t width = 64, int32_t height = 48) {
        EXPECT_EQ(engine.addResource(scene, "scene"), errNone);
        camera->ownRotation = true;
        camera->rotation = Quaternion{0.0f, 0.0f, 0.0f, 1.0f};
        camera->fov = 1.5707964f; // focal length = width / 2
        EXPECT_EQ(attach(&scene->root, camera, "Camera01"), errNone);
        EXPECT_EQ(colour.create(width, height, storage32, false), errNone);
        colour.fill(sceneBackground);
    }

    // A square of side `size` centred on `centre` in the xy plane, in one material, as two
    // triangles facing a camera on the -z side; its normals point back at that camera.
    void addSquareMesh(const std::string& name, float size, const std::string& material,
                       Vector centre = {}) {
        Mesh* mesh = new Mesh;
        const float h = size * 0.5f;
        for (int i = 0; i < 4; ++i)
            mesh->vertices.push_back(
                Vector{centre.x + (i & 2 ? h : -h), centre.y + (i & 1 ? h : -h), centre.z});
        MeshGroup group;
        group.material = ResourceRef(kindMaterial, material);
        for (uint32_t i = 0; i < 4; ++i) {
            mesh->normals.push_back(VertexNormal{i, Vector{0.0f, 0.0f, -1.0f}});
            group.corners.push_back(Corner{i, Point2{float(i & 2) * 0.5f, float(i & 1)}, {}});
        }
        group.triangles = {Triangle{{0, 1, 2}}, Triangle{{1, 3, 2}}};
        mesh->groups.push_back(group);
        mesh->computeBounds();
        EXPECT_EQ(mesh->buildEdges(), errNone);
        EXPECT_EQ(engine.addResource(mesh, name), errNone);
    }

    // Placed at `position`, by default 10 units in front of the camera.
    MeshNode* place(const std::string& mesh, const std::string& name,
                    Vector position = {0.0f, 0.0f, 10.0f}, Node* parent = nullptr) {
        MeshNode* node = new MeshNode;
        node->mesh = ResourceRef(kindMesh, mesh);
        node->rotation = Quaternion{0.0f, 0.0f, 0.0f, 1.0f};
        node->position = position;
        EXPECT_EQ(attach(parent ? parent : &scene->root, node, name), errNone);
        return node;
    }

    GouraudRampMaterial* addGouraud(const std::string& name, int32_t levels = 64) {
        auto* m = new GouraudRampMaterial(Colour{0, 0, 0, 255}, Colour{255, 255, 255, 255}, levels);
        EXPECT_EQ(engine.addResource(m, name), errNone);
        return m;
    }

    OmniLightNode* addOmni(const std::string& name, Vector position, Colour colour) {
        OmniLightNode* light = new OmniLightNode;
        light->position = position;
        light->colour = colour;
        EXPECT_EQ(attach(&scene->root, light, name), errNone);
        return light;
    }

    Error render(bool flaggedPass = false, const Rect* clip = nullptr,
                 const float* centreOffset = nullptr) {
        return renderScene(&colour, nullptr, camera, nullptr, clip, centreOffset, flaggedPass);
    }

    uint32_t pixel(int32_t x, int32_t y) { return pixelAt(colour, x, y); }

    int32_t countNot(uint32_t value) {
        uint32_t* pixels = nullptr;
        int32_t pitch = 0;
        EXPECT_EQ(colour.lock(pixels, pitch), errNone);
        int32_t n = 0;
        for (int32_t y = 0; y < colour.height; ++y)
            for (int32_t x = 0; x < colour.width; ++x)
                n += pixels[y * pitch + x] != value;
        colour.unlock();
        return n;
    }
};

} // namespace korvid::test
