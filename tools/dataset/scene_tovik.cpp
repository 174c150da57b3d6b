// "tovik": a round little character dancing in place, the whole loop lasting the part it
// appears in (64 frames over 128 units: two frames to a beat). It stands on the z axis,
// about which the show twists it.

#include "engine/math/elementary.hpp"
#include "mesh_shapes.hpp"
#include "scenes.hpp"

#include <cmath>

namespace dataset {

namespace {

constexpr float pi = 3.14159265f;
constexpr int frames = 64;
const Vec3 leftShoulder{0.0f, 25.0f, 112.0f}, rightShoulder{0.0f, -25.0f, 112.0f};

// An ellipsoid-like ball: a lathe around `centre`.
void addBall(MeshData& mesh, Vec3 centre, float radius, float height, float squash,
             const char* material, uint32_t smoothing, int columns = 20, int rows = 12) {
    addLathe(
        mesh, columns, rows,
        [=](float t) {
            return ProfilePoint{radius * korvid::sin(pi * t), -height * korvid::cos(pi * t)};
        },
        material, smoothing, squash, centre);
}

MeshData bodyMesh() {
    MeshData mesh("tovik");
    // An egg of a body with a belly band, a big head with a visor and two antennae.
    addLathe(
        mesh, 20, 14,
        [](float t) {
            const float z = 38.0f + 86.0f * t;
            const float r = 24.0f * korvid::pow(korvid::sin(pi * (0.06f + 0.9f * t)), 0.7f) +
                            1.5f * korvid::exp(-korvid::pow((t - 0.45f) * 14.0f, 2.0f));
            return ProfilePoint{t >= 1.0f ? 0.0f : r, z};
        },
        "tovik", 1, 0.85f);
    addBall(mesh, {0, 0, 150}, 25.0f, 24.0f, 0.95f, "tovik", 2, 20, 12);
    addBall(mesh, {17, 0, 152}, 12.0f, 8.0f, 1.5f, "tovik", 4, 14, 8);
    for (float side : {-1.0f, 1.0f}) {
        addTube(
            mesh, 8, 6,
            [=](float s) {
                return Vec3{-3.0f * s, side * (10.0f + 10.0f * s), 170.0f + 16.0f * s};
            },
            [](float) { return 1.8f; }, false, "tovik", 8);
        addBall(mesh, {-3.0f, side * 20.0f, 188.0f}, 4.5f, 4.5f, 1.0f, "tovik", 16, 8, 4);
        // Legs and feet.
        addTube(
            mesh, 8, 10,
            [=](float s) {
                return Vec3{2.0f * s, side * (11.0f + 2.0f * s), 46.0f - 38.0f * s};
            },
            [](float s) { return 7.5f - 1.5f * s; }, false, "tovik", 32);
        addBall(mesh, {6.0f, side * 13.0f, 6.0f}, 12.0f, 6.0f, 0.6f, "tovik", 64, 14, 8);
    }
    return mesh;
}

MeshData armMesh(const char* name, Vec3 shoulder, float side) {
    MeshData mesh(name);
    addBall(mesh, shoulder, 8.0f, 8.0f, 1.0f, "tovik", 1, 10, 6);
    addTube(
        mesh, 10, 10,
        [=](float s) {
            return shoulder + Vec3{6.0f * s, side * 8.0f * s, -50.0f * s};
        },
        [](float s) { return 5.5f - 1.5f * s; }, false, "tovik", 2);
    addBall(mesh, shoulder + Vec3{7.0f, side * 9.0f, -55.0f}, 7.0f, 7.0f, 1.0f, "tovik", 4, 10, 6);
    return mesh;
}

// One arm's swing at `frame`: forward and back every bar, up high every fourth bar.
Quat armSwing(int frame, float side) {
    const float bar = float(frame) / 8.0f;
    const float swing = 0.7f * korvid::sin(pi * bar + (side > 0 ? 0.0f : pi));
    const float raise = 1.3f * korvid::pow(std::max(0.0f, korvid::sin(pi * bar / 4.0f)), 4.0f);
    return axisAngle({1, 0, 0}, -side * raise) * axisAngle({0, 1, 0}, -swing);
}

} // namespace

void buildTovik(SceneFile& scene) {
    scene.addMesh(bodyMesh());
    scene.addMesh(armMesh("TovikArmL", leftShoulder, 1.0f));
    scene.addMesh(armMesh("TovikArmR", rightShoulder, -1.0f));
    const NodeId body = scene.addObject("tovik");
    const NodeId left = scene.addObject("TovikArmL", body, leftShoulder);
    const NodeId right = scene.addObject("TovikArmR", body, rightShoulder);

    std::vector<Key<Vec3>> bob, leftAt, rightAt;
    std::vector<Key<Quat>> turn, leftTurn, rightTurn;
    for (int f = 0; f <= frames; ++f) {
        // A bounce every two beats, one full turn over the loop, a sway every two bars.
        const float bounce = 5.0f * std::fabs(korvid::sin(pi * float(f) / 4.0f));
        bob.push_back({f, {0.0f, 0.0f, bounce}});
        const float spin = 2.0f * pi * float(f) / float(frames);
        const float sway = 0.14f * korvid::sin(2.0f * pi * float(f) / 16.0f);
        turn.push_back({f, axisAngle({0, 0, 1}, spin) * axisAngle({1, 0, 0}, sway)});
        leftAt.push_back({f, leftShoulder});
        rightAt.push_back({f, rightShoulder});
        leftTurn.push_back({f, armSwing(f % frames, 1.0f)});
        rightTurn.push_back({f, armSwing(f % frames, -1.0f)});
    }
    scene.setPosition(body, bob, true);
    scene.setRotation(body, turn, true);
    scene.setPosition(left, leftAt, true);
    scene.setPosition(right, rightAt, true);
    scene.setRotation(left, leftTurn, true);
    scene.setRotation(right, rightTurn, true);

    scene.addCamera("Camera01", {270.0f, -130.0f, 120.0f}, {0.0f, 0.0f, 92.0f}, 56.0f);
    // Lights at the corners of a tetrahedron around the body: every side of it is lit
    // while it turns and twists.
    scene.addOmni("Key", {300.0f, -300.0f, 390.0f}, {1.0f, 0.92f, 0.8f}, 0.62f);
    scene.addOmni("Fill", {-300.0f, 300.0f, 390.0f}, {0.75f, 0.75f, 1.0f}, 0.38f);
    scene.addOmni("Under", {300.0f, 300.0f, -210.0f}, {1.0f, 0.8f, 0.7f}, 0.3f);
    scene.addOmni("Back", {-300.0f, -300.0f, -210.0f}, {0.8f, 0.8f, 1.0f}, 0.28f);
}

} // namespace dataset
