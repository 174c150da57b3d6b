// The middle of the show: the tunnel, the rolling shapes with their motion trail, and the
// greetings over the dark boots.

#include "demo/effects/blend.hpp"
#include "demo/program.hpp"
#include "demo/show_support.hpp"
#include "demo/timeline.hpp"
#include "engine/link/link.hpp"

#include <algorithm>

using namespace korvid;

void Show::tunnelPart() {
    constexpr double travelRate = 0.02; // the tunnel's time per unit of demo time
    if (joins(5))
        tunnel->advance(float(units_into(5) * travelRate));
    while (show_part_running(5)) {
        tunnel->advance(float(frameDelta * travelRate));
        if (LockedView view(frame0); SDL_Surface* target = view.sdl())
            tunnel->render(target);
        display.draw(&frame0, 0, 0, 1.0f);
        demo_frame();
    }
}

void Show::motionTrail() {
    Scene* kroll = show_scene("kroll");
    currentCamera = show_camera(kroll, "/Camera01");
    frame2.blendMode = blendReplace;
    frame2.clear();
    kroll->root.renderMode = 0;
    if (joins(6)) {
        // The trail starts from the picture of this moment rather than from black.
        show_set_time(kroll, frac(demoTime / 128.0f) * 64.0);
        show_render(&frame0, currentCamera, kroll, false);
        frame2.draw(&frame0, 0, 0, 1.0f);
    }

    while (show_part_running(6)) {
        show_set_time(kroll, frac(demoTime / 128.0f) * 64.0);
        // frame0 keeps what it held: each render lands on the last one.
        show_render(&frame0, currentCamera, kroll, false);
        frame2.draw(&frame0, 0, 0, 0.3f);
        display.draw(&frame2, 0, 0, 1.0f);
        demo_frame();
    }
}

void Show::greetings() {
    // The boots turn dark for the rest of the show.
    static const char* const darkBoot[3] = {"darkpants", "darksaale", "darkshoe"};
    for (const char* name : {"RBoot", "LBoot"}) {
        Mesh* boot = show_mesh(name, 3);
        for (int g = 0; g < 3; ++g)
            boot->groups[size_t(g)].material = ResourceRef(kindMaterial, darkBoot[g]);
    }
    show_mesh("Bakke", 1)->groups[0].material = ResourceRef(kindMaterial, "darkgrass");
    linkResources(engine);

    Scene* scene = show_scene("boots");
    Surface* greets = show_surface("allgreets");
    Surface* back = show_surface("greetings_back");
    MeshNode* ground = show_mesh_node(scene, "/Bakke", 1);
    currentCamera = show_camera(scene, "/Camera04");
    greets->blendMode = blendAdd;
    frame2.blendMode = blendReplace;
    frame1.blendMode = blendAdd;
    scene->root.renderMode = 1;
    ground->flag = true;
    plasmaB->setClip(Clip2D{0, 250, 512, 90});
    float greetY = 0.0f;
    float scrollX = 512.0f;
    // Per unit of demo time: plasma steps, the background's climb (from the second block on)
    // and the greetings' scroll.
    constexpr double plasmaRate = 20.0, scrollRate = 6.0;
    constexpr float climbRate = 2.0f;
    if (joins(7)) {
        const double into = units_into(7);
        plasmaB->advance(into * plasmaRate);
        ground->groups[0].textureOffsetV -= ground_scroll_at(demoTime);
        greetY = float(-climbRate * std::max(into - blockUnits, 0.0));
        scrollX = float(scrollX - scrollRate * into);
    }

    while (show_part_running(7)) {
        plasmaB->advance(frameDelta * plasmaRate);
        show_set_time(scene, frac(demoTime / 16.0f) * 64.0);
        show_scroll_ground(ground);
        if (blocks_from(7) > 1.0f)
            greetY -= climbRate * frameDelta;
        scrollX -= frameDelta * scrollRate;

        frame0.draw(back, 0, trunc_cast(greetY), 1.0f);
        if (blocks_from(7) < 0.5f)
            blend_colour(&frame0, 0xFF302010, float(1.0 - frac(demoTime / 32.0f)));
        // The dark boots, then the ground alone added on top.
        show_render(&frame0, currentCamera, scene, false);
        frame1.fill(uint32_t(0));
        show_render(&frame1, currentCamera, scene, true);
        frame0.draw(&frame1, 0, 0, 1.0f);
        if (LockedView view(frame0); uint32_t* pixels = view.frame(512, 384))
            plasmaB->addTo(pixels);
        frame0.draw(greets, trunc_cast(scrollX), 266, 1.0f);
        display.draw(&frame0, 0, 0, 1.0f);
        demo_frame();
    }
}
