// Extreme and malformed arguments: every effect must stay inside its buffers (run under
// the sanitizer build to see it) and report what it refuses.

#include "demo/effects/cell_mosaic.hpp"
#include "demo/effects/grid_warp.hpp"
#include "demo/effects/interference_plasma.hpp"
#include "demo/effects/palettes.hpp"
#include "demo/effects/sprite_swarm.hpp"
#include "demo/effects/textured_tunnel.hpp"
#include "demo/effects/twister.hpp"
#include "effects_test_support.hpp"

#include <SDL/SDL.h>

#include <cmath>
#include <limits>

using namespace effects_test;

namespace {
const double nanD = std::numeric_limits<double>::quiet_NaN();
const double infD = std::numeric_limits<double>::infinity();
const float nanF = std::numeric_limits<float>::quiet_NaN();
const float infF = std::numeric_limits<float>::infinity();
} // namespace

TEST(ExtremeInput, GridWarpWithRunawayPoints) {
    korvid::Surface target, texture;
    makeSurface(target, 64, 48, 1);
    makeSurface(texture, 32, 32, 2);
    GridWarp grid;
    grid.bind(&target, &texture, 3, true);
    for (float scale : {1e30f, nanF, infF, -1e9f}) {
        grid.reset(1.0f);
        grid.rotate(0.5f, scale);
        grid.shade(-1e20f);
        EXPECT_EQ(grid.draw(true), korvid::errNone);
    }
    grid.ripple(0.0f, 1.0f, 0.0f); // a wave of 0 makes k infinite
    grid.wobble(0.0f, nanF, 1.0f, 1.0f);
    EXPECT_EQ(grid.draw(false), korvid::errNone);
    // The target recreated smaller than the bound grid is refused.
    ASSERT_EQ(target.create(16, 16, korvid::storage32, false), korvid::errNone);
    EXPECT_EQ(grid.draw(true), korvid::errInvalidCall);
}

TEST(ExtremeInput, DrawablesWithOddClipsAndTimes) {
    std::vector<uint32_t> frame(64 * 40, 0);
    InterferencePlasma plasma(64, 40, alpha_ramp_palette());
    plasma.setWaves(1e12, -1e12, nanD, 0, 0, 0);
    plasma.setSteps(-7, 1 << 30, 4095, -4096);
    plasma.advance(infD);
    plasma.advance(nanD);
    plasma.advance(1e300);
    EXPECT_EQ(plasma.clock, 0.0);
    plasma.advance(-5.0);
    for (const Clip2D& clip :
         {Clip2D{-100, -100, 65535, 65535}, Clip2D{60, 38, 100, 100}, Clip2D{32767, 32767, 1, 1}}) {
        plasma.setClip(clip);
        EXPECT_EQ(plasma.addTo(frame.data()), 1);
        EXPECT_EQ(plasma.alphaTo(frame.data(), -1, 1000), 1);
    }
    EXPECT_EQ(plasma.addTo(nullptr), 0);

    SDL_Surface* target = sdlFrame(64, 40);
    SpriteSwarm swarm(512, 384, writeBmp("extreme_sprite", 30, 30), 0, 0); // clip > destination
    for (double t : {nanD, infD, 1e18})
        EXPECT_EQ(swarm.draw(target, t), 1);
    EXPECT_EQ(swarm.sprite->draw(target, -2147483000, 2147483000), 0);
    EXPECT_EQ(swarm.sprite->draw(nullptr, 0, 0), 0);
    SDL_Surface* paletted = SDL_CreateRGBSurface(0, 64, 40, 8, 0, 0, 0, 0);
    EXPECT_EQ(swarm.sprite->draw(paletted, 0, 0), 0);
    SDL_FreeSurface(paletted);
    SDL_FreeSurface(target);
}

TEST(ExtremeInput, TwisterTunnelAndMosaic) {
    const std::vector<uint32_t> map = randomWords(65536, 3);
    Twister twister;
    ASSERT_TRUE(twister.setMaps(map.data(), map.data(), map.data(), map.data()));
    std::vector<uint32_t> frame(300 * 50, 0);
    for (double d : {nanD, infD, 1e300})
        twister.draw(frame.data(), 300, 50, 300, d, 150);
    for (int32_t centre : {-5000, 5000, 1000})
        twister.draw(frame.data(), 300, 50, 300, 2.0, centre);
    // A frame wider than the depth line: spans are cut at column 1024.
    std::vector<uint32_t> wide(1100 * 50, 0);
    twister.draw(wide.data(), 1100, 50, 1100, 2.0, 1010);
    EXPECT_EQ(wide[1030], 0u);
    EXPECT_NE(wide[1000], 0u);

    std::vector<uint8_t> image(65536, 7);
    TexturedTunnel tunnel(64, 40, image.data(), grey_ramp_palette(), 0.0f);
    SDL_Surface* target = sdlFrame(64, 40);
    for (float dt : {nanF, 1e30f, 0.0f}) {
        tunnel.advance(dt);
        EXPECT_EQ(tunnel.render(target), 1);
    }
    SDL_FreeSurface(target);

    CellMosaic mosaic;
    EXPECT_TRUE(mosaic.build(0, 64, 40, 1.0, 2.0));
    EXPECT_TRUE(mosaic.build(1, 64, 40, nanD, nanD)); // no count of sites at all
    EXPECT_TRUE(mosaic.build(2, 64, 40, 1.0, -9.0));  // a count past 32 bits: none
    EXPECT_EQ(mosaic.maps[1], std::vector<uint32_t>(64 * 40, 0));
    EXPECT_TRUE(mosaic.build(2, 0, 0, 1.0, 2.0));
    std::vector<uint32_t> out(64 * 40), source = randomWords(64 * 40, 4);
    mosaic.remap(out.data(), source.data(), 64, 40, 64, 1);
    EXPECT_EQ(out, source);
    std::vector<uint32_t> huge;
    EXPECT_FALSE(nearest_site_map({{0, 0}}, 20000, 2, huge));
}
