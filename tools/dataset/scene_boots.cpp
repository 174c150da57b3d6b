// "boots": two walking boots with their trouser legs, on a treadmill of grass. The boots
// step in place while the show scrolls the ground's texture; the planted foot slides back
// at exactly the speed of that scroll, so the feet seem to grip the ground.

#include "colour.hpp"
#include "engine/math/elementary.hpp"
#include "scenes.hpp"

#include <cmath>

namespace dataset {

namespace {

constexpr float pi = 3.14159265f;
constexpr int frames = 64;

// Boot dimensions, in the mesh's own space: origin on the ground under the ankle, toe
// toward +x.
constexpr float heelX = -9.0f, toeX = 22.0f, soleTop = 3.0f, shaftTop = 24.0f;
constexpr float shaftX = -1.5f, shaftHalfLength = 7.0f, shaftHalfWidth = 6.2f;
// The trouser leg, from inside the boot's shaft to a top that no camera of the show sees.
constexpr float legBottom = 15.0f, legTop = 180.0f;

// Half-width of the foot at x: round heel, slimmer waist, widest at the ball.
float footWidth(float x) {
    return 4.7f + 1.6f * korvid::exp(-(x - 13.0f) * (x - 13.0f) / 49.0f) +
           0.5f * korvid::exp(-(x + 4.0f) * (x + 4.0f) / 25.0f);
}

// A rounded outline (a superellipse) from x0 to x1, `width(x)` wide, at angle a running
// counter-clockwise seen from above from the back end.
Vec3 outlinePoint(float a, float x0, float x1, float widthScale, float z, float (*width)(float)) {
    const float c = korvid::cos(a), s = korvid::sin(a);
    const float ce = std::copysign(korvid::pow(std::fabs(c), 0.8f), c);
    const float se = std::copysign(korvid::pow(std::fabs(s), 0.8f), s);
    const float x = (x0 + x1) * 0.5f - (x1 - x0) * 0.5f * ce;
    return {x, -width(x) * widthScale * se, z};
}

float shaftWidth(float) {
    return shaftHalfWidth;
}

// Front end of the upper at height z: the toe cap curves up into the instep.
float upperFront(float z) {
    const float t = std::min(1.0f, std::max(0.0f, (z - soleTop) / 12.0f));
    return toeX - (toeX - (shaftX + shaftHalfLength)) * (t * t * (3.0f - 2.0f * t));
}

// Blend from the foot's outline at the sole to the shaft's ellipse above the instep.
Vec3 upperPoint(float s, float t) {
    const float z = soleTop + (shaftTop - soleTop) * (t * t * 0.6f + t * 0.4f);
    const float a = 2.0f * pi * s;
    const float front = upperFront(z);
    const float back =
        heelX + (shaftX - shaftHalfLength - heelX) * std::min(1.0f, (z - soleTop) / 10.0f);
    const float toShaft = std::min(1.0f, std::max(0.0f, (z - soleTop - 4.0f) / 9.0f));
    const Vec3 foot = outlinePoint(a, back, front, 0.97f - 0.1f * toShaft, z, footWidth);
    const Vec3 shaft = outlinePoint(a, back, front, 1.0f, z, shaftWidth);
    return lerp(foot, shaft, toShaft * toShaft);
}

// Point indices of the ring of `count` points from `first`, in order, or reversed for a
// cap that must face the other way.
std::vector<int> ring(int first, int count, bool reversed) {
    std::vector<int> out;
    for (int i = 0; i < count; ++i)
        out.push_back(first + (reversed ? count - 1 - i : i));
    return out;
}

MeshData bootMesh(const std::string& name) {
    MeshData mesh(name);
    // Leather upper, mapped from the side so that it needs no seam.
    Surface upper;
    upper.columns = 32;
    upper.rows = 12;
    upper.wrapS = true;
    upper.position = upperPoint;
    upper.texture = [](float s, float t, float& u, float& v) {
        const Vec3 p = upperPoint(s, t);
        u = p.x / 32.0f;
        v = p.z / 32.0f + p.y / 64.0f;
    };
    upper.material = "realshoe";
    upper.smoothing = 1;
    addSurface(mesh, upper);

    // The sole: a wall slightly wider than the upper, a flat bottom and a welt on top.
    auto soleOutline = [](float s, float z) {
        return outlinePoint(2.0f * pi * s, heelX - 0.8f, toeX + 0.8f, 1.12f, z, footWidth);
    };
    Surface wall;
    wall.columns = 40;
    wall.rows = 1;
    wall.wrapS = true;
    wall.position = [&](float s, float t) { return soleOutline(s, soleTop * t); };
    wall.material = "realsaale";
    wall.smoothing = 2;
    const int wallFirst = int(mesh.points.size());
    addSurface(mesh, wall);
    // The bottom ring reversed, so that its cap faces down.
    addCap(mesh, ring(wallFirst, 40, true), {(heelX + toeX) * 0.5f, 0.0f, 0.0f}, "realsaale");
    addCap(mesh, ring(wallFirst + 40, 40, false), {(heelX + toeX) * 0.5f, 0.0f, soleTop},
           "realsaale");

    // The trouser leg: a tube over the shaft with a hem, fuller toward the thigh, running up
    // out of every camera's picture; both ends are closed, the top one far out of view.
    // Rows crowd toward the hem, where the outline bends.
    Surface leg;
    leg.columns = 24;
    leg.rows = 10;
    leg.wrapS = true;
    leg.position = [](float s, float t) {
        const float a = 2.0f * pi * s;
        const float z = legBottom + (legTop - legBottom) * korvid::pow(t, 2.2f);
        const float hem = 0.05f * korvid::exp(-(z - legBottom) * (z - legBottom) / 6.0f);
        const float shin = 1.0f + hem - 0.06f * smoothstep(legBottom, 40.0f, z);
        // The thigh fills out more front to back than sideways: the legs stand 21 apart
        // and must not meet.
        const float thigh = smoothstep(40.0f, 160.0f, z);
        return Vec3{shaftX + korvid::cos(a) * (8.8f * shin + 2.6f * thigh),
                    korvid::sin(a) * (8.4f * shin + 1.2f * thigh), z};
    };
    leg.material = "realpants";
    leg.smoothing = 4;
    const int legFirst = int(mesh.points.size());
    addSurface(mesh, leg);
    addCap(mesh, ring(legFirst, 24, true), {shaftX, 0.0f, legBottom}, "realpants");
    addCap(mesh, ring(legFirst + 10 * 24, 24, false), {shaftX, 0.0f, legTop}, "realpants");
    return mesh;
}

// The show scrolls the ground's texture by (cos(2 pi T / 8 + 3.6416) + 2) * 0.015 tiles per
// unit of demo time; a frame is a quarter unit. Ground travel in units of length after
// `frame` frames of the cycle, in closed form.
float groundTravel(float frame) {
    const float k = groundTile * 0.015f / 4.0f;
    const float w = 2.0f * pi / 32.0f;
    return k * (2.0f * frame + (korvid::sin(w * frame + 3.6416f) - korvid::sin(3.6416f)) / w);
}
float groundSpeed(float frame) {
    const float k = groundTile * 0.015f / 4.0f;
    return k * (korvid::cos(2.0f * pi * frame / 32.0f + 3.6416f) + 2.0f);
}

struct Pose {
    Vec3 position;
    float toeUp; // radians, toe raised about the y axis
};

Quat pitch(float toeUp) {
    return axisAngle({0, 1, 0}, -toeUp);
}

// The foot origin that puts mesh point `contact` on the ground at (x, y, 0).
Vec3 placeOn(float x, float y, Vec3 contact, float toeUp) {
    const Vec3 turned = rotate(pitch(toeUp), contact);
    return Vec3{x, y, 0.0f} - turned;
}

// The leg is rigid with its boot, so the foot's pitch is also the leg's lean. The pitch is
// chosen so that the leg always points at a hip `hipHeight` above the ground over the
// middle of the stride: the legs swing like pendulums from above the picture, and a foot
// on the ground rolls from its heel onto its toe as its leg passes under the hip.
// Stance lasts 36 frames from heel strike; the swing, 28 frames. `phase` counts frames
// since this foot's heel strike.
constexpr float stance = 36.0f, hipHeight = 110.0f;
const Vec3 heel{heelX, 0, 0}, toe{toeX - 2.0f, 0, 0};

// The pitch that aims the leg of a foot placed by `place(pitch)` at the hip. The leg's
// axis leaves the mesh's (shaftX, 0, 0) along the turned z axis, (-sin a, 0, cos a); a few
// rounds settle the small dependence of the place on the pitch.
template <class Place>
Pose aimedAtHip(Place place) {
    Pose p{place(0.0f), 0.0f};
    for (int round = 0; round < 4; ++round) {
        const Vec3 ankle = p.position + rotate(pitch(p.toeUp), {shaftX, 0.0f, 0.0f});
        p.toeUp = korvid::atan2(ankle.x, hipHeight - ankle.z);
        p.position = place(p.toeUp);
    }
    return p;
}

Pose stancePose(float phase, float strikeFrame, float y) {
    // The heel strikes 11 units ahead of the hip, so that the stride is centred under it.
    // Whichever point of the sole bears the weight, heel or toe, stays where the ground
    // takes it.
    const float strikeX = 11.0f;
    const float heelGround =
        strikeX - (groundTravel(strikeFrame + phase) - groundTravel(strikeFrame));
    return aimedAtHip([&](float a) {
        return a >= 0.0f ? placeOn(heelGround, y, heel, a)
                         : placeOn(heelGround + (toe.x - heel.x), y, toe, a);
    });
}

Pose footPose(float frame, float strikeFrame, float y) {
    const float phase = std::fmod(frame - strikeFrame + 2.0f * frames, float(frames));
    if (phase < stance)
        return stancePose(phase, strikeFrame, y);
    // Swing: from toe-off to the next heel strike, ends moving with the ground, the foot
    // lifted in between and the leg still aimed at the hip.
    const Pose from = stancePose(stance, strikeFrame, y);
    const Pose to = stancePose(0.0f, strikeFrame, y);
    const float span = float(frames) - stance;
    const float t = (phase - stance) / span;
    const float v0 = -groundSpeed(strikeFrame + stance) * span;
    const float v1 = -groundSpeed(strikeFrame) * span;
    const float h1 = 2 * t * t * t - 3 * t * t + 1, h2 = 3 * t * t - 2 * t * t * t;
    const float h3 = t * t * t - 2 * t * t + t, h4 = t * t * t - t * t;
    Vec3 at = from.position * h1 + to.position * h2;
    at.x += v0 * h3 + v1 * h4;
    at.z += 10.0f * korvid::pow(korvid::sin(pi * t), 1.5f);
    // Both ends of the stance are aimed already, so the swing meets them.
    return aimedAtHip([&](float) { return at; });
}

void animateFoot(SceneFile& scene, NodeId node, float strikeFrame, float y) {
    std::vector<Key<Vec3>> positions;
    std::vector<Key<Quat>> rotations;
    for (int f = 0; f <= frames; f += 2) {
        const Pose p = footPose(float(f % frames), strikeFrame, y);
        positions.push_back({f, p.position});
        rotations.push_back({f, pitch(p.toeUp)});
    }
    scene.setPosition(node, positions, true);
    scene.setRotation(node, rotations, true);
}

// The grass: a plane, fine near the boots (where cameras stand close to it) and coarse
// toward the horizon: lines 13 units apart under the boots, about 40 where the cameras
// stand, wider on to the rim 2,045 units out. A face that covers a pixel or two near the
// horizon costs the renderer as much setup as a large one, so the grid is no denser than
// the near pictures need: 3,192 triangles with the skirt. Texture coordinates run one tile
// per groundTile units, v along the walk, so that the show's scroll of v slides the grass
// backward under the feet.
//
// A skirt hangs from its rim, 1300 units down, facing outward where no camera looks. It
// gives the mesh depth: a flat plane this wide has bounds whose corners, seen from a
// camera looking steeply down, all project past the top of the picture (those behind the
// camera come out mirrored), and a renderer that culls by bounds would drop it.
MeshData groundMesh() {
    MeshData mesh("Bakke");
    auto spacing = [](int i) { return 60.0f * korvid::sinh(float(i) / 4.5f); };
    constexpr int reach = 19, columns = 2 * reach + 1;
    for (int j = -reach; j <= reach; ++j)
        for (int i = -reach; i <= reach; ++i) {
            const float x = spacing(i), y = spacing(j);
            mesh.addPoint({x, y, 0.0f}, y / groundTile, x / groundTile);
        }
    auto at = [&](int i, int j) { return (j + reach) * columns + (i + reach); };
    for (int j = -reach; j < reach; ++j)
        for (int i = -reach; i < reach; ++i)
            mesh.addQuad(at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1), "grass", 1);

