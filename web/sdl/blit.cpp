// Blits and conversions between the layer's formats, with SDL 1.2's rules: a colour key
// skips its pixels; a surface with SDL_SRCALPHA blends by its alpha channel (or by its
// per-surface alpha when it has none) and leaves the destination's alpha as it was; any
// other blit converts each pixel, and a source without an alpha channel gives the
// destination's alpha channel its per-surface alpha (255 unless set). Pixels are worked
// one at a time: the show converts its images once, while it loads.

#include "pixel_format.hpp"

#include <algorithm>

using sdl_layer::readPixel;
using sdl_layer::writePixel;

namespace {

struct Rgba {
    Uint8 r, g, b, a;
};

Rgba colourOf(Uint32 pixel, const SDL_PixelFormat* format) {
    Rgba c{};
    SDL_GetRGBA(pixel, format, &c.r, &c.g, &c.b, &c.a);
    if (!format->Amask)
        c.a = format->alpha;
    return c;
}

// One channel blended by a weight of 0 to 255 as the processor's build blends it (SDL 1.2
// over SDL 2): weight 0 keeps the destination and 255 takes the source; between, the
// difference times the weight, shifted down by 8 (so rounded down), added to the
// destination.
Uint8 blendChannel(int source, int destination, int weight) {
    if (weight == 255)
        return Uint8(source);
    return Uint8(((source - destination) * weight >> 8) + destination);
}

} // namespace

int SDL_LowerBlit(SDL_Surface* src, SDL_Rect* srcRect, SDL_Surface* dst, SDL_Rect* dstRect) {
    const SDL_PixelFormat* from = src->format;
    const SDL_PixelFormat* to = dst->format;
    const int fromBytes = from->BytesPerPixel, toBytes = to->BytesPerPixel;
    const bool keyed = src->flags & SDL_SRCCOLORKEY;
    const bool blends = (src->flags & SDL_SRCALPHA) && (from->Amask || from->alpha != 255);
    for (int y = 0; y < dstRect->h; ++y) {
        const Uint8* in = static_cast<const Uint8*>(src->pixels) + (srcRect->y + y) * src->pitch +
                          srcRect->x * fromBytes;
        Uint8* out =
            static_cast<Uint8*>(dst->pixels) + (dstRect->y + y) * dst->pitch + dstRect->x * toBytes;
        for (int x = 0; x < dstRect->w; ++x, in += fromBytes, out += toBytes) {
            const Uint32 raw = readPixel(in, fromBytes);
            if (keyed && raw == from->colorkey)
                continue;
            const Rgba s = colourOf(raw, from);
            if (!blends) {
                writePixel(out, toBytes, SDL_MapRGBA(to, s.r, s.g, s.b, s.a));
                continue;
            }
            Rgba d{};
            SDL_GetRGBA(readPixel(out, toBytes), to, &d.r, &d.g, &d.b, &d.a);
            writePixel(out, toBytes,
                       SDL_MapRGBA(to, blendChannel(s.r, d.r, s.a), blendChannel(s.g, d.g, s.a),
                                   blendChannel(s.b, d.b, s.a), d.a));
        }
    }
    return 0;
}

int SDL_UpperBlit(SDL_Surface* src, SDL_Rect* srcRect, SDL_Surface* dst, SDL_Rect* dstRect) {
    if (!src || !dst) {
        SDL_SetError("SDL_UpperBlit: passed a NULL surface");
        return -1;
    }
    if (src->locked || dst->locked) {
        SDL_SetError("Surfaces must not be locked during blit");
        return -1;
    }
    SDL_Rect wholeDst{0, 0, 0, 0};
    if (!dstRect)
        dstRect = &wholeDst;
    // The source rectangle clipped to the source, moving the destination with it.
    int sx = 0, sy = 0, w = src->w, h = src->h;
    if (srcRect) {
        sx = srcRect->x;
        sy = srcRect->y;
        w = srcRect->w;
        h = srcRect->h;
        if (sx < 0) {
            w += sx;
            dstRect->x = Sint16(dstRect->x - sx);
            sx = 0;
        }
        if (sy < 0) {
            h += sy;
            dstRect->y = Sint16(dstRect->y - sy);
            sy = 0;
        }
        w = std::min(w, src->w - sx);
        h = std::min(h, src->h - sy);
    }
    // Then the destination clipped to its clip rectangle.
    const SDL_Rect& clip = dst->clip_rect;
    if (const int dx = clip.x - dstRect->x; dx > 0) {
        w -= dx;
        dstRect->x = Sint16(dstRect->x + dx);
        sx += dx;
    }
    if (const int dx = dstRect->x + w - clip.x - clip.w; dx > 0)
        w -= dx;
    if (const int dy = clip.y - dstRect->y; dy > 0) {
        h -= dy;
        dstRect->y = Sint16(dstRect->y + dy);
        sy += dy;
    }
    if (const int dy = dstRect->y + h - clip.y - clip.h; dy > 0)
        h -= dy;
    if (w <= 0 || h <= 0) {
        dstRect->w = dstRect->h = 0;
        return 0;
    }
    SDL_Rect from{Sint16(sx), Sint16(sy), Uint16(w), Uint16(h)};
    dstRect->w = Uint16(w);
    dstRect->h = Uint16(h);
    return SDL_LowerBlit(src, &from, dst, dstRect);
}

