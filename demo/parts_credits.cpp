// The credits: three screens that dissolve in along the plasma, slide and drop away, then
// two warped grids of the credit textures flashing on the beat.

#include "demo/effects/blend.hpp"
#include "demo/program.hpp"
#include "demo/show_support.hpp"
#include "demo/timeline.hpp"
#include "engine/math/elementary.hpp"

using namespace korvid;

void Show::credits() {
    Surface* background = show_surface("bg_credits");
    struct Credit {
        Surface* picture;
        Surface* text;
        int32_t pictureX, slideSign, textX, textY;
    };
    // The music and code pictures slide left, the graphics picture right.
    const Credit screens[3] = {
        {show_surface("cred_music"), show_surface("cred_music_txt"), 0, -1, 384, 163},
        {show_surface("cred_graphics"), show_surface("cred_graphics_txt"), 202, 1, 56, 113},
        {show_surface("cred_code"), show_surface("cred_code_txt"), 0, -1, 293, 167},
    };

    while (show_part_running(3)) {
        const int32_t k = trunc_cast(std::floor(blocks() - float(show_part_start(3))));
        const double b = frac(blocks());
        frame1.fill(uint32_t(0));
        frame0.draw(background, 0, 0, 1.0f);

        const int32_t sx = b > 0.5 ? trunc_cast(frac(demoTime / 32.0f) * 256.0) : 0;
        const int32_t sy = b > 0.75 ? trunc_cast(frac(demoTime / 16.0f) * 128.0) : 0;
        if (k >= 0 && k < 3) {
            const Credit& c = screens[k];
            frame1.draw(c.picture, c.pictureX + c.slideSign * sx, 0, 1.0f);
            frame1.draw(c.text, c.textX, c.textY + sy, 1.0f);
        }

        if (b < 0.5) {
            // A copy of the background covers the credit and dissolves away along the
            // plasma's alpha.
            frame0.draw(&frame1, 0, 0, 1.0f);
            frame1.draw(background, 0, 0, 1.0f);
            const int32_t edge = trunc_cast((1.0 - frac(demoTime / 16.0f)) * 255.0);
            if (LockedView view(frame1); uint32_t* pixels = view.frame(512, 384)) {
                if (b < 0.25)
                    plasmaA->alphaTo(pixels, edge, 255);
                else
                    plasmaA->alphaTo(pixels, 0, edge);
            }
            plasmaA->advance(frameDelta * 20.0);
            frame0.draw(&frame1, 0, 0, 1.0f);
        } else {
            frame0.draw(&frame1, 0, 0, b > 0.75 ? float(1.0 - frac(demoTime / 16.0f)) : 1.0f);
        }

        display.draw(&frame0, 0, 0, 1.0f);
        if (blocks_from(3) > 3.9375f)
            display.fill(0xFF000000u);
        demo_frame();
    }
}

void Show::beatFlash(GridWarp& grid) const {
    const double s = (1.0 - frac(demoTime / 32.0f) * 4.0) * 2.0;
    if (s > 1.0)
        grid.shade(float(s));
}

void Show::creditGrids() {
    gridA.bind(&frame0, show_surface("bg_credits_tex"), 3, true);
    gridB.bind(&frame1, show_surface("allcreds_tex"), 3, true);
    double fade = 0.0;

    while (show_part_running(4)) {
        const int32_t k = trunc_cast(std::floor(blocks_from(4)));
        const double f = frac(blocks());
        const float spin = float(demoTime / 32.0f * showPi);
        gridA.reset(0.5f);
        gridB.reset(1.0f);
        if (k == 0) {
            gridA.rotate(spin, 1.0f);
            gridB.ripple(1.0f, 0.1f, demoTime / 8.0f);
            fade = f;
        } else if (k == 1) {
            fade = 1.0;
            gridA.ripple(1.0f, float(2.0 * f), demoTime / 8.0f);
            gridB.ripple(1.0f, float(f + 0.1), demoTime / 8.0f);
            gridB.rotate(spin, 1.0f);
        } else if (k == 2) {
            gridA.ripple(1.0f, float(2.0 * (1.0 - f)), demoTime / 8.0f);
            gridB.ripple(1.0f, float(1.0 - f), demoTime / 8.0f);
            gridA.rotate(spin, 1.0f);
            gridB.wobble(0.25f, float(f * 50.0 + 0.3),
                         float(korvid::cos(demoTime / 32.0f * showTwoPi)),
                         float(korvid::sin(frac(demoTime / 32.0f) * showTwoPi)));
        } else if (k == 3) {
            gridA.rotate(spin, float(2.0 * korvid::sin(f * showPi)));
            gridB.rotate(spin, float(10.0 * korvid::sin(f * showPi)));
        }
        beatFlash(gridA);
        beatFlash(gridB);
        // A strobe in the last quarter of each block, on the first half of every 4 units.
        if (f >= 0.75 && frac(demoTime / 4.0f) < 0.5) {
            gridA.shade(0.5f);
            gridB.shade(1.5f);
        }

        gridA.draw(true);
        gridB.draw(true);
        blend_noise(&frame0, 0.15f);
        frame0.draw(&frame1, 0, 0, float(fade));
        if (blocks_from(4) >= 3.75f)
            blend_colour_to(&display, &frame0, 0xFFFFFFFF, float(frac(demoTime / 16.0f)));
        else
            display.draw(&frame0, 0, 0, 1.0f);
        demo_frame();
    }
    gridA.release();
    gridB.release();
}
