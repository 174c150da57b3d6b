// The ending: the last picture with the swarm of glowing sprites, then the closing image
// fading in and out on the wall clock.

#include "demo/effects/blend.hpp"
#include "demo/program.hpp"
#include "demo/show_support.hpp"
#include "demo/timeline.hpp"
#include "platform/clock.hpp"

using namespace korvid;

void Show::endImage() {
    Surface* end = show_surface("end");
    while (show_part_running(11)) {
        const double u = time_over(blockUnits) - showParts[11].from;
        const int32_t q = trunc_cast(std::floor(u * 4.0));
        frame0.draw(end, 0, 0, 1.0f);
        if (LockedView view(frame0); SDL_Surface* target = view.sdl())
            swarm->draw(target, u);
        // From white over the first quarter block; to black over the second half.
        if (q == 0)
            blend_colour_to(&display, &frame0, 0xFFFFFFFF, float(1.0 - time_phase(16)));
        else if (q >= 4 && q <= 7)
            blend_colour_to(&display, &frame0, 0xFF000000, float(time_phase(64)));
        else
            display.draw(&frame0, 0, 0, 1.0f);
        demo_frame();
    }
}

void Show::closingImage() {
    Surface* slutt = show_surface("slutt");
    // Each stage lasts 2 s of wall clock, measured from its own start: s, in tenths of a
    // second, runs 0 to 20.
    constexpr double stageEnd = closingStageSeconds * 10.0;
    auto stage = [](auto&& frame) {
        const uint32_t start = GetTickCount();
        for (;;) {
            const double s = (GetTickCount() - start) * 0.01;
            if (!(s < stageEnd))
                break;
            frame(s);
            demo_frame();
        }
    };
    stage([&](double s) { blend_colour_to(&display, slutt, 0, float(1.0 - s * 0.05)); });
    stage([](double) {});
    stage([&](double s) { blend_colour_to(&display, slutt, 0, float(s * 0.05)); });
}
