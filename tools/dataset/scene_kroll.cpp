// "kroll": a glowing trefoil knot turning inside a dark stone vault, with six white rings
// racing round it. The show draws it without clearing, over the picture it drew before,
// and blends each picture into a trail. The vault fills the whole picture every time, so
// nothing old is left to smear: the trail is made only of what moves, light over dark.

#include "engine/math/elementary.hpp"
#include "mesh_shapes.hpp"
#include "scenes.hpp"

#include <cmath>
#include <string>

namespace dataset {

namespace {

constexpr float twoPi = 6.28318531f;
constexpr int frames = 64;

// The knot and the rings are most of the part's faces, each only a few pixels across: 120
// segments keep the knot's curves and lights smooth at the distance the camera circles, and
// 24 x 8 do for the rings, which the trail smears anyway.
MeshData knotMesh() {
    MeshData mesh("KrollKnot");
    addTube(
        mesh, 120, 12,
        [](float s) {
            const float a = twoPi * s;
            const float r = 52.0f + 22.0f * korvid::cos(3.0f * a);
            return Vec3{r * korvid::cos(2.0f * a), r * korvid::sin(2.0f * a),
                        22.0f * korvid::sin(3.0f * a)};
        },
        [](float) { return 10.0f; }, true, "kroll", 1, 8.0f);
    return mesh;
}

// A white ring: the grey ramp's four flat bands keep it bright and clean in the trail.
MeshData ringMesh(const std::string& name, float major, float minor) {
    MeshData mesh(name);
    addTube(
        mesh, 24, 8,
        [=](float s) {
            return Vec3{major * korvid::cos(twoPi * s), major * korvid::sin(twoPi * s), 0.0f};
        },
        [=](float) { return minor; }, true, "realpants", 1, 3.0f);
    return mesh;
}

// A sphere seen from inside, the stone repeating 12 times around and 6 times from pole to
// pole. Its seam has points of its own, so the texture runs on across it; the small
// openings at the poles are closed with caps, far above and below anything the camera
// looks at.
MeshData vaultMesh() {
    MeshData mesh("KrollVault");
    constexpr float radius = 900.0f, polar = 0.04f;
    Surface wall;
    wall.columns = 36;
    wall.rows = 16;
    // Latitude from the top down: dP/ds x dP/dt then points inward.
    wall.position = [=](float s, float t) {
        const float lat = 0.5f * twoPi * (polar + (1.0f - 2.0f * polar) * t);
        const float lon = twoPi * s;
        return Vec3{radius * korvid::sin(lat) * korvid::cos(lon),
                    radius * korvid::sin(lat) * korvid::sin(lon), radius * korvid::cos(lat)};
    };
    wall.texture = [](float s, float t, float& u, float& v) {
        u = 12.0f * s;
        v = 6.0f * t;
    };
    wall.material = "darkgrass";
    wall.smoothing = 1;
    const int first = int(mesh.points.size());
    addSurface(mesh, wall);
    const int row = wall.columns + 1;
    std::vector<int> top, bottom;
    for (int i = 0; i < wall.columns; ++i) {
        top.push_back(first + wall.columns - 1 - i);
        bottom.push_back(first + wall.rows * row + i);
    }
    const float capZ = radius * korvid::cos(0.5f * twoPi * polar);
    addCap(mesh, top, {0.0f, 0.0f, capZ}, "darkgrass");
    addCap(mesh, bottom, {0.0f, 0.0f, -capZ}, "darkgrass");
    return mesh;
}

} // namespace

void buildKroll(SceneFile& scene) {
    scene.addMesh(vaultMesh());
    scene.addObject("KrollVault");

    scene.addMesh(knotMesh());
    const NodeId knot = scene.addObject("KrollKnot");
    // Two full turns about a leaning axis, keyed every two frames (45 degrees a step).
    std::vector<Key<Quat>> knotTurn;
    for (int f = 0; f <= frames; f += 2)
        knotTurn.push_back({f, axisAngle({0.3f, 0.2f, 1.0f}, 2.0f * twoPi * float(f) / frames) *
                                   axisAngle({1, 0, 0}, 0.5f)});
    scene.setRotation(knot, knotTurn, true);

    for (int i = 0; i < 6; ++i) {
        const std::string name = "KrollRing" + std::to_string(i + 1);
        scene.addMesh(ringMesh(name, 18.0f + 2.5f * float(i), 4.5f + 0.4f * float(i % 3)));
        const NodeId ring = scene.addObject(name);
        // Each ring orbits the knot four times in the loop, tumbling three times as it goes;
        // keyed every frame, a sixteenth of an orbit a step.
        std::vector<Key<Vec3>> path;
        std::vector<Key<Quat>> tumble;
        const float phase = twoPi * float(i) / 6.0f;
        const float radius = 120.0f + 14.0f * float(i % 3);
        for (int f = 0; f <= frames; ++f) {
            const float a = phase + 4.0f * twoPi * float(f) / frames;
            path.push_back({f,
                            {korvid::sin(3.0f * a) * 30.0f, korvid::cos(a) * radius,
                             korvid::sin(a) * radius * 0.75f}});
            const Vec3 axis{korvid::cos(phase), korvid::sin(phase), 0.6f};
            tumble.push_back({f, axisAngle(axis, 3.0f * twoPi * float(f) / frames + phase)});
        }
        scene.setPosition(ring, path, true);
        scene.setRotation(ring, tumble, true);
    }

    // The camera circles once over the loop, rising and falling a little.
    const CameraNodes camera =
        scene.addCamera("Camera01", {330.0f, 0.0f, 40.0f}, {0.0f, 0.0f, 0.0f}, 55.0f);
    std::vector<Key<Vec3>> orbit;
    for (int f = 0; f <= frames; f += 2) {
        const float a = twoPi * float(f) / frames;
        orbit.push_back({f,
                         {330.0f * korvid::cos(a), 330.0f * korvid::sin(a),
                          40.0f + 60.0f * korvid::sin(2.0f * a)}});
    }
    scene.setPosition(camera.camera, orbit, true);
    // Lights at the corners of a tetrahedron: whichever way a face turns, one reaches it.
    scene.addOmni("Key", {420.0f, -420.0f, 420.0f}, {1.0f, 0.9f, 0.75f}, 1.4f);
    scene.addOmni("Fill", {420.0f, 420.0f, -420.0f}, {0.8f, 0.75f, 1.0f}, 0.9f);
    scene.addOmni("Back", {-420.0f, 420.0f, 420.0f}, {1.0f, 0.8f, 0.9f}, 0.7f);
    scene.addOmni("Under", {-420.0f, -420.0f, -420.0f}, {0.9f, 0.8f, 1.0f}, 0.4f);
}

} // namespace dataset
