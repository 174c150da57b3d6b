// The five scenes: imported by the engine as the show imports them, every node path of the
// show present, only the show's materials, loops of 64 frames, and lit all round.

#include "data_files.hpp"

#include "engine/core/engine.hpp"
#include "engine/link/link.hpp"
#include "engine/scene/import.hpp"
#include "engine/scene/mesh.hpp"
#include "engine/scene/node.hpp"
#include "engine/scene/scene.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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

TEST_F(ShowScenes, EveryNodePathOfTheShowResolves) {
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
}

TEST_F(ShowScenes, AnimatedScenesLoopOverSixtyFourFrames) {
    for (const char* name : {"boots", "kroll", "tovik"})
        EXPECT_EQ(scene(name).frames, 64.0f) << name;
    // The show wraps frame 64 to 0: the last instant must meet the first.
    const std::pair<const char*, const char*> moving[] = {
        {"boots", "/RBoot"},      {"boots", "/LBoot"}, {"kroll", "/KrollKnot"},
        {"kroll", "/KrollRing3"}, {"tovik", "/tovik"}, {"tovik", "/tovik/TovikArmL"}};
    for (const auto& [name, path] : moving) {
        Scene& s = scene(name);
        Node* n = s.root.find(path);
        s.setTime(0.0f);
        s.updateWorlds(nullptr);
        const Matrix start = n->world;
        s.setTime(63.99f);
        s.updateWorlds(nullptr);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 4; ++c)
                EXPECT_NEAR(n->world.m[r][c], start.m[r][c], c == 3 ? 0.5f : 0.02f) << name << path;
        s.setTime(20.0f);
        s.updateWorlds(nullptr);
        const Vector a = n->world.getTranslation(), b = start.getTranslation();
        const bool turned = std::fabs(n->world.m[0][0] - start.m[0][0]) > 0.01f;
        EXPECT_TRUE(turned ||
                    std::fabs(a.x - b.x) + std::fabs(a.y - b.y) + std::fabs(a.z - b.z) > 1.0f)
            << name << path << " does not move";
    }
}

TEST_F(ShowScenes, PlantedFootMovesWithTheScrolledGround) {
    // The show scrolls the ground's texture by (cos(2 pi T / 8 + 3.64159265359) + 2) * 0.015
    // tiles per unit, with boots at frame frac(T / 16) * 64. Walking along the show's y,
    // the point of a foot that bears the weight must slide back by exactly that much.
    const Mesh* ground = engine.find<Mesh>(kindMesh, "Bakke");
    const Corner& corner = ground->groups[0].corners[100];
    const Vector& at = ground->vertices[ground->normals[corner.normal].vertex];
    const float tile = -at.y / corner.uv.y;
    ASSERT_NEAR(tile, 150.0f, 0.5f);

    Scene& boots = scene("boots");
    Node* foot = boots.root.find("/RBoot");
    auto groundY = [&](float frame, float x) {
        boots.setTime(frame);
        boots.updateWorlds(nullptr);
        return foot->world.transform({0.0f, x, 0.0f}).y; // a point under the sole
    };
    // The right foot rolls on its heel (x = -9) until about frame 16, then on its toe
    // (x = 20) until frame 36. Plain sums over small steps.
    auto travel = [&](double fromFrame, double toFrame) {
        double tiles = 0.0;
        const double dt = 1e-4;
        for (double t = fromFrame / 4.0; t < toFrame / 4.0; t += dt)
            tiles += (std::cos(6.28318530718 * t / 8.0 + 3.64159265359) + 2.0) * 0.015 * dt;
        return tiles * tile;
    };
    EXPECT_NEAR(groundY(2.0f, -9.0f) - groundY(14.0f, -9.0f), travel(2.0, 14.0), 0.05);
    EXPECT_NEAR(groundY(20.0f, 20.0f) - groundY(34.0f, 20.0f), travel(20.0, 34.0), 0.05);
}

TEST_F(ShowScenes, HandHeldCamerasHaveNoTracksToUndoTheirMoves) {
    for (const char* path : {"/Camera01", "/Camera02", "/Camera03", "/Camera04"}) {
        auto* camera = static_cast<CameraNode*>(node("boots", path));
        EXPECT_EQ(camera->positionTrack.count(), 0u) << path;
        EXPECT_EQ(camera->fovTrack.count(), 0u) << path;
        EXPECT_EQ(camera->rollTrack.count(), 0u) << path;
    }
    EXPECT_GT(static_cast<CameraNode*>(node("boots", "/Camera02"))->fov, 1.0471976f + 0.1f)
        << "the show narrows Camera02's lens by 60 degrees";
}

