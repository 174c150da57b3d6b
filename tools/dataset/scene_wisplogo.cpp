// "wisplogo": the main logo on a plane, sliding in from the right under a spotlight. The
// show moves the plane along x from 500 to 0 and turns on the light's range attenuation,
// so the logo brightens out of the dark as it reaches the middle of the frame.

#include "scenes.hpp"

namespace dataset {

namespace {

// From 400 units away a 45 degree lens has a focal length of 618 pixels on a 512-pixel
// frame: a plane this wide covers the 276 pixels that the 2D logo covers, which replaces
// it right after.
constexpr float planeSide = 178.6f;
constexpr float cameraDistance = 400.0f;

} // namespace

void buildWispLogo(SceneFile& scene) {
    // Upright, facing the camera on +x; the mesh is finely divided so that the light's
    // cone and range fall off smoothly across it (lighting is per vertex).
    MeshData plane("WispPlane");
    Surface grid;
    grid.columns = 16;
    grid.rows = 16;
    grid.position = [](float s, float t) {
        return Vec3{0.0f, (s - 0.5f) * planeSide, (t - 0.5f) * planeSide};
    };
    grid.texture = [](float s, float t, float& u, float& v) {
        u = s;
        v = t;
    };
    grid.material = "ruklogo";
    grid.smoothing = 1;
    addSurface(plane, grid);
    scene.addMesh(plane);
    scene.addObject("WispPlane");

    scene.addCamera("Camera01", {cameraDistance, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f}, 45.0f);
    // Within 360 units the light is full; it fades to nothing at 560, which the plane
    // crosses a little after the start of its slide.
    scene.addSpot("Spot01", {320.0f, -60.0f, 90.0f}, {0.0f, 0.0f, 0.0f}, {1.0f, 0.95f, 0.85f},
                  50.0f, 100.0f, 360.0f, 560.0f, 1.25f);
}

} // namespace dataset