    // The rim, counter-clockwise seen from above.
    std::vector<int> rim;
    for (int i = -reach; i < reach; ++i)
        rim.push_back(at(i, -reach));
    for (int j = -reach; j < reach; ++j)
        rim.push_back(at(reach, j));
    for (int i = reach; i > -reach; --i)
        rim.push_back(at(i, reach));
    for (int j = reach; j > -reach; --j)
        rim.push_back(at(-reach, j));
    std::vector<int> below;
    for (int index : rim) {
        const Vec3 p = mesh.points[size_t(index)];
        below.push_back(
            mesh.addPoint({p.x, p.y, -1300.0f}, mesh.u[size_t(index)], mesh.v[size_t(index)]));
    }
    for (size_t k = 0; k < rim.size(); ++k) {
        const size_t next = (k + 1) % rim.size();
        mesh.addQuad(below[k], below[next], rim[next], rim[k], "grass", 2);
    }
    return mesh;
}

} // namespace

void buildBoots(SceneFile& scene) {
    scene.addMesh(bootMesh("RBoot"));
    scene.addMesh(bootMesh("LBoot"));
    scene.addMesh(groundMesh());
    animateFoot(scene, scene.addObject("RBoot"), 0.0f, -10.5f);
    animateFoot(scene, scene.addObject("LBoot"), 32.0f, 10.5f);
    scene.addObject("Bakke");

    // Camera01 opens the show from above and sweeps the ground in the second part (which
    // sets its x to 6..10, turning it to look straight down); Camera02 stands in front (the show
    // narrows its lens by 60 degrees, then widens it and trucks it sideways); Camera03 is low at
    // the side; Camera04 watches during the greetings.
    scene.addCamera("Camera01", {90.0f, 0.0f, 180.0f}, {0.0f, 0.0f, 14.0f}, 52.0f);
    scene.addCamera("Camera02", {130.0f, -40.0f, 26.0f}, {0.0f, 0.0f, 16.0f}, 75.0f);
    scene.addCamera("Camera03", {-10.0f, -170.0f, 14.0f}, {0.0f, 0.0f, 16.0f}, 42.0f);
    scene.addCamera("Camera04", {105.0f, 62.0f, 9.0f}, {0.0f, 0.0f, 32.0f}, 62.0f);

    // No ambient light: a warm key from the front right, a cool fill from behind, a rim
    // low on the right, a lamp overhead that pools light on the grass, and a faint bounce
    // from below for the soles of lifted feet.
    scene.addOmni("Key", {120.0f, -160.0f, 260.0f}, {1.0f, 0.86f, 0.62f}, 0.9f);
    scene.addOmni("Fill", {-150.0f, 200.0f, 120.0f}, {0.62f, 0.62f, 1.0f}, 0.6f);
    scene.addOmni("Rim", {-200.0f, -120.0f, 60.0f}, {1.0f, 0.7f, 0.8f}, 0.5f);
    scene.addOmni("Top", {0.0f, 0.0f, 400.0f}, {1.0f, 0.9f, 0.8f}, 0.5f);
    scene.addOmni("Bounce", {40.0f, -60.0f, -80.0f}, {0.8f, 0.9f, 0.6f}, 0.35f);
    scene.addOmni("Bounce2", {-60.0f, 80.0f, -80.0f}, {0.8f, 0.9f, 0.6f}, 0.25f);
}

} // namespace dataset
