// The second half: the twisters with the oscilloscope, the twisting character over the
// stripe grid, and the red boxes with the ring field, the mosaic cuts and the title.

#include "demo/effects/blend.hpp"
#include "demo/effects/oscilloscope.hpp"
#include "demo/program.hpp"
#include "demo/show_support.hpp"
#include "demo/timeline.hpp"
#include "engine/math/elementary.hpp"
#include "platform/crt_rand.hpp"

#include <algorithm>

using namespace korvid;

namespace {
constexpr uint32_t scopeGrey = 0xFF808080;
}

void Show::twisters() {
    Surface* background = show_surface("bgfx1");
    float a = 0.0f;

    while (show_part_running(8)) {
        const float u = blocks_from(8);
        frame0.draw(background, 0, 0, 1.0f);
        if (LockedView view(frame0); uint32_t* pixels = view.rows(512, 384)) {
            // Rock alone for a block, cloth alone for the next, then both; rows are frame0's own.
            // The phase d is a float product, widened only as it is passed.
            if (u < 1.0f || u > 2.0f)
                twisterRock.draw(pixels, 512, 384, view.pitch, blocks() * 10.0f,
                                 trunc_cast(korvid::cos(double(a)) * 100.0 + 256.0));
            if (u > 1.0f)
                twisterCloth.draw(pixels, 512, 384, view.pitch, blocks() * -10.0f,
                                  trunc_cast(korvid::cos(a + showPi) * 100.0 + 256.0));
        }
        if (u > 3.0f)
            a += frameDelta * 0.1;
        blend_noise_to(&display, &frame0, 0.15f);
        oscilloscope(&display, stream, scopeGrey, scopeGrey);
        demo_frame();
    }
}

void Show::stripeGrid() {
    // 1/3 and 0.3 are float constants widened to double.
    gridA.reset(0.3f);
    gridA.rotate(float(demoTime / 32.0f * double(1.0f / 3.0f) + 1.2566370801613513),
                 float((korvid::cos(demoTime / 32.0f * showPi) + 1.0) * 3.0 + double(0.3f)));
    gridA.ripple(
        1.0f, float((korvid::sin(frac(demoTime / 24.0f) * showTwoPi) + 1.0) * 4.0 + double(0.3f)),
        demoTime / 8.0f);
    beatFlash(gridA);
    // A strobe on the second half of every 4 units in the last quarter of each block.
    if (frac(blocks()) >= 0.75 && frac(demoTime / 4.0f) > 0.5)
        gridA.shade(0.75f);
    gridA.draw(false);
}

void Show::character() {
    Scene* scene = show_scene("tovik");
    currentCamera = show_camera(scene, "/Camera01");
    // The twist may sit on the figure's mesh or on a container above its parts.
    ContainerNode* figure = show_container(scene, "/tovik", errMeshNodeNotFound);
    scene->root.renderMode = 2;
    gridA.bind(&frame0, show_surface("stripetex"), 3, true);
    characterTwist.phase = 0.0f;
    characterTwist.amount = 0.0f;
    characterTwist.centre = figure->world.getTranslation();
    figure->modifier = &characterTwist;

    while (show_part_running(9)) {
        const float u = blocks_from(9);
        show_set_time(scene, frac(demoTime / 128.0f) * 64.0);
        characterTwist.amount = std::min(2.0f * u, 2.0f);
        characterTwist.phase = demoTime / 8.0f;
        stripeGrid();
        show_render(&frame0, currentCamera, scene, false);
        blend_noise_to(&display, &frame0, 0.15f);
        oscilloscope(&display, stream, scopeGrey, scopeGrey);
        demo_frame();
    }
    figure->modifier = nullptr;
}

