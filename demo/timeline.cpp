#include "demo/timeline.hpp"

#include "demo/assets.hpp"
#include "demo/clock.hpp"
#include "demo/effects/palettes.hpp"
#include "demo/program.hpp"

#include <new>

using namespace korvid;

namespace {

template <class T>
std::unique_ptr<T> made(T* object) {
    if (!object)
        demo_check(errMemory);
    return std::unique_ptr<T>(object);
}

} // namespace

Show::Show() {
    for (Surface* frame : {&frame0, &frame1, &frame2})
        demo_check(frame->create(display.width, display.height, storage32, false));
    frame1.blendMode = blendAlpha;

    // The flicker palette draws from the show's generator, before the mosaic's sites do.
    plasmaA = made(new (std::nothrow) InterferencePlasma(512, 384, alpha_ramp_palette()));
    plasmaA->setWaves(55.0, 16.0, 8.0, 0.0, 0.0, 0.0);
    plasmaA->setSpeeds(4, 4);
    plasmaA->setSteps(3, 2, 5, 1);
    plasmaB = made(new (std::nothrow) InterferencePlasma(512, 384, flicker_palette()));
    plasmaB->setWaves(40.0, 20.0, 63.0, 0.0, 0.0, 0.0);
    plasmaB->setSpeeds(3, 3);
    plasmaB->setSteps(5, 4, 6, 2);
    ringField = made(new (std::nothrow) RingField(512, 384, grey_ramp_palette(), 1.4, 1.3, 8, 13));

    demo_check(load_tunnel_image(tunnelImagePath, tunnelImage));
    tunnel = made(new (std::nothrow) TexturedTunnel(512, 384, tunnelImage.pixels.data(),
                                                    tunnelImage.palette, 255.0f));
    demo_check(load_twister_images(rockImagePaths.spec, rockImagePaths.light, rockImagePaths.height,
                                   rockImagePaths.colour, rockImages));
    twisterRock.setMaps(rockImages.spec.pixels.data(), rockImages.light.pixels.data(),
                        rockImages.height.pixels.data(), rockImages.colour.pixels.data());
    demo_check(load_twister_images(clothImagePaths.spec, clothImagePaths.light,
                                   clothImagePaths.height, clothImagePaths.colour, clothImages));
    twisterCloth.setMaps(clothImages.spec.pixels.data(), clothImages.light.pixels.data(),
                         clothImages.height.pixels.data(), clothImages.colour.pixels.data());

    mosaic.build(3, 512, 384, 1.2, 2.4);
    swarm = made(new (std::nothrow) SpriteSwarm(512, 384, swarmImagePath, 0, 0));
}

void Show::run(bool joining) {
    joinedPart = joining ? show_part_at(demoTime) : -1;
    waitForMusic();
    boots();
    groundAndLogo();
    credits();
    creditGrids();
    tunnelPart();
    motionTrail();
    greetings();
    twisters();
    character();
    redBoxes();
    endImage();
    closingImage();
}

void Show::waitForMusic() {
    while (show_part_running(0))
        demo_frame();
}
