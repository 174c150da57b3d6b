#pragma once
// An image file drawn onto a locked 32-bit window-system surface with one of five pixel
// operators, clipped to the sprite's clip rectangle.

#include "demo/effects/drawable2d.hpp"

#include <cstdint>
#include <string>

struct SDL_Surface;

class ImageSprite : public Drawable2D {
public:
    enum : uint32_t {
        opCopy = 0,   // D = S
        opKey = 1,    // D = S where S != 0
        opAdd = 2,    // red, green, blue summed with saturation; alpha 0
        opDarken = 3, // red, green, blue the minimum of both; alpha 0
        opInvert = 4, // D = ~D where S != 0
    };

    // Loads `path` into a 32-bit surface with the given channel masks. A file that cannot
    // be loaded leaves the sprite not ready and without an image.
    ImageSprite(int32_t width, int32_t height, const std::string& path, uint32_t op,
                uint32_t redMask, uint32_t greenMask, uint32_t blueMask, uint32_t alphaMask);
    ~ImageSprite();
    ImageSprite(const ImageSprite&) = delete;
    ImageSprite& operator=(const ImageSprite&) = delete;

    // The image's size (0 without an image).
    int32_t getWidth() override;
    int32_t getHeight() override;

    // 1 when the draw ran (even if it changed no pixel), 0 when nothing was drawn. Locks
    // the destination itself; a lock that fails prints the window system's text on
    // standard output and draws nothing.
    int draw(SDL_Surface* destination, int32_t x, int32_t y);

    uint32_t op;
    SDL_Surface* image = nullptr; // owned
};
