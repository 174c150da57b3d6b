#include "engine/scene/scene.hpp"

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

} // namespace

TEST(Tracks, ScalarHermiteAtBetweenAndOutsideKeys) {
    // Values 0 and 1 with tangents 0 and 3 make the curve u^3, for u = (frame - 2) / 8.
    const ScalarTrack t = scalarTrack({{2, 0.0f, 0.0f, 0.0f}, {10, 1.0f, 3.0f, 0.0f}});
    EXPECT_EQ(at(t, -5), 0.0f);
    EXPECT_EQ(at(t, 2), 0.0f);
    EXPECT_EQ(at(t, 10), 1.0f);
    EXPECT_EQ(at(t, 20), 1.0f);
    EXPECT_EQ(at(t, 6), 0.125f);
    EXPECT_EQ(at(ScalarTrack{}, 5), -99.0f); // an empty track writes nothing

    // Three keys: the interval is found by frame.
    const ScalarTrack three = scalarTrack({{0, 0, 0, 0}, {10, 10, 0, 0}, {20, 30, 0, 0}});
    EXPECT_EQ(at(three, 15), 20.0f);
    EXPECT_EQ(at(three, 10), 10.0f);

    // Booleans step, and a frame exactly on an inner key takes that key's value.
    BoolTrack flags;
    flags.keys = {{0, false}, {10, true}, {20, false}};
    for (const auto& [frame, expected] : {std::pair{9.9f, false}, std::pair{10.0f, true},
                                          std::pair{19.9f, true}, std::pair{20.0f, false}}) {
        bool v = !expected;
        flags.evaluate(frame, v);
        EXPECT_EQ(v, expected) << frame;
    }
}

TEST(Tracks, EveryComponentFollowsItsOwnHermiteCurve) {
    // Distinct values and tangents in every component, against the curve worked out in
    // double precision from the fraction u between the keys.
    const auto hermite = [](double u, double a, double b, double outA, double inB) {
        return (2 * u * u * u - 3 * u * u + 1) * a + (3 - 2 * u) * u * u * b +
               (u * u * u - 2 * u * u + u) * outA + (u * u * u - u * u) * inB;
    };
    VectorTrack moves;
    moves.keys = {{4, {1, -2, 3}, {9, 9, 9}, {0.5f, -4, 2}},
                  {12, {7, 5, -6}, {-1, 3, 0.25f}, {8, 8, 8}}};
    ColourTrack colours;
    colours.keys = {{4, {10, 200, 30, 5}, {}, {40, -60, 7, 3}},
                    {12, {90, 20, 250, 6}, {-5, 30, 11, 2}, {}}};
    for (float frame : {5.0f, 8.0f, 10.5f}) {
        const double u = (frame - 4.0) / 8.0;
        Vector v;
        moves.evaluate(frame, v);
        EXPECT_NEAR(v.x, hermite(u, 1, 7, 0.5, -1), 1e-5) << frame;
        EXPECT_NEAR(v.y, hermite(u, -2, 5, -4, 3), 1e-5) << frame;
        EXPECT_NEAR(v.z, hermite(u, 3, -6, 2, 0.25), 1e-5) << frame;
        Colour c;
        colours.evaluate(frame, c);
        EXPECT_NEAR(c.r, hermite(u, 10, 90, 40, -5), 1e-4) << frame;
        EXPECT_NEAR(c.g, hermite(u, 200, 20, -60, 30), 1e-4) << frame;
        EXPECT_NEAR(c.b, hermite(u, 30, 250, 7, 11), 1e-4) << frame;
        EXPECT_EQ(c.a, 1.0f);
    }
}

TEST(Tracks, RotationBlendsKeysWithTheirTangents) {
    // Both keys at rest, the outgoing tangent of the first and the incoming one of the
    // second turned by t about z: the keys' slerp stays at rest, the tangents' slerp stays at
    // rotz(t), and the blend between them by 2u(1 - u) turns by 0.375 t at u = 0.25. The
    // other two tangents turn elsewhere and must not count.
    const Quaternion rest{0, 0, 0, 1}, elsewhere{0.6f, 0, 0, 0.8f}, other{0, 0.8f, 0, 0.6f};
    for (double t : {0.5, 2.0, -1.2}) {
        const Quaternion turned{0, 0, float(std::sin(t / 2)), float(std::cos(t / 2))};
        RotationTrack turns;
        turns.keys = {{10, rest, elsewhere, turned}, {14, rest, turned, other}};
        Quaternion q;
        turns.evaluate(11.0f, q);
        EXPECT_NEAR(q.x, 0.0, 1e-6) << t;
        EXPECT_NEAR(q.z, std::sin(0.375 * t / 2), 1e-6) << t;
        EXPECT_NEAR(q.w, std::cos(0.375 * t / 2), 1e-6) << t;
    }
}

TEST(Tracks, SlerpBranches) {
    // Nearly equal: the linear weights.
    const Quaternion a{0, 0, 0, 1};
    Quaternion r = slerp(a, a, 0.25f);
    EXPECT_EQ(r.w, 1.0f);
    // The exact negative: the nearly-opposite branch turns towards (-a.y, a.x, -a.w, a.z)
    // by sin(1.57), not quite 1.
    r = slerp(Quaternion{0.6f, 0, 0, 0.8f}, Quaternion{-0.6f, 0, 0, -0.8f}, 1.0f);
    EXPECT_EQ(r.x, 0.0f);
    EXPECT_NEAR(r.y, 0.6 * std::sin(1.57), 1e-7);
    EXPECT_NEAR(r.z, -0.8 * std::sin(1.57), 1e-7);
    EXPECT_EQ(r.w, 0.0f);
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
