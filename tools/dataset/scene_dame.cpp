// "dame": a lady in a wide hat inside a dummy ("/container", which the show spins and
// twists), and four red boxes that tumble around her. Nothing here is keyframed: the show
// never sets this scene's time and moves the nodes itself.

#include "engine/math/elementary.hpp"
#include "mesh_shapes.hpp"
#include "scenes.hpp"

#include <cmath>

namespace dataset {

namespace {

constexpr float pi = 3.14159265f;

// Profile of the dress from the hem up to the shoulders: a bell, a waist, a bodice.
ProfilePoint dressProfile(float t) {
    const float z = t * 126.0f;
    float r;
    if (z < 80.0f) {
        const float u = z / 80.0f; // hem to waist
        r = 13.0f + 31.0f * korvid::pow(1.0f - u, 1.6f) + 2.0f * korvid::sin(u * pi);
    } else {
        const float u = (z - 80.0f) / 46.0f; // waist to shoulders
        r = 13.0f + 5.0f * korvid::sin(u * pi * 0.9f) - (u > 0.85f ? (u - 0.85f) * 40.0f : 0.0f);
    }
    return {r, z};
}

MeshData dameMesh() {
    MeshData mesh("Dame");
    addLathe(mesh, 40, 30, dressProfile, "cartoonred", 1, 0.82f);
    // The hem: the bottom of the bell closed by a flat disc.
    addLathe(
        mesh, 40, 1,
        [](float t) {
            return ProfilePoint{44.0f * t, 0.0f};
        },
        "cartoonred", 0, 0.82f);
    // Neck and head.
    addLathe(
        mesh, 16, 4,
        [](float t) {
            return ProfilePoint{5.5f, 118.0f + 22.0f * t};
        },
        "cartoonwhite", 2);
    addLathe(
        mesh, 24, 14,
        [](float t) {
            return ProfilePoint{15.0f * korvid::sin(pi * t), 154.0f - 16.0f * korvid::cos(pi * t)};
        },
        "cartoonwhite", 2, 0.92f);
    // Hair gathered in a bun at the back of the head.
    addLathe(mesh, 16, 10,
             [](float t) {
                 return ProfilePoint{9.0f * korvid::sin(pi * t), -9.0f * korvid::cos(pi * t)};
             },
             "cartoonblack", 4, 1.0f, {-15.0f, 0.0f, 150.0f});
    // The hat: a wide brim and a low crown.
    addLathe(
        mesh, 32, 6,
        [](float t) {
            const float r =
                t < 0.5f ? 36.0f * (1.0f - t * 0.6f) : 25.0f * (1.0f - (t - 0.5f) * 1.96f);
            const float z = t < 0.5f ? 163.0f + t * 4.0f : 165.0f + (t - 0.5f) * 34.0f;
            return ProfilePoint{t >= 1.0f ? 0.0f : r, z};
        },
        "cartoonblack", 8);
    addLathe(
        mesh, 32, 1,
        [](float t) {
            return ProfilePoint{36.0f * t, 163.0f};
        },
        "cartoonblack", 0);
    // Arms: sleeves from the shoulders, hands at the ends.
    for (float side : {-1.0f, 1.0f}) {
        addTube(
            mesh, 12, 10,
            [=](float s) {
                return Vec3{8.0f * s, side * (15.0f + 14.0f * s), 116.0f - 48.0f * s};
            },
            [](float s) { return 6.0f - 2.0f * s; }, false, "cartoonred", 16);
        addLathe(mesh, 12, 8,
                 [](float t) {
                     return ProfilePoint{5.0f * korvid::sin(pi * t), -5.0f * korvid::cos(pi * t)};
                 },
                 "cartoonwhite", 2, 1.0f, {9.0f, side * 30.0f, 65.0f});
    }
    return mesh;
}

} // namespace

void buildDame(SceneFile& scene) {
    scene.addMesh(dameMesh());
    MeshData box("RedBox01");
    addBox(box, {0, 0, 0}, {34.0f, 34.0f, 34.0f}, "cartoonblack");
    scene.addMesh(box);

    const NodeId container = scene.addDummy("container");
    scene.addObject("Dame", container);
    // Four instances of one box, each spinning about its own centre.
    const Vec3 places[4] = {{70.0f, -70.0f, 40.0f},
                            {-60.0f, -85.0f, 130.0f},
                            {-85.0f, 70.0f, 70.0f},
                            {60.0f, 85.0f, 160.0f}};
    for (const Vec3& p : places)
        scene.setPosition(scene.addObject("RedBox01"), {{0, p}});

    // Camera04 from the front and above, Camera03 low from behind, Camera01 in front for
    // the title, where the show moves the picture's centre to the lower left.
    scene.addCamera("Camera04", {300.0f, 40.0f, 210.0f}, {0.0f, 0.0f, 80.0f}, 52.0f);
    scene.addCamera("Camera03", {-200.0f, -230.0f, 50.0f}, {0.0f, 0.0f, 95.0f}, 55.0f);
    scene.addCamera("Camera01", {270.0f, -150.0f, 120.0f}, {0.0f, 0.0f, 90.0f}, 72.0f);

    // She turns and the boxes tumble: light from every side, warm in front, cool behind,
    // and from below.
    scene.addOmni("Key", {220.0f, -200.0f, 260.0f}, {1.0f, 0.9f, 0.75f}, 0.85f);
    scene.addOmni("Fill", {-260.0f, 120.0f, 160.0f}, {0.7f, 0.7f, 1.0f}, 0.6f);
    scene.addOmni("Back", {-120.0f, -260.0f, 90.0f}, {1.0f, 0.8f, 0.9f}, 0.5f);
    scene.addOmni("Low", {240.0f, 160.0f, 20.0f}, {1.0f, 0.85f, 0.7f}, 0.45f);
    scene.addOmni("Bounce", {-40.0f, 60.0f, -150.0f}, {0.8f, 0.7f, 1.0f}, 0.35f);
}

} // namespace dataset
