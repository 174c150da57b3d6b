// korvid-render and korvid-scene on 3DS files made by others, and on variants of them with
// the keyframer nodes or the face materials taken away: every file is drawn, the same on a
// second run, with meshes where the file has them and unknown materials in neutral grey.

#include "engine/link/link.hpp"
#include "engine/render/gouraud_ramp_material.hpp"
#include "engine/scene/mesh.hpp"
#include "png_reader.hpp"
#include "run_program.hpp"
#include "tools/common/arguments.hpp"
#include "tools/common/file_completion.hpp"
#include "tools/common/scene_staging.hpp"

#include <gtest/gtest.h>
#include <lib3ds/file.h>
#include <lib3ds/material.h>
#include <lib3ds/mesh.h>
#include <lib3ds/node.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>
#include <vector>

using namespace korvid;

namespace {

const std::string renderTool = KORVID_BINARY_DIR "/tools/render/korvid-render";
const std::string sceneTool = KORVID_BINARY_DIR "/tools/scene/korvid-scene";
// Absolute: each test runs the tools in folders of its own.
const std::string data = std::filesystem::absolute(KORVID_TEST_DATA "/3ds/").string();

ProgramResult render(const std::string& arguments) {
    return runProgram(testFolder("render-run"), renderTool, "", arguments);
}

struct Counts {
    int drawn = 0; // not the background
    int grey = 0;  // lit, with red, green and blue equal: the neutral material
};

Counts countPixels(const Image& image) {
    Counts c;
    for (uint32_t p : image.pixels) {
        const int r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
        c.drawn += (p & 0xFFFFFF) != (tools::sceneBackground & 0xFFFFFF);
        c.grey += r == g && g == b && r > 40;
    }
    return c;
}

// A copy of a reference file, changed by `edit` and saved by lib3ds.
std::string variant(const std::string& name, const std::string& tag,
                    const std::function<void(Lib3dsFile&)>& edit) {
    const std::string path = testFolder("variant-" + tag) + "/" + name;
    Lib3dsFile* file = lib3ds_file_load((data + name).c_str());
    EXPECT_NE(file, nullptr) << name;
    if (!file)
        return path;
    edit(*file);
    EXPECT_TRUE(lib3ds_file_save(file, path.c_str())) << path;
    lib3ds_file_free(file);
    return path;
}

void removeNodes(Lib3dsFile& file) {
    while (Lib3dsNode* node = file.nodes) {
        lib3ds_file_remove_node(&file, node);
        lib3ds_node_free(node);
    }
}

void setMaterials(Lib3dsMesh* mesh, const char* name) {
    for (Lib3dsDword i = 0; mesh && i < mesh->faces; ++i)
        std::strcpy(mesh->faceL[i].material, name);
}

} // namespace

TEST(KorvidRender, DrawsEveryReferenceFileTheSameTwice) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(data)) {
        const std::string name = entry.path().filename().string();
        if (name.find(".3ds") == std::string::npos && name.find(".3DS") == std::string::npos)
            continue;
        ++files;
        const std::string first = testFolder("render-a") + "/" + name + ".png";
        const std::string second = testFolder("render-b") + "/" + name + ".png";
        const ProgramResult r = render(data + name + " --out " + first);
        ASSERT_EQ(r.status, 0) << name << r.err;
        ASSERT_EQ(render(data + name + " --out " + second).status, 0) << name;
        const Image image = readPng(first);
        EXPECT_EQ(image.width, 512) << name;
        EXPECT_EQ(image.height, 384) << name;
        const Counts c = countPixels(image);
        EXPECT_GT(c.drawn, 512 * 384 / 50) << name;
        EXPECT_EQ(image.pixels, readPng(second).pixels) << name;
    }
    EXPECT_GE(files, 9);

    const std::string small = testFolder("render-small") + "/small.png";
    ASSERT_EQ(
        render(data + "test1.3ds --out " + small + " --size 160x100 --outline 0 --frame 50").status,
        0);
    const Image image = readPng(small);
    EXPECT_EQ(image.width, 160);
    EXPECT_EQ(image.height, 100);
    EXPECT_GT(countPixels(image).drawn, 160 * 100 / 10);
}