TEST_F(ShowScenes, TrouserLegsRunOutOfEveryBootsCamerasPicture) {
    // Every view the show takes of the walking boots: the four cameras as loaded, and
    // Camera02 from T = 96 to 128, when the show narrows it by 60 degrees and moves it 100
    // units, then widens it by 0.05 rad, trucks it by 6 and rolls it back from 0.157 rad
    // per unit of demo time. In each, at every frame of the walk, the top of each trouser
    // leg must lie above the picture, and every point of the leg in front of the camera
    // (a point behind it would be projected as if just in front).
    struct View {
        const char* camera;
        float dt; // demo time since T = 96, or -1 for the camera as loaded
    };
    std::vector<View> views = {
        {"/Camera01", -1}, {"/Camera02", -1}, {"/Camera03", -1}, {"/Camera04", -1}};
    for (float dt = 0.0f; dt <= 32.0f; dt += 2.0f)
        views.push_back({"/Camera02", dt});

    Scene& boots = scene("boots");
    for (const View& view : views) {
        auto* camera = static_cast<CameraNode*>(node("boots", view.camera));
        const float fov = camera->fov, roll = camera->roll;
        const Vector position = camera->position;
        if (view.dt >= 0.0f) {
            camera->fov += -1.0471975511966667f + view.dt * 0.05f;
            camera->position.x += -100.0f + view.dt * 6.0f;
            camera->roll = (1.0f - std::fmod(view.dt, 32.0f) / 32.0f) * 0.1570796326795f;
        }
        for (int frame = 0; frame < 64; ++frame) {
            boots.setTime(float(frame));
            boots.updateWorlds(nullptr);
            const Matrix& c = camera->world;
            const Vector eye = c.getTranslation();
            const Vector axisY = normalised({c.m[0][1], c.m[1][1], c.m[2][1]});
            const Vector axisZ = normalised({c.m[0][2], c.m[1][2], c.m[2][2]});
            const double focal = 256.0 / std::tan(double(camera->fov) * 0.5);
            for (const char* leg : {"/RBoot", "/LBoot"}) {
                const Node* foot = node("boots", leg);
                const auto* mesh =
                    static_cast<const Mesh*>(static_cast<const MeshNode*>(foot)->mesh.resolved);
                const MeshGroup& pants = mesh->groups[0];
                float top = -1e9f;
                for (const Corner& corner : pants.corners)
                    top = std::max(top, mesh->vertices[mesh->normals[corner.normal].vertex].z);
                for (const Corner& corner : pants.corners) {
                    const Vector local = mesh->vertices[mesh->normals[corner.normal].vertex];
                    const Vector d = foot->world.transform(local) - eye;
                    const double depth = dot(d, axisZ);
                    ASSERT_GT(depth, 1.0)
                        << view.camera << " " << view.dt << " " << leg << " frame " << frame;
                    const double sy = focal * dot(d, axisY) / depth + 192.0;
                    if (local.z == top) {
                        ASSERT_LT(sy, 0.0) << view.camera << " " << view.dt << " " << leg
                                           << " frame " << frame << ": top in view";
                    }
                }
            }
        }
        camera->fov = fov, camera->roll = roll, camera->position = position;
    }
}

TEST_F(ShowScenes, TwistedNodesStandOnTheAxis) {
    // The twist turns about the node's own place but measures radius from the origin.
    Scene& dame = scene("dame");
    dame.updateWorlds(nullptr);
    const Vector container = node("dame", "/container")->world.getTranslation();
    EXPECT_EQ(container.x, 0.0f);
    EXPECT_EQ(container.y, 0.0f);
    Scene& tovik = scene("tovik");
    tovik.setTime(0.0f);
    tovik.updateWorlds(nullptr);
    const Vector body = node("tovik", "/tovik")->world.getTranslation();
    EXPECT_NEAR(body.x, 0.0f, 1e-4f);
    EXPECT_NEAR(body.y, 0.0f, 1e-4f);
}

TEST_F(ShowScenes, GroundTilesAndTheLogoPlaneTakesTheWholeTexture) {
    auto span = [&](const char* meshName, float Point2::*axis) {
        float lo = 1e9f, hi = -1e9f;
        for (const Corner& c : engine.find<Mesh>(kindMesh, meshName)->groups[0].corners) {
            lo = std::min(lo, c.uv.*axis);
            hi = std::max(hi, c.uv.*axis);
        }
        return std::make_pair(lo, hi);
    };
    EXPECT_GT(span("Bakke", &Point2::x).second - span("Bakke", &Point2::x).first, 4.0f);
    EXPECT_GT(span("Bakke", &Point2::y).second - span("Bakke", &Point2::y).first, 4.0f);
    EXPECT_EQ(span("WispPlane", &Point2::x), std::make_pair(0.0f, 1.0f));
    EXPECT_EQ(span("WispPlane", &Point2::y), std::make_pair(-1.0f, 0.0f));
}
