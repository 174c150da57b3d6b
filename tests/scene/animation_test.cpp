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
    const ScalarTrack t = scalarTrack({{0, 1.0f, 0.0f, 2.0f}, {10, 3.0f, 4.0f, 0.0f}});
    EXPECT_EQ(at(t, -5), 1.0f);
    EXPECT_EQ(at(t, 0), 1.0f);
    EXPECT_EQ(at(t, 10), 3.0f);
    EXPECT_EQ(at(t, 20), 3.0f);
    // u = 0.5: h1 = h2 = 0.5, h3 = 0.125, h4 = -0.125.
    EXPECT_EQ(at(t, 5), 0.5f * 1.0f + 0.5f * 3.0f + 0.125f * 2.0f - 0.125f * 4.0f);
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

TEST(Tracks, ColourAlphaIsOneAndRotationBlendsThreeSlerps) {
    ColourTrack colours;
    colours.keys = {{0, {0, 0, 0, 7}, {}, {}}, {2, {100, 50, 10, 9}, {}, {}}};
    Colour c;
    colours.evaluate(1.0f, c);
    EXPECT_EQ(c.r, 50.0f);
    EXPECT_EQ(c.a, 1.0f);

    const Quaternion q0{0, 0, 0, 1};
    const Quaternion q1 = Quaternion::fromAxisAngle({0, 0, 1}, 1.0f);
    RotationTrack turns;
    turns.keys = {{0, q0, q0, q0}, {4, q1, q1, q1}};
    Quaternion q;
    turns.evaluate(1.0f, q);
    const Quaternion a = slerp(q0, q1, 0.25f);
    const Quaternion expected = slerp(a, a, 2 * 0.25f * 0.75f);
    EXPECT_EQ(q.z, expected.z);
    EXPECT_EQ(q.w, expected.w);
    EXPECT_NEAR(q.z, std::sin(0.125f), 1e-6f);
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

TEST(Tracks, ConversionFromLib3ds) {
    LibKeys<Lib3dsLin3Key> positions{std::vector<Lib3dsLin3Key>(2)};
    positions.keys[0].tcb.frame = 0;
    positions.keys[1].tcb.frame = 10;
    float values[2][3] = {{1, 2, 3}, {4, 5, 6}};
    for (int i = 0; i < 2; ++i)
        for (int k = 0; k < 3; ++k) {
            positions.keys[i].value[k] = values[i][k];
            positions.keys[i].ds[k] = 10.0f * i + k;
            positions.keys[i].dd[k] = 20.0f * i + k;
        }
    Lib3dsLin3Track lin3{0, positions.list()};
    Vector field;
    VectorTrack track;
    convertVectorTrack(field, track, lin3);
    EXPECT_EQ(field, (Vector{2, 1, 3}));
    ASSERT_EQ(track.count(), 2u);
    EXPECT_EQ(track.keys[1].frame, 10.0f);
    EXPECT_EQ(track.keys[1].value, (Vector{5, 4, 6}));
    EXPECT_EQ(track.keys[1].inTangent, (Vector{11, 10, 12}));
    EXPECT_EQ(track.keys[1].outTangent, (Vector{21, 20, 22}));

    Colour colour;
    ColourTrack colours;
    positions.keys[0].value[0] = 1, positions.keys[0].value[1] = 0.5f,
    positions.keys[0].value[2] = 0;
    convertColourTrack(colour, colours, lin3);
    EXPECT_EQ(colour.r, 256.0f);
    EXPECT_EQ(colour.g, 128.0f);
    EXPECT_EQ(colour.a, 1.0f);
    EXPECT_EQ(colours.keys[0].outTangent.a, 1.0f);

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

    LibKeys<Lib3dsQuatKey> turns{std::vector<Lib3dsQuatKey>(2)};
    turns.keys[1].tcb.frame = 5;
    const float q[4] = {0.1f, 0.2f, 0.3f, 0.9f};
    std::copy(q, q + 4, turns.keys[1].q);
    Lib3dsQuatTrack quat{0, turns.list()};
    Quaternion rotation;
    RotationTrack rotations;
    convertRotationTrack(rotation, rotations, quat);
    EXPECT_EQ(rotations.keys[1].value.x, 0.2f);
    EXPECT_EQ(rotations.keys[1].value.y, 0.1f);
    EXPECT_EQ(rotations.keys[1].value.w, 0.9f);
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