TEST(KorvidRender, MeshesOfAFileWithoutNodesStayWhereTheFileHasThem) {
    // Meshes turned and scaled by their matrices, one mirrored, one skewed and one flattened
    // here; one hangs below a camera in the original. Every engine vertex, placed by its
    // node, must land on a point of the file, and every node carries its mesh's matrix where
    // a position, rotation and scale can hold it.
    for (const std::string name :
         {"test1.3ds", "cubes_with_alpha.3DS", "CameraRollAnimWithChildObject.3ds"}) {
        const auto axis = [](Lib3dsFile& f, const char* mesh, int a) {
            Lib3dsMesh* m = lib3ds_file_mesh_by_name(&f, mesh);
            return m ? m->matrix[a] : nullptr;
        };
        const std::string path = variant(name, "placement", [&](Lib3dsFile& f) {
            removeNodes(f);
            for (const char* mirrored : {"Box04", "Quader02"})
                if (float* z = axis(f, mirrored, 2))
                    z[0] = -z[0], z[1] = -z[1], z[2] = -z[2];
            if (float* skewed = axis(f, "Box01", 1))
                for (int i = 0; i < 3; ++i)
                    skewed[i] += 0.5f * axis(f, "Box01", 0)[i];
            if (float* flat = axis(f, "Box02", 2))
                flat[0] = flat[1] = flat[2] = 0.0f;
        });
        Engine engine;
        Lib3dsFilePtr file;
        ASSERT_EQ(tools::importCompleted(engine, "scene", path, file), errNone) << name;
        linkResources(engine);
        Scene& scene = *engine.find<Scene>(kindScene, "scene");
        scene.setTime(0.0f);
        scene.updateWorlds(nullptr);
        Lib3dsFile* saved = lib3ds_file_load(path.c_str());
        ASSERT_NE(saved, nullptr);
        int meshes = 0;
        for (Lib3dsMesh* mesh = saved->meshes; mesh; mesh = mesh->next, ++meshes) {
            SCOPED_TRACE(name + " " + mesh->name);
            Node* node = scene.root.find(std::string("/") + mesh->name);
            ASSERT_NE(node, nullptr);
            ASSERT_EQ(node->type, nodeMesh);
            const Mesh* converted = engine.find<Mesh>(kindMesh, mesh->name);
            ASSERT_NE(converted, nullptr);
            float extent = 1.0f;
            for (Lib3dsDword i = 0; i < mesh->points; ++i)
                for (float v : mesh->pointL[i].pos)
                    extent = std::max(extent, std::fabs(v));
            // The node carries the mesh's matrix: rows and columns 0 and 1 exchanged.
            const bool changed =
                !std::strcmp(mesh->name, "Box01") || !std::strcmp(mesh->name, "Box02");
            for (int row = 0; row < 3 && !changed; ++row)
                for (int column = 0; column < 4; ++column) {
                    const int r = row < 2 ? 1 - row : row, c = column < 2 ? 1 - column : column;
                    EXPECT_NEAR(node->world.m[row][column], mesh->matrix[c][r], extent * 1e-5f)
                        << row << "," << column;
                }
            for (const Vector& v : converted->vertices) {
                const Vector w = node->world.transform(v);
                float nearest = 1e30f;
                for (Lib3dsDword i = 0; i < mesh->points; ++i) {
                    const float* p = mesh->pointL[i].pos; // x and y exchanged in the engine
                    nearest =
                        std::min(nearest, std::max({std::fabs(w.x - p[1]), std::fabs(w.y - p[0]),
                                                    std::fabs(w.z - p[2])}));
                }
                EXPECT_LT(nearest, extent * 1e-5f) << v.x << " " << v.y << " " << v.z;
            }
        }
        EXPECT_EQ(scene.nodesByType[nodeMesh].size(), size_t(meshes));
        lib3ds_file_free(saved);
    }
}

