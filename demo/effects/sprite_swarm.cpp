#include "demo/effects/sprite_swarm.hpp"

#include "demo/effects/support.hpp"
#include "engine/core/pass_clock.hpp"
#include "engine/math/elementary.hpp"

#include <cmath>
#include <new>

using effects::truncOrMin;

SpriteSwarm::SpriteSwarm(int32_t width, int32_t height, const std::string& path,
                         uint32_t parameterA, uint32_t parameterB)
    : Drawable2D(width, height), parameterA(parameterA), parameterB(parameterB),
      sprite(new (std::nothrow) ImageSprite(width, height, path, ImageSprite::opAdd, 0x00FF0000,
                                            0x0000FF00, 0x000000FF, 0xFF000000)) {
    // Ready even without its sprite or its image: the eight draws then draw nothing.
    ready = 1;
}

void SpriteSwarm::setClip(const Clip2D& rect) {
    clip = rect;
    if (sprite)
        sprite->setClip(rect);
}

namespace {

// x = sin(xRate t + xPhase) * xRadius + (x centre), y = cos(yRate t + yPhase) * yRadius + cy.
// The rates and phases are floats, widened for the double-precision paths; a path written
// as c - r t has the rate -r, which gives the same double.
struct Path {
    float xRate, xPhase, xRadius;
    bool quarterCentre; // x about width / 4 instead of width / 2
    float yRate, yPhase, yRadius;
};

constexpr Path paths[SpriteSwarm::spriteCount] = {
    {0.7f, 1.5f, 180, false, 0.4f, 1.1f, 35},  {0.5f, 4.2f, 185, false, 0.3f, 6.9f, 35},
    {-0.5f, 3.1f, 200, false, 0.9f, 1.2f, 45}, {0.7f, 3.5f, 180, false, -0.4f, 1.1f, 35},
    {0.5f, 7.2f, 150, true, 0.2f, 6.9f, 35},   {-0.2f, 3.1f, 220, true, 0.7f, 1.2f, 60},
    {-0.7f, 1.5f, 180, true, -0.4f, 1.1f, 35}, {0.5f, 5.2f, 190, true, 0.3f, 3.9f, 35},
};

} // namespace

void SpriteSwarm::positions(double t, int32_t xs[spriteCount], int32_t ys[spriteCount]) const {
    // The centres are computed in single precision.
    const double cx = float(width) * 0.5f;
    const double cx4 = float(width) * 0.25f;
    const double cy = float(height) * 0.25f;
    for (int i = 0; i < spriteCount; ++i) {
        const Path& p = paths[i];
        xs[i] = truncOrMin(korvid::sin(p.xRate * t + p.xPhase) * p.xRadius +
                           (p.quarterCentre ? cx4 : cx));
        ys[i] = truncOrMin(korvid::cos(p.yRate * t + p.yPhase) * p.yRadius + cy);
    }
}

int SpriteSwarm::draw(SDL_Surface* destination, double t) {
    const korvid::PassTimer timer(korvid::Pass::twoD);
    if (!ready)
        return 0;
    if (!sprite)
        return 1;
    int32_t xs[spriteCount], ys[spriteCount];
    positions(t, xs, ys);
    for (int i = 0; i < spriteCount; ++i)
        sprite->draw(destination, xs[i], ys[i]);
    return 1;
}
