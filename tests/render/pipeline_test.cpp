#include "engine/core/pass_clock.hpp"
#include "engine/link/link.hpp"
#include "engine/render/fade_ramp_material.hpp"
#include "engine/render/light_normals.hpp"
#include "engine/render/pipeline.hpp"
#include "engine/render/vertex_modifier.hpp"
#include "test_scene.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <random>

// Every allocation of this test program is counted, so that a test can check that a
// render allocates nothing once its buffers have grown. (The deletes free what the news
// took from malloc, which the compiler cannot see through the standard allocators.)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
namespace {
long allocations = 0;
}

void* operator new(size_t size) {
    ++allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    std::free(p);
}

namespace korvid {
namespace {

using test::sceneBackground;
using test::TestScene;

// One square filling the middle of a 64x48 frame: x 16..48, y 8..40 at z = 10.
struct OneSquare : TestScene {
    MeshNode* node;
    GouraudRampMaterial* material;
    OneSquare() {
        material = addGouraud("grey");
        addSquareMesh("square", 10.0f, "grey");
        node = place("square", "Square01");
        linkResources(engine);
    }
};

TEST(RenderScene, RefusesMissingCameraSurfaceTargetAndMesh) {
    OneSquare s;
    EXPECT_EQ(renderScene(&s.colour, nullptr, nullptr, nullptr, nullptr, nullptr, false),
              errCameraNotFound);
    EXPECT_EQ(renderScene(nullptr, nullptr, s.camera, nullptr, nullptr, nullptr, false),
              errSurfaceNotFound);
    CameraNode loose;
    loose.ownRotation = true;
    EXPECT_EQ(renderScene(&s.colour, nullptr, &loose, nullptr, nullptr, nullptr, false),
              errCameraNotFound);

    s.camera->ownRotation = false; // a target that was never found
    EXPECT_EQ(s.render(), errTargetNotFound);
    s.camera->ownRotation = true;
    EXPECT_EQ(s.countNot(sceneBackground), 0);

    s.node->mesh.resolved = nullptr;
    EXPECT_EQ(s.render(), errMeshNotFound);
    EXPECT_FALSE(s.colour.locked);
    EXPECT_FALSE(renderScratch.depth.locked);
    s.node->mesh = ResourceRef(); // names nothing: not drawn, no error
    EXPECT_EQ(s.render(), errNone);
    EXPECT_EQ(s.node->visibility, 0u);
    EXPECT_EQ(s.countNot(sceneBackground), 0);
}

TEST(RenderScene, LockFailuresLeaveBothSurfacesUnlocked) {
    OneSquare s;
    Surface depth;
    ASSERT_EQ(depth.create(64, 48, storageCells, false), errNone);
    float* cells = nullptr;
    int32_t pitch = 0;
    ASSERT_EQ(depth.lock(cells, pitch), errNone);
    EXPECT_EQ(renderScene(&s.colour, &depth, s.camera, nullptr, nullptr, nullptr, false),
              errLockedTwice);
    EXPECT_FALSE(s.colour.locked);
    depth.unlock();

    Surface small;
    ASSERT_EQ(small.create(32, 48, storageCells, false), errNone);
    EXPECT_EQ(renderScene(&s.colour, &small, s.camera, nullptr, nullptr, nullptr, false),
              errZBufferSmall);
    const Rect left{0, 32, 0, 48};
    EXPECT_EQ(renderScene(&s.colour, &small, s.camera, nullptr, &left, nullptr, false), errNone);

    Surface notCells;
    ASSERT_EQ(notCells.create(64, 48, storage32, false), errNone);
    EXPECT_EQ(renderScene(&s.colour, &notCells, s.camera, nullptr, nullptr, nullptr, false),
              errInvalidCall);
    EXPECT_FALSE(s.colour.locked);
}

TEST(RenderScene, DrawsTheSquareWithItsDepthAndGrowsTheEngineDepthOnly) {
    OneSquare s;
    s.scene->root.renderMode = 0;
    ASSERT_EQ(s.render(), errNone);
    EXPECT_EQ(s.node->visibility, 2u);
    // Unlit: ramp entry 0 over x 16..47, y 8..39.
    EXPECT_EQ(s.pixel(16, 8), 0xFF000000u);
    EXPECT_EQ(s.pixel(47, 39), 0xFF000000u);
    EXPECT_EQ(s.pixel(15, 20), sceneBackground);
    EXPECT_EQ(s.pixel(48, 20), sceneBackground);
    EXPECT_EQ(s.pixel(30, 7), sceneBackground);
    EXPECT_EQ(s.pixel(30, 40), sceneBackground);
    EXPECT_EQ(s.countNot(sceneBackground), 32 * 32);
    EXPECT_GE(renderScratch.depth.width, 64);
    EXPECT_GE(renderScratch.depth.height, 48);
    EXPECT_FLOAT_EQ(renderScratch.depth.cells[size_t(20 * renderScratch.depth.pitch + 20)], 0.1f);

    const int32_t width = renderScratch.depth.width, height = renderScratch.depth.height;
    TestScene small(16, 12);
    ASSERT_EQ(small.render(), errNone);
    EXPECT_EQ(renderScratch.depth.width, width);
    EXPECT_EQ(renderScratch.depth.height, height);
    EXPECT_EQ(renderScratch.depth.cells[size_t(20 * renderScratch.depth.pitch + 20)],
              0.0f); // cleared

    // A centre offset of a quarter width moves the square 16 pixels right.
    const float offset[2] = {0.25f, 0.0f};
    s.colour.fill(sceneBackground);
    ASSERT_EQ(s.render(false, nullptr, offset), errNone);
    EXPECT_EQ(s.pixel(31, 20), sceneBackground);
    EXPECT_EQ(s.pixel(32, 20), 0xFF000000u);
    EXPECT_EQ(s.node->visibility, 2u); // touching the right edge is still inside
}

TEST(RenderScene, VisibilityFollowsTheBoundingBox) {
    TestScene s;
    s.addGouraud("grey");
    s.addSquareMesh("square", 10.0f, "grey");
    MeshNode* inside = s.place("square", "Inside");
    MeshNode* partly = s.place("square", "Partly", Vector{-8.0f, 0.0f, 10.0f});
    MeshNode* left = s.place("square", "Left", Vector{-30.0f, 0.0f, 10.0f});
    MeshNode* behind = s.place("square", "Behind", Vector{0.0f, 0.0f, -10.0f});
    linkResources(s.engine);
    ASSERT_EQ(s.render(), errNone);
    EXPECT_EQ(inside->visibility, 2u);
    EXPECT_EQ(partly->visibility, 1u);
    EXPECT_EQ(left->visibility, 0u);
    EXPECT_EQ(behind->visibility, 0u);
    // Only the visible ones left outline edges in the list: four hard sides each.
    EXPECT_EQ(renderScratch.drawList.size(), 8u);

    // Faces wholly beyond one side of the clip rectangle are culled when the box is only
    // partly inside: this square's box reaches back to its origin on the screen's centre.
    s.addSquareMesh("offside", 10.0f, "grey", Vector{-30.0f, 0.0f, 0.0f});
    MeshNode* offside = s.place("offside", "Offside");
    linkResources(s.engine);
    s.colour.fill(sceneBackground);
    const Rect clip{20, 64, 0, 48};
    ASSERT_EQ(s.render(false, &clip), errNone);
    EXPECT_EQ(offside->visibility, 1u);
    for (const RenderFace& f : offside->groups[0].faces)
        EXPECT_EQ(f.culled, 1);
    EXPECT_EQ(s.pixel(19, 20), sceneBackground);
    EXPECT_EQ(s.pixel(20, 20), 0xFF000000u);
}

TEST(RenderScene, FlaggedPassesDrawEachNodeOnce) {
    TestScene s;
    s.scene->root.renderMode = 0;
    s.addGouraud("grey", 1);
    s.addSquareMesh("square", 4.0f, "grey");
    MeshNode* plain = s.place("square", "Plain", Vector{-6.0f, 0.0f, 10.0f});
    MeshNode* flagged = s.place("square", "Flagged", Vector{6.0f, 0.0f, 10.0f});
    flagged->flag = true;
    linkResources(s.engine);
    ASSERT_EQ(s.render(true), errNone);
    EXPECT_EQ(plain->visibility, 0u);
    EXPECT_EQ(flagged->visibility, 2u);
    EXPECT_EQ(s.pixel(32 - 19, 24), sceneBackground);
    EXPECT_EQ(s.pixel(32 + 19, 24), 0xFF000000u);
    const int32_t first = s.countNot(sceneBackground);
    ASSERT_EQ(s.render(false), errNone);
    EXPECT_EQ(plain->visibility, 2u);
    EXPECT_EQ(flagged->visibility, 0u);
    EXPECT_EQ(s.countNot(sceneBackground), 2 * first);
}

TEST(RenderScene, ProjectsNearVerticesAtZOneAndMarksBackFaces) {
    OneSquare s;
    s.node->position = Vector{0.0f, 0.0f, 0.5f};
    ASSERT_EQ(s.render(), errNone);
    const RenderVertex& v = s.node->vertices[0]; // (-5, -5)
    EXPECT_EQ(v.cameraZ, 0.5f);
    EXPECT_EQ(v.invZ, 1.0f);
    EXPECT_EQ(v.screenX, 32.0f - 5.0f * 32.0f);
    EXPECT_EQ(v.screenY, 24.0f - 5.0f * 32.0f);

    // Turned round: both faces back-facing, not culled, not drawn.
    s.node->position = Vector{0.0f, 0.0f, 10.0f};
    s.node->rotation = Quaternion{0.0f, 1.0f, 0.0f, 0.0f};
    s.colour.fill(sceneBackground);
    s.scene->root.renderMode = 0;
    ASSERT_EQ(s.render(), errNone);
    for (const RenderFace& f : s.node->groups[0].faces) {
        EXPECT_EQ(f.backFacing, 1);
        EXPECT_EQ(f.culled, 0);
    }
    EXPECT_EQ(s.countNot(sceneBackground), 0);
}

TEST(RenderScene, OutlinesFollowTheRenderMode) {
    OneSquare s;
    s.material->ramp.assign(s.material->ramp.size(), 0xFFC0C0C0);
    s.scene->root.renderMode = 0;
    ASSERT_EQ(s.render(), errNone);
    EXPECT_TRUE(renderScratch.drawList.empty());
    const int32_t filled = s.countNot(sceneBackground);

    for (uint32_t mode : {1u, 2u}) {
        s.scene->root.renderMode = mode;
        s.colour.fill(sceneBackground);
        ASSERT_EQ(s.render(), errNone);
        EXPECT_EQ(renderScratch.drawList.size(),
                  4u); // the diagonal is soft and inside the silhouette
        for (const DrawItem& d : renderScratch.drawList)
            EXPECT_EQ(d.kind, DrawItem::edge);
        EXPECT_GT(s.countNot(sceneBackground), filled) << mode;
    }
    // Darkening lines blacken the column left of the square's left side.
    EXPECT_EQ(s.pixel(15, 20) & 0x00FFFFFF, 0u);

    s.scene->root.renderMode = 7; // collected, drawn by neither mode
    s.colour.fill(sceneBackground);
    ASSERT_EQ(s.render(), errNone);
    EXPECT_EQ(renderScratch.drawList.size(), 4u);
    EXPECT_EQ(s.countNot(sceneBackground), filled);

    // Folded along its soft diagonal, vertex 3 swung over to the other side of it: one face
    // now turns away, and the diagonal between a front and a back face is a silhouette.
    Mesh* square = s.engine.find<Mesh>(kindMesh, "square");
    square->vertices[3] = Vector{-2.0f, -2.0f, 10.0f};
    square->computeBounds();
    s.scene->root.renderMode = 2;
    s.colour.fill(sceneBackground);
    ASSERT_EQ(s.render(), errNone);
    EXPECT_EQ(s.node->groups[0].faces[1].backFacing, 1);
    EXPECT_EQ(renderScratch.drawList.size(), 5u);
    EXPECT_EQ(s.pixel(31, 24) & 0x00FFFFFF, 0u) << "the diagonal through the centre";
}

TEST(RenderScene, ARepeatedRenderAllocatesNothing) {
    // Outlines, a light and a twisted node: every working list of the passes is used.
    struct Shift : VertexModifier {
        Vector deformPosition(const Vector& p) override { return Vector{p.x + 1.0f, p.y, p.z}; }
        Vector deformNormal(const Vector& n, const RenderVertex&, const Vector&) override {
            return n;
        }
    } shift;
    OneSquare s;
    s.scene->root.renderMode = 2;
    s.addOmni("Omni01", Vector{0.0f, 0.0f, 0.0f}, Colour{200, 200, 200, 1});
    s.node->modifier = &shift;
    ASSERT_EQ(s.render(), errNone);
    const long before = allocations;
    ASSERT_EQ(s.render(), errNone);
    EXPECT_EQ(allocations, before);
    EXPECT_FALSE(renderScratch.drawList.empty());
    s.node->modifier = nullptr;
}

TEST(RenderScene, PassClockCountsEachPassOnceAndOnlyWhenOn) {
    // Which passes receive time, not how much. Off by default; a render inside another
    // timed scope counts toward that scope alone; the depth buffer's clear inside a render
    // counts as rasterising, not as a 2D fill; a render without outlines times no edges.
    OneSquare s;
    s.scene->root.renderMode = 0;
    ASSERT_FALSE(passClock.enabled);
    ASSERT_EQ(s.render(), errNone);
    for (double ms : passClock.ms)
        EXPECT_EQ(ms, 0.0);

    passClock.enabled = true;
    {
        const PassTimer outer(Pass::twoD);
        ASSERT_EQ(s.render(), errNone);
    }
    for (Pass p : {Pass::scene, Pass::transform, Pass::lighting, Pass::raster, Pass::edges})
        EXPECT_EQ(passClock.ms[size_t(p)], 0.0) << int(p);
    passClock.reset();
    ASSERT_EQ(s.render(), errNone);
    EXPECT_EQ(passClock.ms[size_t(Pass::twoD)], 0.0);
    EXPECT_EQ(passClock.ms[size_t(Pass::edges)], 0.0);
    EXPECT_EQ(passClock.open, 0);
    passClock.enabled = false;
    passClock.reset();
}

TEST(RenderScene, DepthSortedFacesAreDrawnFarthestFirst) {
    // Two unlit fade squares over each other, each in its ramp's first entry at 254 of 255
    // (fade 0): the far blue one must be blended before the near red one.
    TestScene s;
    s.scene->root.renderMode = 0;
    for (const auto& [name, colour] :
         {std::pair{"red", Colour{255, 0, 0, 255}}, std::pair{"blue", Colour{0, 0, 255, 255}}}) {
        auto* fade = new FadeRampMaterial(0.0f, colour, Colour{}, 4);
        fade->flags &= ~uint32_t(materialLit);
        ASSERT_EQ(s.engine.addResource(fade, name), errNone);
    }
    s.addSquareMesh("near", 4.0f, "red");
    s.addSquareMesh("far", 40.0f, "blue");
    s.place("near", "Near");
    s.place("far", "Far", Vector{0.0f, 0.0f, 20.0f});
    linkResources(s.engine);
    ASSERT_EQ(s.render(), errNone);
    ASSERT_EQ(renderScratch.drawList.size(), 4u);
    EXPECT_EQ(renderScratch.drawList[0].key, 20.0f);
    EXPECT_EQ(renderScratch.drawList[3].key, 10.0f);
    // Background 0x203040, then blue: (0x40 + 255 * 254) / 256 = 0xFD; then red over it.
    EXPECT_EQ(s.pixel(32, 24), 0x00FD0000u);
    EXPECT_EQ(s.pixel(2, 2), 0x000000FDu);
}

struct Shift : VertexModifier {
    Vector by;
    std::vector<Vector>* before;
    Shift(Vector by, std::vector<Vector>* before) : by(by), before(before) {}
    Vector deformPosition(const Vector& p) override { return p + by; }
    Vector deformNormal(const Vector& n, const RenderVertex&,
                        const Vector& positionBefore) override {
        before->push_back(positionBefore);
        return n;
    }
};

TEST(RenderScene, ModifiersRunNearestFirstOnWorldPositions) {
    TestScene s;
    s.addGouraud("grey");
    s.addSquareMesh("square", 10.0f, "grey");
    ContainerNode* group = new ContainerNode;
    group->rotation = Quaternion{0.0f, 0.0f, 0.0f, 1.0f};
    ASSERT_EQ(attach(&s.scene->root, group, "container"), errNone);
    MeshNode* node = s.place("square", "Square01", Vector{1.0f, 0.0f, 10.0f}, group);
    linkResources(s.engine);
    std::vector<Vector> seenByNode, seenByGroup;
    Shift nodeShift(Vector{0.0f, 2.0f, 0.0f}, &seenByNode);
    Shift groupShift(Vector{0.0f, 0.0f, 10.0f}, &seenByGroup);
    node->modifier = &nodeShift;
    group->modifier = &groupShift;
    ASSERT_EQ(s.render(), errNone);
    // Vertex 0 at (-5, -5, 10), placed at x + 1, moved by the node's modifier, then the group's.
    ASSERT_EQ(seenByNode.size(), 4u);
    EXPECT_EQ(seenByNode[0], (Vector{-4.0f, -5.0f, 10.0f}));
    EXPECT_EQ(seenByGroup[0], (Vector{-4.0f, -3.0f, 10.0f}));
    EXPECT_EQ(node->vertices[0].worldPosition, (Vector{-4.0f, -3.0f, 20.0f}));
    EXPECT_EQ(node->vertices[0].cameraPosition, (Vector{-4.0f, -3.0f, 20.0f}));
    EXPECT_EQ(node->vertices[0].screenX, 32.0f - 4.0f * 32.0f / 20.0f);
    EXPECT_EQ(node->normals[0].cameraNormal, (Vector{0.0f, 0.0f, -1.0f}));
}

// One square at z = 10 lit by a single light; returns the lit colour of corner 0, at
// (-5, -5, 10), whose normal points back at the camera.
struct LitSquare : OneSquare {
    Colour corner0() {
        EXPECT_EQ(render(), errNone);
        return node->groups[0].corners[0].colour;
    }
};

TEST(RenderScene, OmniLightsAddDiffuseLightWithRangeAttenuation) {
    LitSquare s;
    EXPECT_EQ(s.corner0().r, 0.0f); // lit by nothing
    EXPECT_EQ(s.corner0().a, 255.0f);
    OmniLightNode* light = s.addOmni("Omni01", Vector{-5.0f, -5.0f, 0.0f}, Colour{200, 100, 50, 1});
    light->multiplier = 0.5f;
    Colour c = s.corner0(); // straight above the corner: k = 1
    EXPECT_FLOAT_EQ(c.r, 100.0f);
    EXPECT_FLOAT_EQ(c.g, 50.0f);
    EXPECT_FLOAT_EQ(c.b, 25.0f);
    const RenderCorner& far = s.node->groups[0].corners[3]; // (5, 5, 10): k = 10 / |(10, 10, 10)|
    EXPECT_NEAR(far.colour.r, 100.0f / std::sqrt(3.0f), 1e-3f);
    // Two lights add: a second one at 45 degrees, k = cos 45.
    OmniLightNode* second = s.addOmni("Omni02", Vector{-5.0f, 5.0f, 0.0f}, Colour{70, 0, 0, 1});
    EXPECT_NEAR(s.corner0().r, 100.0f + 70.0f * std::sqrt(0.5f), 1e-3f);
    second->off = true;

    light->rangeAttenuation = true;
    light->innerRange = 4.0f;
    light->outerRange = 12.0f; // distance 10: t = 0.75
    EXPECT_NEAR(s.corner0().r, 25.0f, 1e-4f);
    EXPECT_EQ(far.colour.r, 0.0f); // distance 17.3 is beyond the outer range
    light->outerRange = 9.0f;
    EXPECT_EQ(s.corner0().r, 0.0f);

    light->rangeAttenuation = false;
    light->position = Vector{-5.0f, -5.0f, 20.0f}; // behind the square: k < 0
    EXPECT_EQ(s.corner0().r, 0.0f);
    light->position = Vector{-5.0f, -5.0f, 0.0f};
    light->off = true;
    EXPECT_EQ(s.corner0().r, 0.0f);
    light->off = false;
    s.material->flags = 0; // unlit material: corners stay black
    EXPECT_EQ(s.corner0().r, 0.0f);
    // Corners of the group get their uv back whatever the light.
    s.node->groups[0].textureOffsetU = 0.25f;
    s.corner0();
    EXPECT_EQ(s.node->groups[0].corners[2].u, 1.25f);
}

TEST(RenderScene, BothFormsOfNormalLightingAgreeToTheBit) {
    // Four-at-a-time lighting against the plain one on the same normals: range attenuation
    // cutting some of them off and dimming others, normals facing away and zero normals, a
    // vertex on a light (whose direction is not a number), and a count that is not a
    // multiple of four, a vertex that is not a number. Normals left out of the list keep
    // what the output held.
    std::mt19937 random(77);
    std::uniform_real_distribution<float> coordinate(-30.0f, 30.0f), unit(-1.0f, 1.0f);
    std::vector<RenderVertex> vertices(150);
    for (RenderVertex& v : vertices)
        v.cameraPosition = Vector{coordinate(random), coordinate(random), coordinate(random)};
    vertices[9].cameraPosition.x = std::nanf("");
    std::vector<Light> lights(3);
    lights[0].position = Vector{0.0f, -20.0f, 5.0f};
    lights[0].colour = Colour{200.0f, 100.0f, 50.0f, 1.0f};
    lights[1].position = vertices[5].cameraPosition;
    lights[1].colour = Colour{30.0f, 60.0f, 90.0f, 0.5f};
    lights[1].rangeAttenuation = true;
    lights[1].innerRange = 10.0f;
    lights[1].outerRange = 40.0f;
    lights[2].position = Vector{25.0f, 25.0f, -10.0f};
    lights[2].colour = Colour{80.0f, 80.0f, 80.0f, 2.0f};
    lights[2].rangeAttenuation = true;
    lights[2].innerRange = 30.0f;
    lights[2].outerRange = 20.0f; // beyond the outer range or scaled up, never between
    std::vector<RenderNormal> normals(203);
    std::vector<uint32_t> indices;
    for (size_t i = 0; i < normals.size(); ++i) {
        normals[i].vertex = &vertices[i % vertices.size()];
        normals[i].cameraNormal =
            i % 17 == 0 ? Vector{} : normalised(Vector{unit(random), unit(random), unit(random)});
        if (i % 7 != 3)
            indices.push_back(uint32_t(i));
    }
    const Colour unset{-1.0f, -2.0f, -3.0f, -4.0f};
    // All three lights, then the two with ranges alone, which may leave a lane unlit.
    for (size_t first : {0, 1}) {
        const std::vector<Light> used(lights.begin() + long(first), lights.end());
        std::vector<Colour> fast(normals.size(), unset), plain(normals.size(), unset);
        lightNormals(used, normals.data(), indices.data(), indices.size(), fast.data());
        scalar::lightNormals(used, normals.data(), indices.data(), indices.size(), plain.data());
        EXPECT_EQ(std::memcmp(fast.data(), plain.data(), fast.size() * sizeof(Colour)), 0);
        int lit = 0;
        for (const Colour& c : plain)
            lit += c.r > 0.0f;
        EXPECT_GT(lit, 30);
        EXPECT_EQ(plain[3].r, unset.r);
    }
}

TEST(RenderScene, SpotlightsLightInsideTheirCone) {
    LitSquare s;
    SpotLightNode* spot = new SpotLightNode;
    spot->ownRotation = true;
    spot->rotation = Quaternion{0.0f, 0.0f, 0.0f, 1.0f}; // along +z from (-5, -5, 0)
    spot->position = Vector{-5.0f, -5.0f, 0.0f};
    spot->colour = Colour{100, 100, 100, 1};
    spot->hotspot = 0.5f;
    spot->falloff = 1.0f;
    ASSERT_EQ(attach(&s.scene->root, spot, "Spot01"), errNone);
    EXPECT_FLOAT_EQ(s.corner0().r, 100.0f);                // on the axis
    const RenderCorner& c3 = s.node->groups[0].corners[3]; // (5, 5, 10): 2 * 0.9553 rad off
    EXPECT_EQ(c3.colour.r, 0.0f);
    const RenderCorner& c1 = s.node->groups[0].corners[1]; // (-5, 5, 10): a = 2 * atan(1)
    EXPECT_EQ(c1.colour.r, 0.0f);

    spot->falloff = 2.0f; // a = pi / 2, between hotspot and falloff
    s.corner0();
    const float a = 2.0f * std::atan(1.0f);
    const float k = 10.0f / std::sqrt(200.0f);
    EXPECT_NEAR(c1.colour.r, 100.0f * (1.0f - (a - 0.5f) / 1.5f) * k, 1e-3f);

    spot->overshoot = true; // no cone at all
    s.corner0();
    EXPECT_NEAR(c3.colour.r, 100.0f / std::sqrt(3.0f), 1e-3f);

    spot->overshoot = false;
    spot->rangeAttenuation = true;
    spot->innerRange = 0.0f;
    spot->outerRange = 5.0f;
    EXPECT_EQ(s.corner0().r, 0.0f);
}

TEST(RenderScene, ASpotlightCosineRoundedPastMinusOneAddsTheWholeLight) {
    // Vertices straight behind a spotlight, their normals facing it: a cosine of exactly
    // -1 is a full turn off the axis (no light), one that rounds below -1 has no angle at
    // all and the light is added whole.
    Light spot;
    spot.position = Vector{1.0f, 2.0f, 3.0f};
    spot.colour = Colour{100.0f, 100.0f, 100.0f, 1.0f};
    spot.cone = true;
    spot.axis = normalised(Vector{1.0f, 1.0f, 1.0f});
    spot.hotspot = 0.5f;
    spot.falloff = 1.0f;
    const std::vector<Light> lights{spot};
    int whole = 0;
    for (int s = 1; s <= 64; ++s) {
        RenderVertex v;
        v.cameraPosition = spot.position - scaled(spot.axis, 0.037f * float(s));
        RenderNormal n{&v, Vector{}, spot.axis};
        const uint32_t index = 0;
        Colour out{};
        scalar::lightNormals(lights, &n, &index, 1, &out);
        if (out.r != 0.0f) {
            EXPECT_NEAR(out.r, 100.0f, 1e-3f) << s;
            ++whole;
        }
    }
    EXPECT_GT(whole, 0);
    EXPECT_LT(whole, 64);
}

TEST(RenderScene, DrawsAnotherSceneThroughTheCamera) {
    OneSquare drawn;
    TestScene viewer;                                   // its own camera, in a scene without meshes
    viewer.camera->position = Vector{0.0f, 0.0f, 5.0f}; // 5 units from the square
    drawn.scene->root.renderMode = 0;
    ASSERT_EQ(
        renderScene(&viewer.colour, nullptr, viewer.camera, drawn.scene, nullptr, nullptr, false),
        errNone);
    // Twice as near: the square spans 64 pixels, the whole width.
    EXPECT_EQ(viewer.pixel(0, 24), 0xFF000000u);
    EXPECT_EQ(viewer.pixel(63, 24), 0xFF000000u);
    EXPECT_EQ(drawn.node->visibility, 1u);
}

TEST(RenderScene, ADegenerateCameraDrawsNothing) {
    OneSquare s;
    s.scene->root.renderMode = 2;
    TargetNode* target = new TargetNode;
    ASSERT_EQ(attach(&s.scene->root, target, "Camera01.ctarget"), errNone);
    s.camera->ownRotation = false;
    s.camera->target = NodeRef("/Camera01.ctarget");
    linkResources(s.engine);
    ASSERT_EQ(s.camera->target.node, target);
    // The camera sits on its target: no direction to look along, every matrix NaN.
    EXPECT_EQ(s.render(), errNone);
    EXPECT_EQ(s.countNot(sceneBackground), 0);
    EXPECT_FALSE(renderScratch.drawList.empty());
}

} // namespace
} // namespace korvid