SDL_Surface* SDL_ConvertSurface(SDL_Surface* src, SDL_PixelFormat* format, Uint32 flags) {
    SDL_Surface* converted =
        SDL_CreateRGBSurface(flags, src->w, src->h, format->BitsPerPixel, format->Rmask,
                             format->Gmask, format->Bmask, format->Amask);
    if (!converted)
        return nullptr;
    if (format->palette && converted->format->palette)
        SDL_SetColors(converted, format->palette->colors, 0, format->palette->ncolors);

    // The pixels are copied as they are: no blending by alpha. A colour key becomes
    // transparency in a format with an alpha channel (unless the key is asked to stay);
    // otherwise it is carried over to the converted surface.
    const Uint32 srcFlags = src->flags;
    const Uint32 key = src->format->colorkey;
    const Uint8 alpha = src->format->alpha;
    const bool keyToAlpha =
        (srcFlags & SDL_SRCCOLORKEY) && !(flags & SDL_SRCCOLORKEY) && format->Amask;
    if ((srcFlags & SDL_SRCCOLORKEY) && !keyToAlpha)
        SDL_SetColorKey(src, 0, 0);
    if (srcFlags & SDL_SRCALPHA)
        SDL_SetAlpha(src, 0, 0);
    SDL_Rect whole{0, 0, Uint16(src->w), Uint16(src->h)};
    SDL_Rect to = whole;
    SDL_LowerBlit(src, &whole, converted, &to);

    if ((srcFlags & SDL_SRCCOLORKEY) && !keyToAlpha) {
        Uint8 r = 0, g = 0, b = 0;
        SDL_GetRGB(key, src->format, &r, &g, &b);
        SDL_SetColorKey(converted, SDL_SRCCOLORKEY, SDL_MapRGB(converted->format, r, g, b));
        SDL_SetColorKey(src, SDL_SRCCOLORKEY, key);
    }
    if (srcFlags & SDL_SRCALPHA) {
        SDL_SetAlpha(converted, SDL_SRCALPHA, alpha);
        SDL_SetAlpha(src, SDL_SRCALPHA, alpha);
    }
    return converted;
}

SDL_Surface* SDL_DisplayFormat(SDL_Surface* surface) {
    SDL_Surface* screen = SDL_GetVideoSurface();
    if (!screen) {
        SDL_SetError("No video mode has been set");
        return nullptr;
    }
    return SDL_ConvertSurface(surface, screen->format,
                              surface->flags & (SDL_SRCCOLORKEY | SDL_SRCALPHA));
}

SDL_Surface* SDL_DisplayFormatAlpha(SDL_Surface* surface) {
    SDL_Surface* screen = SDL_GetVideoSurface();
    if (!screen) {
        SDL_SetError("No video mode has been set");
        return nullptr;
    }
    // 32 bits with alpha on top, red and blue where the display has them.
    const SDL_PixelFormat* display = screen->format;
    Uint32 rMask = 0x00FF0000, bMask = 0x000000FF;
    if (display->Rmask == 0x000000FF && display->Bmask == 0x00FF0000)
        std::swap(rMask, bMask);
    SDL_PixelFormat* format = sdl_layer::allocFormat(32, rMask, 0x0000FF00, bMask, 0xFF000000);
    if (!format)
        return nullptr;
    SDL_Surface* converted = SDL_ConvertSurface(surface, format, surface->flags & SDL_SRCALPHA);
    sdl_layer::freeFormat(format);
    return converted;
}
