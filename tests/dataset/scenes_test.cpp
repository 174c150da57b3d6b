// The five scenes: imported by the engine as the show imports them, every node path of the
// show present, only the show's materials, mesh names unique, loops of 64 frames.

#include "data_files.hpp"

#include "engine/core/engine.hpp"
#include "engine/link/link.hpp"
#include "engine/scene/import.hpp"
#include "engine/scene/mesh.hpp"
#include "engine/scene/node.hpp"
#include "engine/scene/scene.hpp"

#include <gtest/gtest.h>
#include <lib3ds/file.h>
#include <lib3ds/mesh.h>

#include <map>
#include <set>

using namespace korvid;

namespace {

const char* const sceneNames[] = {"dame", "tovik", "boots", "wisplogo", "kroll"};

// All five in the show's order, into one engine, linked.
class ShowScenes : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : sceneNames)
            ASSERT_EQ(importScene(engine, name, dataPath(std::string("3ds/") + name + ".3ds")),
                      errNone)
                << name;
        linkResources(engine);
    }
    Scene& scene(const char* name) { return *engine.find<Scene>(kindScene, name); }
    Node* node(const char* sceneName, const char* path) { return scene(sceneName).root.find(path); }
    std::vector<std::string> materialsOf(const char* meshName) {
        std::vector<std::string> names;
        for (const MeshGroup& g : engine.find<Mesh>(kindMesh, meshName)->groups)
            names.push_back(g.material.name);
        return names;
    }

    Engine engine;
};

} // namespace

TEST_F(ShowScenes, EveryNodeTheShowDrivesIsThereAsItNeedsIt) {
    struct Expected {
        const char* scene;
        const char* path;
        NodeType type;
    };
    const Expected expected[] = {
        {"dame", "/container", nodeContainer}, {"dame", "/Camera01", nodeCamera},
        {"dame", "/Camera03", nodeCamera},     {"dame", "/Camera04", nodeCamera},
        {"dame", "/RedBox01", nodeMesh},       {"dame", "/RedBox01.0", nodeMesh},
        {"dame", "/RedBox01.1", nodeMesh},     {"dame", "/RedBox01.2", nodeMesh},
        {"tovik", "/Camera01", nodeCamera},    {"tovik", "/tovik", nodeMesh},
        {"boots", "/Camera01", nodeCamera},    {"boots", "/Camera02", nodeCamera},
        {"boots", "/Camera03", nodeCamera},    {"boots", "/Camera04", nodeCamera},
        {"boots", "/Bakke", nodeMesh},         {"boots", "/RBoot", nodeMesh},
        {"boots", "/LBoot", nodeMesh},         {"wisplogo", "/WispPlane", nodeMesh},
        {"wisplogo", "/Camera01", nodeCamera}, {"wisplogo", "/Spot01", nodeSpotLight},
        {"kroll", "/Camera01", nodeCamera},
    };
    for (const Expected& e : expected) {
        Node* n = node(e.scene, e.path);
        ASSERT_NE(n, nullptr) << e.scene << " " << e.path;
        EXPECT_EQ(n->type, e.type) << e.scene << " " << e.path;
    }
    for (const char* name : {"RBoot", "LBoot", "Bakke"})
        EXPECT_NE(engine.find<Mesh>(kindMesh, name), nullptr) << name;
    // Every camera and spotlight finds its target once linked.
    for (const char* name : sceneNames)
        for (NodeType type : {nodeCamera, nodeSpotLight})
            for (const auto& [n, enabled] : scene(name).nodesByType[type]) {
                const NodeRef& target = type == nodeCamera ? static_cast<CameraNode*>(n)->target
                                                           : static_cast<SpotLightNode*>(n)->target;
                EXPECT_NE(target.node, nullptr) << name << " " << n->name;
            }
    // The four boxes are one mesh placed four times.
    EXPECT_EQ(static_cast<MeshNode*>(node("dame", "/RedBox01.2"))->mesh.resolved,
              static_cast<MeshNode*>(node("dame", "/RedBox01"))->mesh.resolved);
    // The show wraps these scenes' time at 64 frames.
    for (const char* name : {"boots", "kroll", "tovik"})
        EXPECT_EQ(scene(name).frames, 64.0f) << name;
    // The show moves the boots' cameras by hand: tracks would undo its moves at every
    // setTime, and Camera02 must stay a lens once narrowed by 60 degrees.
    for (const char* path : {"/Camera01", "/Camera02", "/Camera03", "/Camera04"}) {
        auto* camera = static_cast<CameraNode*>(node("boots", path));
        EXPECT_EQ(camera->positionTrack.count() + camera->fovTrack.count() +
                      camera->rollTrack.count(),
                  0u)
            << path;
    }
    EXPECT_GT(static_cast<CameraNode*>(node("boots", "/Camera02"))->fov, 1.0471976f + 0.1f);
    // The twist turns about the node's own place but measures radius from the origin.
    scene("dame").updateWorlds(nullptr);
    scene("tovik").setTime(0.0f);
    scene("tovik").updateWorlds(nullptr);
    for (const Vector& at : {node("dame", "/container")->world.getTranslation(),
                             node("tovik", "/tovik")->world.getTranslation()}) {
        EXPECT_NEAR(at.x, 0.0f, 1e-4f);
        EXPECT_NEAR(at.y, 0.0f, 1e-4f);
    }
}

TEST_F(ShowScenes, MeshesUseOnlyTheShowsMaterials) {
    const std::set<std::string> table(materialNames().begin(), materialNames().end());
    for (const auto& [name, mesh] : engine.entries().at(kindMesh))
        for (const MeshGroup& g : static_cast<Mesh*>(mesh)->groups)
            EXPECT_EQ(table.count(g.material.name), 1u) << name << " uses " << g.material.name;
    // The show swaps the boots' groups 0, 1, 2 and the ground's group 0 for dark materials.
    const std::vector<std::string> boot = {"realpants", "realsaale", "realshoe"};
    EXPECT_EQ(materialsOf("RBoot"), boot);
    EXPECT_EQ(materialsOf("LBoot"), boot);
    EXPECT_EQ(materialsOf("Bakke"), std::vector<std::string>{"grass"});
    EXPECT_EQ(materialsOf("WispPlane"), std::vector<std::string>{"ruklogo"});
    EXPECT_EQ(materialsOf("RedBox01"), std::vector<std::string>{"cartoonblack"});
    for (const char* name : {"tovik", "TovikArmL", "TovikArmR"})
        EXPECT_EQ(materialsOf(name), std::vector<std::string>{"tovik"}) << name;

    // The show keeps one registry of meshes for all scenes: a name met again in another
    // file would silently reuse the first mesh of that name.
    std::map<std::string, std::string> owner;
    for (const char* name : sceneNames) {
        Lib3dsFile* file = lib3ds_file_load(dataPath(std::string("3ds/") + name + ".3ds").c_str());
        ASSERT_NE(file, nullptr) << name;
        for (Lib3dsMesh* mesh = file->meshes; mesh; mesh = mesh->next) {
            const auto [at, fresh] = owner.emplace(mesh->name, name);
            EXPECT_TRUE(fresh) << mesh->name << " is in " << at->second << " and " << name;
        }
        lib3ds_file_free(file);
    }
}