void Show::redBoxes() {
    Surface* title = show_surface("startx");
    Surface* titleLit = show_surface("startx2");
    Scene* dame = show_scene("dame");
    gridA.bind(&frame0, show_surface("stripetex"), 3, true);
    ContainerNode* container = show_container(dame, "/container");
    CameraNode* front = show_camera(dame, "/Camera01");
    CameraNode* side = show_camera(dame, "/Camera03");
    CameraNode* close = show_camera(dame, "/Camera04");
    currentCamera = front;
    ContainerNode* boxes[4] = {
        show_container(dame, "/RedBox01"),
        show_container(dame, "/RedBox01.0"),
        show_container(dame, "/RedBox01.1"),
        show_container(dame, "/RedBox01.2"),
    };
    // Each box turns about its own random axis, drawn z first, then y, then x.
    Vector axes[4];
    for (Vector& axis : axes) {
        axis.z = float(crt::rand() % 1000 * 0.001);
        axis.y = float(crt::rand() % 1000 * 0.001);
        axis.x = float(crt::rand() % 1000 * 0.001);
        axis = normalised(axis);
    }
    boxesTwist.phase = 0.0f;
    boxesTwist.amount = 0.0f;
    boxesTwist.centre = container->world.getTranslation();
    container->modifier = &boxesTwist;
    dame->root.renderMode = 2;
    float speed = 0.0f, angle = 0.0f, boxAngle = 0.0f;
    crt::srand(101);

    static const float sideView[2] = {-0.37f, 0.16f};
    while (show_part_running(10)) {
        const int32_t k = trunc_cast(std::floor(blocks_from(10)));
        const float u = blocks_from(10);
        const double b = frac(blocks());
        if (k == 0) {
            currentCamera = close;
            if (b > 0.75)
                currentCamera->position.x -= frameDelta * 5.0;
        } else if (k == 1) {
            currentCamera = side;
            if (b > 0.75) {
                currentCamera->position.z -= 2.0f * frameDelta;
                currentCamera->position.x -= frameDelta * 5.0;
            }
        } else if (k == 2) {
            currentCamera = front;
        }
        boxesTwist.amount = std::clamp(u - 1.0f, 0.0f, 2.0f);
        boxesTwist.phase = demoTime / 8.0f;

        // The figure spins on the 32-unit beat and rests on the 16-unit one.
        angle += frameDelta * speed;
        if (demoTime >= 0.0f && crossed(16.0f)) {
            if (crossed(32.0f)) {
                speed = float((crt::rand() % 10 + 3.0) * 0.01);
                if (angle > 0.0f)
                    speed = -speed;
            } else {
                speed = 0.0f;
            }
        }
        if (frac(demoTime / 16.0f) > 0.75)
            boxAngle += frameDelta * 0.25;
        container->rotation = Quaternion::fromAxisAngle(Vector{0.0f, 0.0f, -1.0f}, angle);
        for (int i = 0; i < 4; ++i)
            boxes[i]->rotation =
                Quaternion::fromAxisAngle(axes[i], float((i * 0.3 + 1.0) * boxAngle));

        if (u < 2.0f) {
            if (LockedView view(frame0); uint32_t* pixels = view.frame(512, 384))
                ringField->draw(pixels, demoTime / 8.0f);
            blend_noise(&frame0, 0.15f);
        } else {
            stripeGrid();
        }

        // The mosaic resolves the first block's picture and breaks up the second's.
        const int32_t n = k == 0 ? trunc_cast((1.0 - b) * 4.0) : k == 1 ? trunc_cast(b * 4.0) : 0;
        if (n == 0) {
            display.draw(&frame0, 0, 0, 1.0f);
        } else if (LockedView to(display); uint32_t* toPixels = to.rows(512, 384)) {
            // One pitch serves both: the frame's rows lie as far apart as the Display's.
            const LockedView from(frame0);
            if (const uint32_t* fromPixels = from.rows(512, 384);
                fromPixels && from.pitch == to.pitch)
                mosaic.remap(toPixels, fromPixels, 512, 384, to.pitch, n - 1);
        }
        show_render(&display, currentCamera, dame, false, k >= 2 ? sideView : nullptr);

        if (u > 2.0f && u < 3.0f) {
            titleX += frameDelta;
            display.draw(title, trunc_cast(titleX), 150, float(b));
        } else if (u >= 3.0f && u < 3.5f) {
            display.draw(title, trunc_cast(titleX), 150, float(1.0 - frac(demoTime / 32.0f)));
            display.draw(titleLit, trunc_cast(titleX), 150, float(frac(demoTime / 32.0f)));
        } else if (u >= 3.5f) {
            display.draw(titleLit, trunc_cast(titleX), 150, 1.0f);
        }
        if (u > 3.75f)
            blend_colour(&display, 0xFFFFFFFF, float(frac(demoTime / 16.0f)));
        demo_frame();
    }
    container->modifier = nullptr;
    gridA.release();
}
