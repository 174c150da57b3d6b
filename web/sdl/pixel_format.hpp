#pragma once
// The browser build's SDL 1.2 layer: pixel formats, and reading and writing single pixels
// of any of the layer's depths (8, 24 and 32 bits).

#include <SDL/SDL.h>

#include <cstdint>

namespace sdl_layer {

// A format as SDL 1.2 makes it: for 8 bits a palette of 256 entries (a ramp when masks
// are given, black otherwise) and no masks; for 24 and 32 bits the masks with their
// shifts, 0x00FF0000, 0x0000FF00 and 0x000000FF when none are given. Per-surface alpha
// 255, colour key 0. Null, with the reason in SDL_GetError, when memory runs out or the
// format is not one of the layer's: 8, 24 or 32 bits, each mask 0 or eight bits on a
// byte boundary.
SDL_PixelFormat* allocFormat(int bitsPerPixel, Uint32 rMask, Uint32 gMask, Uint32 bMask,
                             Uint32 aMask);
void freeFormat(SDL_PixelFormat* format);

// The raw value of the pixel at `p` (1, 3 or 4 bytes, little-endian).
inline Uint32 readPixel(const Uint8* p, int bytesPerPixel) {
    switch (bytesPerPixel) {
    case 1:
        return p[0];
    case 3:
        return Uint32(p[0]) | Uint32(p[1]) << 8 | Uint32(p[2]) << 16;
    default:
        return Uint32(p[0]) | Uint32(p[1]) << 8 | Uint32(p[2]) << 16 | Uint32(p[3]) << 24;
    }
}

inline void writePixel(Uint8* p, int bytesPerPixel, Uint32 value) {
    p[0] = Uint8(value);
    if (bytesPerPixel == 1)
        return;
    p[1] = Uint8(value >> 8);
    p[2] = Uint8(value >> 16);
    if (bytesPerPixel == 4)
        p[3] = Uint8(value >> 24);
}

// A channel of a raw pixel: the layer's formats have 8-bit channels only.
inline Uint8 channel(Uint32 pixel, Uint32 mask, Uint8 shift) {
    return Uint8((pixel & mask) >> shift);
}

} // namespace sdl_layer
