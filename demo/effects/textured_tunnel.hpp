#pragma once
// A free-direction tunnel: rays from a turning viewpoint hit an infinite cylinder along z;
// the hits give a position along the axis, an angle around it and a light that falls off
// with distance. Rays are traced only at the corners of 8 x 8 blocks and interpolated
// inside them; a table turns (palette index, light) into a colour.

#include "demo/effects/support.hpp"

#include <cstdint>
#include <vector>

struct SDL_Surface;

class TexturedTunnel {
public:
    static constexpr int32_t blockSize = 8;
    static constexpr int32_t imageSize = 256; // the image is 256 x 256 palette indices
    static constexpr int32_t fullLight = 32768;

    struct Corner {
        int32_t v; // along the axis
        int32_t u; // around the axis: half a turn spans 16 bits
        int32_t l; // light, 0 .. 32768
    };

    // `image` is not owned and must stay alive; the shade table is built from `palette`.
    TexturedTunnel(int32_t width, int32_t height, const uint8_t* image, const Palette& palette,
                   float radius);
    TexturedTunnel(const TexturedTunnel&) = delete;
    TexturedTunnel& operator=(const TexturedTunnel&) = delete;

    // Turns the view and moves along the axis; 0 when not ready, else 1.
    int advance(float dt);

    // Traces the grid and fills the locked 32-bit destination in 8 x 8 blocks (as many as
    // fit). 0 when not ready or when the destination or the image has no pixels, else 1.
    int render(SDL_Surface* destination);

    // The ray-cylinder hits at every block corner, into `grid`.
    void trace();
    // The blocks from `grid` into pixels (rows `pitch` pixels apart).
    void fillBlocks(uint32_t* pixels, int32_t pitch, int32_t columns, int32_t rows) const;

    float angles[3] = {0.0f, 0.0f, 0.0f};
    float radius;
    float travel = 0.0f; // the viewpoint's position along the axis
    int32_t blocksX, blocksY;
    std::vector<Corner> grid; // (blocksY + 1) rows of (blocksX + 1) corners
    const uint8_t* image;
    std::vector<uint32_t> shadeTable; // [index * 256 + light], black up to the colour at 128
    uint32_t ready = 0;
};
