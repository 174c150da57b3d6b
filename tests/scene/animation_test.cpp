#include "engine/scene/scene.hpp"
#include "engine/scene/track_convert.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace korvid;

namespace {

ScalarTrack scalarTrack(std::initializer_list<ScalarKey> keys) {
    ScalarTrack t;
    t.keys = keys;
    return t;
}

float at(const ScalarTrack& t, float frame) {
    float v = -99.0f;
    t.evaluate(frame, v);
    return v;
}

// lib3ds keys as the library holds them after reading: a sorted list with tangents.
template <class Key>
struct LibKeys {
    std::vector<Key> keys;

    Key* list() {
        for (size_t i = 0; i < keys.size(); ++i)
            keys[i].next = i + 1 < keys.size() ? &keys[i + 1] : nullptr;
        return keys.empty() ? nullptr : &keys[0];
    }
};

} // namespace

TEST(Tracks, ScalarHermiteAtBetweenAndOutsideKeys) {
    // Values 0 and 1 with tangents 0 and 3 make the curve u^3, for u = (frame - 2) / 8.
    const ScalarTrack t = scalarTrack({{2, 0.0f, 0.0f, 0.0f}, {10, 1.0f, 3.0f, 0.0f}});
    EXPECT_EQ(at(t, -5), 0.0f);
    EXPECT_EQ(at(t, 2), 0.0f);
    EXPECT_EQ(at(t, 10), 1.0f);
    EXPECT_EQ(at(t, 20), 1.0f);
    EXPECT_EQ(at(t, 6), 0.125f);
    EXPECT_NEAR(at(t, 4), 0.015625f, 1e-7f);
    EXPECT_EQ(at(ScalarTrack{}, 5), -99.0f); // an empty track writes nothing

    // Three keys: the interval is found by frame.
    const ScalarTrack three = scalarTrack({{0, 0, 0, 0}, {10, 10, 0, 0}, {20, 30, 0, 0}});
    EXPECT_EQ(at(three, 15), 20.0f);
    EXPECT_EQ(at(three, 10), 10.0f);

    BoolTrack flags;
    flags.keys = {{0, false}, {10, true}};
    bool v = true;
    flags.evaluate(9.9f, v);
    EXPECT_FALSE(v);
    flags.evaluate(10.0f, v);
    EXPECT_TRUE(v);
}

TEST(Tracks, ColourAlphaIsOneAndRotationBlendsKeysWithTangents) {
    ColourTrack colours;
    colours.keys = {{0, {0, 0, 0, 7}, {}, {}}, {2, {100, 50, 10, 9}, {}, {}}};
    Colour c;
    colours.evaluate(1.0f, c);
    EXPECT_EQ(c.r, 50.0f);
    EXPECT_EQ(c.a, 1.0f);

    // Both keys at rest, both tangents turned by t about z: the keys' slerp stays at rest,
    // the tangents' slerp stays at rotz(t), and the blend between them by 2u(1 - u) turns
    // by 0.375 t at u = 0.25.
    const Quaternion rest{0, 0, 0, 1};
    for (double t : {0.5, 2.0, -1.2}) {
        const Quaternion turned{0, 0, float(std::sin(t / 2)), float(std::cos(t / 2))};
        RotationTrack turns;
        turns.keys = {{10, rest, turned, turned}, {14, rest, turned, turned}};
        Quaternion q;
        turns.evaluate(11.0f, q);
        EXPECT_NEAR(q.z, std::sin(0.375 * t / 2), 1e-6) << t;
        EXPECT_NEAR(q.w, std::cos(0.375 * t / 2), 1e-6) << t;
    }
}

TEST(Tracks, SlerpBranches) {
    const Quaternion a{0, 0, 0, 1};
    const Quaternion b = Quaternion::fromAxisAngle({1, 0, 0}, 0.5f);
    Quaternion r = slerp(a, b, 0.5f);
    EXPECT_NEAR(r.x, std::sin(0.125f), 1e-6f);
    // Nearly equal: the linear weights.
    r = slerp(a, a, 0.25f);
    EXPECT_EQ(r.w, 1.0f);
    // The exact negative: the nearly-opposite branch towards (-a.y, a.x, -a.w, a.z).
    const Quaternion p{0.6f, 0.0f, 0.0f, 0.8f};
    r = slerp(p, Quaternion{-0.6f, 0.0f, 0.0f, -0.8f}, 1.0f);
    const float s1 = std::sin(0.0f * 1.57f), s2 = std::sin(1.0f * 1.57f);
    EXPECT_EQ(r.x, s1 * 0.6f + s2 * -0.0f);
    EXPECT_EQ(r.y, s1 * 0.0f + s2 * 0.6f);
    EXPECT_EQ(r.z, s1 * 0.0f + s2 * -0.8f);
    EXPECT_EQ(r.w, s1 * 0.8f + s2 * 0.0f);
}