TEST(KorvidRender, FacesWithoutAKnownMaterialAreNeutralGrey) {
    // The original's materials are coloured: none of its lit pixels is grey.
    const std::string folder = testFolder("render-grey");
    const std::string view = " --camera /korvid-render.camera";
    ASSERT_EQ(render(data + "cubes_with_alpha.3DS --out " + folder + "/a.png" + view).status, 0);
    EXPECT_EQ(countPixels(readPng(folder + "/a.png")).grey, 0);

    // Faces without a material and faces naming one the file lacks: the neutral grey. The
    // file's nodes are gone but for an ambient light node, which the engine has no node
    // for: it is left out, and the meshes get nodes of their own.
    const std::string unnamed = variant("cubes_with_alpha.3DS", "no-materials", [](Lib3dsFile& f) {
        removeNodes(f);
        setMaterials(lib3ds_file_mesh_by_name(&f, "Quader02"), "");
        setMaterials(lib3ds_file_mesh_by_name(&f, "Quader03"), "nowhere");
        Lib3dsNode* ambient = lib3ds_node_new_ambient();
        std::strcpy(ambient->name, "$AMBIENT$");
        ambient->node_id = 100;
        ambient->parent_id = LIB3DS_NO_PARENT;
        lib3ds_file_insert_node(&f, ambient);
    });
    ASSERT_EQ(render(unnamed + " --out " + folder + "/c.png" + view).status, 0);
    EXPECT_GT(countPixels(readPng(folder + "/c.png")).grey, 1000);
    Engine engine;
    Lib3dsFilePtr completed;
    ASSERT_EQ(tools::importCompleted(engine, "scene", unnamed, completed), errNone);
    for (const char* grey : {"(none)", "nowhere"}) {
        const Lib3dsMaterial* m = lib3ds_file_material_by_name(completed.get(), grey);
        ASSERT_NE(m, nullptr) << grey;
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(m->diffuse[i], 200.0f / 255.0f) << grey;
    }
    const ProgramResult listing = runProgram(testFolder("scene-run"), sceneTool, "", unnamed);
    ASSERT_EQ(listing.status, 0) << listing.err;
    EXPECT_NE(listing.out.find("group Quader02 0 (none) triangles=12"), std::string::npos);
    EXPECT_NE(listing.out.find("group Quader03 0 nowhere triangles=12"), std::string::npos);
}

TEST(KorvidRender, AFileWithoutFramesStillLoops) {
    // A keyframer header of 0 frames: the scene gets 1, so its time stays a number.
    Lib3dsFile* file = lib3ds_file_load((data + "test1.3ds").c_str());
    ASSERT_NE(file, nullptr);
    file->frames = 0;
    tools::completeFile(*file);
    Engine engine;
    ASSERT_EQ(importLoaded(engine, "scene", *file), errNone);
    Scene& scene = *engine.find<Scene>(kindScene, "scene");
    EXPECT_EQ(scene.frames, 1.0f);
    scene.setTime(7.5f);
    EXPECT_EQ(scene.frame, 0.5f);
    lib3ds_file_free(file);
}

TEST(KorvidRender, FilesWithNothingToDrawAndBadArgumentsFail) {
    const std::string empty = testFolder("render-empty") + "/empty.3ds";
    Lib3dsFile* file = lib3ds_file_new();
    ASSERT_TRUE(lib3ds_file_save(file, empty.c_str()));
    lib3ds_file_free(file);
    const std::string out = testFolder("render-fail") + "/x.png";
    ProgramResult r = render(empty + " --out " + out);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "korvid-render: " + empty + ": nothing to draw: no mesh node has faces\n");

    r = render(data + "missing.3ds --out " + out);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot import: file input/output error"), std::string::npos);
    r = render(data + "test1.3ds --out " + out + " --camera /Box01");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no camera node at /Box01"), std::string::npos);
    r = render(data + "test1.3ds");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("usage: korvid-render"), std::string::npos);
    r = render(data + "test1.3ds --out x.png --outline 3");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.find("usage: korvid-render"), 0u);
}

TEST(ToolArguments, ValuesOnBothSidesOfTheirLimits) {
    int32_t w = 0, h = 0;
    for (const char* good : {"1x1", "8192x8192", "640x8", "8x8192"})
        EXPECT_TRUE(tools::parseSize(good, w, h)) << good;
    EXPECT_EQ(w, 8);
    EXPECT_EQ(h, 8192);
    for (const char* bad :
         {"0x1", "1x0", "8193x1", "1x8193", "-4x4", "12", "12x", "x12", "12x7z", ""})
        EXPECT_FALSE(tools::parseSize(bad, w, h)) << bad;

    uint32_t mode = 9;
    for (uint32_t m = 0; m <= 2; ++m) {
        EXPECT_TRUE(tools::parseOutline(std::to_string(m).c_str(), mode));
        EXPECT_EQ(mode, m);
    }
    for (const char* bad : {"3", "-1", "02", "1 ", ""})
        EXPECT_FALSE(tools::parseOutline(bad, mode)) << bad;

    float f = 0.0f;
    EXPECT_TRUE(tools::parseFloat("-2.5", f));
    EXPECT_EQ(f, -2.5f);
    for (const char* bad : {"1x", "", "x", "1.5 "})
        EXPECT_FALSE(tools::parseFloat(bad, f)) << bad;
}
