#include "pixel_format.hpp"

#include <cstdlib>

namespace sdl_layer {

namespace {

// The mask's lowest bit, or -1 when the mask is not eight bits on a byte boundary.
int byteShift(Uint32 mask) {
    for (int shift = 0; shift < 32; shift += 8)
        if (mask == Uint32(0xFF) << shift)
            return shift;
    return -1;
}

} // namespace

SDL_PixelFormat* allocFormat(int bitsPerPixel, Uint32 rMask, Uint32 gMask, Uint32 bMask,
                             Uint32 aMask) {
    if (bitsPerPixel != 8 && bitsPerPixel != 24 && bitsPerPixel != 32) {
        SDL_SetError("Unsupported pixel format");
        return nullptr;
    }
    if (bitsPerPixel > 8 && !rMask && !gMask && !bMask) {
        rMask = 0x00FF0000;
        gMask = 0x0000FF00;
        bMask = 0x000000FF;
    }
    auto* format = static_cast<SDL_PixelFormat*>(std::calloc(1, sizeof(SDL_PixelFormat)));
    if (!format) {
        SDL_Error(SDL_ENOMEM);
        return nullptr;
    }
    format->BitsPerPixel = Uint8(bitsPerPixel);
    format->BytesPerPixel = Uint8((bitsPerPixel + 7) / 8);
    format->alpha = SDL_ALPHA_OPAQUE;
    format->Rloss = format->Gloss = format->Bloss = format->Aloss = 8;
    const Uint32 masks[4] = {rMask, gMask, bMask, aMask};
    Uint8* shifts[4] = {&format->Rshift, &format->Gshift, &format->Bshift, &format->Ashift};
    Uint8* losses[4] = {&format->Rloss, &format->Gloss, &format->Bloss, &format->Aloss};
    for (int i = 0; i < 4; ++i) {
        if (!masks[i])
            continue;
        const int shift = byteShift(masks[i]);
        if (shift < 0 || (bitsPerPixel == 24 && shift == 24)) {
            std::free(format);
            SDL_SetError("Unsupported pixel format");
            return nullptr;
        }
        *shifts[i] = Uint8(shift);
        *losses[i] = 0;
    }
    format->Rmask = rMask;
    format->Gmask = gMask;
    format->Bmask = bMask;
    format->Amask = aMask;
    if (bitsPerPixel == 8) {
        // A palette of 256 entries: with masks, each entry the masked bits of its index
        // (a grey ramp for masks of 0xFF); without, black.
        auto* palette = static_cast<SDL_Palette*>(std::malloc(sizeof(SDL_Palette)));
        auto* colours = static_cast<SDL_Color*>(std::calloc(256, sizeof(SDL_Color)));
        if (!palette || !colours) {
            std::free(palette);
            std::free(colours);
            std::free(format);
            SDL_Error(SDL_ENOMEM);
            return nullptr;
        }
        palette->ncolors = 256;
        palette->colors = colours;
        if (rMask || gMask || bMask)
            for (Uint32 i = 0; i < 256; ++i) {
                colours[i].r = channel(i, rMask, format->Rshift);
                colours[i].g = channel(i, gMask, format->Gshift);
                colours[i].b = channel(i, bMask, format->Bshift);
            }
        format->palette = palette;
    }
    return format;
}

void freeFormat(SDL_PixelFormat* format) {
    if (!format)
        return;
    if (format->palette) {
        std::free(format->palette->colors);
        std::free(format->palette);
    }
    std::free(format);
}

} // namespace sdl_layer

Uint32 SDL_MapRGB(const SDL_PixelFormat* const format, const Uint8 r, const Uint8 g,
                  const Uint8 b) {
    return SDL_MapRGBA(format, r, g, b, SDL_ALPHA_OPAQUE);
}

Uint32 SDL_MapRGBA(const SDL_PixelFormat* const format, const Uint8 r, const Uint8 g, const Uint8 b,
                   const Uint8 a) {
    if (!format->palette)
        return Uint32(r) << format->Rshift | Uint32(g) << format->Gshift |
               Uint32(b) << format->Bshift | (Uint32(a) << format->Ashift & format->Amask);
    // The nearest palette entry, the first of equals.
    Uint32 best = 0, bestDistance = ~0u;
    for (int i = 0; i < format->palette->ncolors; ++i) {
        const SDL_Color& c = format->palette->colors[i];
        const int dr = c.r - r, dg = c.g - g, db = c.b - b;
        const Uint32 distance = Uint32(dr * dr + dg * dg + db * db);
        if (distance < bestDistance) {
            best = Uint32(i);
            bestDistance = distance;
            if (distance == 0)
                break;
        }
    }
    return best;
}

void SDL_GetRGBA(Uint32 pixel, const SDL_PixelFormat* const format, Uint8* r, Uint8* g, Uint8* b,
                 Uint8* a) {
    using sdl_layer::channel;
    if (format->palette) {
        const SDL_Color& c = format->palette->colors[pixel & 0xFF];
        *r = c.r;
        *g = c.g;
        *b = c.b;
        *a = SDL_ALPHA_OPAQUE;
        return;
    }
    *r = channel(pixel, format->Rmask, format->Rshift);
    *g = channel(pixel, format->Gmask, format->Gshift);
    *b = channel(pixel, format->Bmask, format->Bshift);
    *a = format->Amask ? channel(pixel, format->Amask, format->Ashift) : SDL_ALPHA_OPAQUE;
}

void SDL_GetRGB(Uint32 pixel, const SDL_PixelFormat* const format, Uint8* r, Uint8* g, Uint8* b) {
    Uint8 a = 0;
    SDL_GetRGBA(pixel, format, r, g, b, &a);
}