// Positions, rotations and their tangents are checked end to end against lib3ds's own
// evaluation (Import.WorldMatricesFollowLib3dsEvaluation); colours and angles here.
TEST(Tracks, ConversionFromLib3ds) {
    LibKeys<Lib3dsLin3Key> colourKeys{std::vector<Lib3dsLin3Key>(2)};
    colourKeys.keys[1].tcb.frame = 10;
    const float red[3] = {1, 0.5f, 0}, green[3] = {0, 1, 0.25f};
    std::copy(red, red + 3, colourKeys.keys[0].value);
    std::copy(green, green + 3, colourKeys.keys[1].dd);
    Lib3dsLin3Track lin3{0, colourKeys.list()};
    Colour colour;
    ColourTrack colours;
    convertColourTrack(colour, colours, lin3);
    EXPECT_EQ(colour.r, 256.0f); // scale 256, not 255
    EXPECT_EQ(colour.g, 128.0f);
    EXPECT_EQ(colour.a, 1.0f);
    ASSERT_EQ(colours.count(), 2u);
    EXPECT_EQ(colours.keys[1].frame, 10.0f);
    EXPECT_EQ(colours.keys[1].outTangent.b, 64.0f);
    EXPECT_EQ(colours.keys[1].outTangent.a, 1.0f);

    // A single key sets the field and leaves the track empty.
    LibKeys<Lib3dsLin1Key> roll{std::vector<Lib3dsLin1Key>(1)};
    roll.keys[0].value = 90.0f;
    Lib3dsLin1Track lin1{0, roll.list()};
    float angle = 0;
    ScalarTrack rolls;
    rolls.keys.resize(3);
    convertScalarTrack(angle, rolls, lin1);
    EXPECT_EQ(angle, 90.0f * 0.017453292f);
    EXPECT_EQ(rolls.count(), 0u);
}

TEST(Animation, SetTimeLoopsOverFrames) {
    Scene scene;
    auto* target = new TargetNode;
    attach(&scene.root, target, "t");
    target->positionTrack.keys = {{0, {0, 0, 0}, {}, {}}, {100, {100, 0, 0}, {}, {}}};

    scene.frames = 100;
    EXPECT_EQ(scene.setTime(-1), errNone);
    EXPECT_EQ(scene.frame, 99.0f);
    scene.setTime(250);
    EXPECT_EQ(scene.frame, 50.0f);
    scene.setTime(100);
    EXPECT_EQ(scene.frame, 0.0f);
    scene.setTime(12.5f);
    EXPECT_EQ(scene.frame, 12.5f);

    // Without keyframe data every time plays frame 0.
    scene.frames = 0;
    for (float t : {0.0f, 7.0f, -3.0f, INFINITY, NAN}) {
        scene.setTime(t);
        EXPECT_EQ(scene.frame, 0.0f);
        EXPECT_EQ(target->position.x, 0.0f);
    }
}

TEST(Animation, OmniLightOffFreezesColourNotPosition) {
    OmniLightNode light;
    light.offTrack.keys = {{0, true}, {10, true}};
    light.colourTrack.keys = {{0, {1, 1, 1, 1}, {}, {}}, {10, {200, 200, 200, 1}, {}, {}}};
    light.positionTrack.keys = {{0, {0, 0, 0}, {}, {}}, {10, {10, 0, 0}, {}, {}}};
    light.colour = {5, 5, 5, 1};
    light.evaluate(10);
    EXPECT_EQ(light.colour.r, 5.0f);
    EXPECT_EQ(light.position.x, 10.0f);
}

TEST(Animation, WorldsUpdateInDependencyOrder) {
    Scene scene;
    auto* group = new ContainerNode;
    attach(&scene.root, group, "group");
    group->position = {1, 2, 3};
    group->rotation = {0, 0, 0, 1};
    group->scale = {2, 2, 2};
    group->pivot = {1, 0, 0};
    auto* camera = new CameraNode;
    attach(group, camera, "cam");
    camera->position = {0, -5, 0};
    auto* target = new TargetNode;
    attach(&scene.root, target, "cam.ctarget");
    target->position = {3, 10, 3};
    camera->target = NodeRef("/cam.ctarget");
    camera->target.node = target;

    scene.updateWorlds(nullptr);
    // The pivot sits at the position; scale turns about it.
    EXPECT_EQ(group->world.getTranslation(), (Vector{-1, 2, 3}));
    const Vector eye = camera->world.getTranslation();
    EXPECT_EQ(eye, (Vector{-1, -8, 3}));
    // The camera's +z looks at the target; world up is +z, its own +y points down.
    const Vector forward = camera->world.column(2);
    const Vector d = normalised(target->world.getTranslation() - eye);
    EXPECT_NEAR(dot(forward, d), 2.0f, 1e-5f); // scale 2 from the group
    EXPECT_LT(camera->world.column(1).z, 0.0f);

    // Starting from the camera updates what it depends on first.
    target->position = {3, 10, 13};
    group->position = {0, 0, 0};
    scene.updateWorlds(camera);
    EXPECT_EQ(target->world.getTranslation(), (Vector{3, 10, 13}));
    EXPECT_EQ(camera->world.getTranslation(), (Vector{-2, -10, 0}));

    // A targeted camera without a resolved target keeps its matrix.
    const Matrix before = camera->world;
    camera->target.node = nullptr;
    group->position = {5, 5, 5};
    scene.updateWorlds(nullptr);
    EXPECT_EQ(std::memcmp(&before, &camera->world, sizeof before), 0);
}

TEST(Animation, LookAlongMatrix) {
    const Matrix m = Matrix::lookAlong({0, 1, 0}, 0.0f);
    EXPECT_EQ(m.column(0), (Vector{-1, 0, 0}));
    EXPECT_EQ(m.column(1), (Vector{0, 0, -1}));
    EXPECT_EQ(m.column(2), (Vector{0, 1, 0}));
}
