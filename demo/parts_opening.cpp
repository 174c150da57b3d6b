// The opening: the walking boots with camera cuts and the sliding logos, then the ground
// alone under a swaying camera while the 3D logo gives way to the credits' background.

#include "demo/effects/blend.hpp"
#include "demo/program.hpp"
#include "demo/show_support.hpp"
#include "demo/timeline.hpp"
#include "engine/math/elementary.hpp"

#include <algorithm>

using namespace korvid;

void Show::boots() {
    Scene* wisplogo = show_scene("wisplogo");
    auto* wispPlane = show_container(wisplogo, "/WispPlane");
    CameraNode* wispCamera = show_camera(wisplogo, "/Camera01");
    show_spotlight(wisplogo, "/Spot01")->rangeAttenuation = true;
    wisplogo->root.renderMode = 0;

    Scene* scene = show_scene("boots");
    currentCamera = show_camera(scene, "/Camera01");
    MeshNode* ground = show_mesh_node(scene, "/Bakke", 1);
    Surface* pellogo = show_surface("pellogo");
    scene->root.renderMode = 2;
    ground->flag = true;
    uint32_t clearColour = 0xFF404040;
    float slide = -100.0f;

    while (show_part_running(1)) {
        // Cuts on the 16-unit beat: steps 2, 4 and 6 change the view.
        if (demoTime >= 0.0f && crossed(16.0f)) {
            ++cameraStep;
            if (cameraStep == 2) {
                currentCamera = show_camera(scene, "/Camera02");
                clearColour = 0xFF000000;
            } else if (cameraStep == 4) {
                currentCamera = show_camera(scene, "/Camera03");
                clearColour = 0xFF404040;
            } else if (cameraStep == 6) {
                currentCamera = show_camera(scene, "/Camera02");
                currentCamera->fov -= 1.0471975511966667;
                currentCamera->position.x -= 100.0;
                clearColour = 0xFF000000;
            }
        }
        show_set_time(scene, frac(demoTime / 16.0f) * 64.0);
        show_scroll_ground(ground);
        if (blocks() > 1.5f) {
            currentCamera->roll = float((1.0 - frac(demoTime / 32.0f)) * 0.1570796326795);
            currentCamera->fov += frameDelta * 0.05;
            currentCamera->position.x += frameDelta * 6.0;
        }

        // The ground with grain under it, then the boots over it.
        frame0.fill(clearColour);
        show_render(&frame0, currentCamera, scene, true);
        blend_noise(&frame0, 0.15f);
        show_render(&frame0, currentCamera, scene, false);

        frame0.draw(pellogo, trunc_cast(slide + 10.0), 10, 1.0f);
        if (slide < 0.0f)
            slide += frameDelta * 3.0;
        display.draw(&frame0, 0, 0, 1.0f);

        if (blocks() >= 1.75f) {
            wispPlane->position.x = float((1.0 - frac(demoTime / 16.0f)) * 500.0);
            frame1.fill(uint32_t(0));
            show_render(&frame1, wispCamera, wisplogo, false);
            display.draw(&frame1, 0, 0, 1.0f);
        }
        demo_frame();
    }
}

void Show::groundAndLogo() {
    Scene* scene = show_scene("boots");
    currentCamera = show_camera(scene, "/Camera01");
    MeshNode* ground = show_mesh_node(scene, "/Bakke", 1);
    Surface* logo = show_surface("ruklogo");
    Surface* background = show_surface("bg_credits");
    scene->root.renderMode = 2;
    ground->flag = true;
    int32_t logoY = 0;

    while (show_part_running(2)) {
        const int32_t q = trunc_cast(std::floor(blocks_from(2) * 4.0f));
        ground->groups[0].textureOffsetV -= frameDelta * 0.1;
        currentCamera->fov =
            float((korvid::sin(frac(demoTime / 32.0f) * showTwoPi) + 1.0) * 1.4137166566647972 +
                  0.21991148668756758);
        // The sine of the fraction itself: a rise from 6 to about 10.2 every 23 units, 1/23
        // being a float widened to double.
        currentCamera->position.y =
            float((korvid::sin(frac(demoTime * double(1.0f / 23.0f))) + 1.0) * 5.0 + 1.0);

        frame0.fill(0xFF404040u);
        show_render(&frame0, currentCamera, scene, true);
        blend_noise(&frame0, 0.15f);

        if (q == 0) {
            blend_colour_to(&display, &frame0, 0xFFFFFFFF, float(1.0 - frac(demoTime / 16.0f)));
        } else {
            display.draw(&frame0, 0, 0, 1.0f);
            if (q >= 2) {
                display.draw(background, 0, 0, float(frac(demoTime / 32.0f)));
                if (q == 2)
                    logoY = trunc_cast(
                        (1.0 - korvid::cos(frac(demoTime / 16.0f) * 1.570796326795)) * 384.0);
            }
        }
        display.draw(logo, 118, 107 + logoY, 1.0f);
        demo_frame();
    }
}
