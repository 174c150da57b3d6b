// Surfaces in memory, as SDL 1.2 keeps them: created zeroed, rows padded to 4 bytes, locks
// that only count (nothing is ever in video memory), fills clipped by the clip rectangle.

#include "pixel_format.hpp"

#include <algorithm>
#include <cstdlib>
#include <cstring>

using sdl_layer::allocFormat;
using sdl_layer::freeFormat;

SDL_Surface* SDL_CreateRGBSurface(Uint32, int width, int height, int depth, Uint32 rMask,
                                  Uint32 gMask, Uint32 bMask, Uint32 aMask) {
    if (width < 0 || height < 0 || width > 16384 || height > 16384) {
        SDL_SetError("Invalid surface size");
        return nullptr;
    }
    SDL_PixelFormat* format = allocFormat(depth, rMask, gMask, bMask, aMask);
    if (!format)
        return nullptr;
    auto* surface = static_cast<SDL_Surface*>(std::calloc(1, sizeof(SDL_Surface)));
    // Rows of whole 32-bit words, as SDL 1.2 lays them out.
    const int pitch = (width * format->BytesPerPixel + 3) & ~3;
    void* pixels =
        surface ? std::calloc(size_t(std::max(height, 1)), size_t(std::max(pitch, 4))) : nullptr;
    if (!surface || !pixels) {
        std::free(surface);
        freeFormat(format);
        SDL_Error(SDL_ENOMEM);
        return nullptr;
    }
    // A surface with an alpha channel blends by it when blitted, until told otherwise.
    surface->flags = aMask ? SDL_SRCALPHA : 0u;
    surface->format = format;
    surface->w = width;
    surface->h = height;
    surface->pitch = Uint16(pitch);
    surface->pixels = pixels;
    surface->clip_rect = SDL_Rect{0, 0, Uint16(width), Uint16(height)};
    surface->refcount = 1;
    return surface;
}

void SDL_FreeSurface(SDL_Surface* surface) {
    // The screen belongs to the video mode.
    if (!surface || surface == SDL_GetVideoSurface())
        return;
    if (--surface->refcount > 0)
        return;
    freeFormat(surface->format);
    if (!(surface->flags & SDL_PREALLOC))
        std::free(surface->pixels);
    std::free(surface);
}

int SDL_LockSurface(SDL_Surface* surface) {
    ++surface->locked;
    return 0;
}

void SDL_UnlockSurface(SDL_Surface* surface) {
    if (surface->locked > 0)
        --surface->locked;
}

SDL_bool SDL_SetClipRect(SDL_Surface* surface, const SDL_Rect* rect) {
    if (!surface)
        return SDL_FALSE;
    if (!rect) {
        surface->clip_rect = SDL_Rect{0, 0, Uint16(surface->w), Uint16(surface->h)};
        return SDL_TRUE;
    }
    const int x0 = std::max<int>(rect->x, 0), y0 = std::max<int>(rect->y, 0);
    const int x1 = std::min<int>(rect->x + rect->w, surface->w);
    const int y1 = std::min<int>(rect->y + rect->h, surface->h);
    if (x1 <= x0 || y1 <= y0) {
        surface->clip_rect = SDL_Rect{Sint16(x0), Sint16(y0), 0, 0};
        return SDL_FALSE;
    }
    surface->clip_rect = SDL_Rect{Sint16(x0), Sint16(y0), Uint16(x1 - x0), Uint16(y1 - y0)};
    return SDL_TRUE;
}

void SDL_GetClipRect(SDL_Surface* surface, SDL_Rect* rect) {
    if (surface && rect)
        *rect = surface->clip_rect;
}

int SDL_FillRect(SDL_Surface* surface, SDL_Rect* rect, Uint32 colour) {
    if (!surface)
        return -1;
    const SDL_Rect& clip = surface->clip_rect;
    SDL_Rect area = clip;
    if (rect) {
        const int x0 = std::max<int>(rect->x, clip.x), y0 = std::max<int>(rect->y, clip.y);
        const int x1 = std::min<int>(rect->x + rect->w, clip.x + clip.w);
        const int y1 = std::min<int>(rect->y + rect->h, clip.y + clip.h);
        area = SDL_Rect{Sint16(x0), Sint16(y0), Uint16(std::max(x1 - x0, 0)),
                        Uint16(std::max(y1 - y0, 0))};
        *rect = area;
    }
    const int bytes = surface->format->BytesPerPixel;
    for (int y = area.y; y < area.y + area.h; ++y) {
        Uint8* row = static_cast<Uint8*>(surface->pixels) + y * surface->pitch + area.x * bytes;
        if (bytes == 4)
            std::fill_n(reinterpret_cast<Uint32*>(row), area.w, colour);
        else if (bytes == 1)
            std::memset(row, int(colour & 0xFF), area.w);
        else
            for (int x = 0; x < area.w; ++x)
                sdl_layer::writePixel(row + x * bytes, bytes, colour);
    }
    return 0;
}

int SDL_SetColorKey(SDL_Surface* surface, Uint32 flag, Uint32 key) {
    if (flag & SDL_SRCCOLORKEY) {
        surface->flags |= SDL_SRCCOLORKEY;
        surface->format->colorkey = key;
    } else {
        surface->flags &= ~SDL_SRCCOLORKEY;
        surface->format->colorkey = 0;
    }
    return 0;
}

int SDL_SetAlpha(SDL_Surface* surface, Uint32 flag, Uint8 alpha) {
    if (flag & SDL_SRCALPHA) {
        surface->flags |= SDL_SRCALPHA;
        surface->format->alpha = alpha;
    } else {
        surface->flags &= ~SDL_SRCALPHA;
        surface->format->alpha = SDL_ALPHA_OPAQUE;
    }
    return 0;
}

int SDL_SetColors(SDL_Surface* surface, SDL_Color* colours, int first, int count) {
    SDL_Palette* palette = surface->format->palette;
    if (!palette)
        return 0;
    const int from = std::max(first, 0), to = std::min(first + count, palette->ncolors);
    for (int i = from; i < to; ++i) {
        palette->colors[i] = colours[i - first];
        palette->colors[i].unused = 0;
    }
    return from == first && to == first + count ? 1 : 0;
}

int SDL_SetPalette(SDL_Surface* surface, int, SDL_Color* colours, int first, int count) {
    return SDL_SetColors(surface, colours, first, count);
}
