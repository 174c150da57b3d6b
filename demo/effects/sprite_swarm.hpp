#pragma once
// One image drawn eight times, additively, along fixed sine and cosine paths of a time
// value.

#include "demo/effects/drawable2d.hpp"
#include "demo/effects/image_sprite.hpp"

#include <cstdint>
#include <memory>
#include <string>

struct SDL_Surface;

class SpriteSwarm : public Drawable2D {
public:
    static constexpr int spriteCount = 8;

    // The sprite is loaded from `path` with the masks of 0xAARRGGBB pixels. The swarm is
    // ready once constructed; with a missing image its sprite's draws fail quietly.
    SpriteSwarm(int32_t width, int32_t height, const std::string& path, uint32_t parameterA,
                uint32_t parameterB);

    // Stores the clip and hands it on to the sprite.
    void setClip(const Clip2D& rect) override;

    // 0 when not ready, else 1. Each of the eight draws locks the destination by itself;
    // the window system counts nested locks, so the caller may hold it locked.
    int draw(SDL_Surface* destination, double t);

    // Where the eight sprites stand at time t, in drawing order.
    void positions(double t, int32_t xs[spriteCount], int32_t ys[spriteCount]) const;

    uint32_t parameterA, parameterB; // kept as given; nothing reads them
    std::unique_ptr<ImageSprite> sprite;
};
