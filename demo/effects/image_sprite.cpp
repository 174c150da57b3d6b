#include "demo/effects/image_sprite.hpp"

#include "demo/effects/support.hpp"
#include "engine/core/pass_clock.hpp"

#include <SDL/SDL.h>
#include <SDL/SDL_image.h>

#include <algorithm>
#include <cstdio>

namespace {

struct Span {
    uint32_t* dst;
    int32_t dstPitch;
    const uint32_t* src;
    int32_t srcPitch;
    int32_t width, height;
};

template <class PixelOp>
void apply(const Span& span, PixelOp op) {
    uint32_t* dst = span.dst;
    const uint32_t* src = span.src;
    for (int32_t y = 0; y < span.height; ++y, dst += span.dstPitch, src += span.srcPitch)
        for (int32_t x = 0; x < span.width; ++x)
            dst[x] = op(dst[x], src[x]);
}

uint32_t darken(uint32_t d, uint32_t s) {
    return std::min(d & 0xFF0000, s & 0xFF0000) | std::min(d & 0xFF00, s & 0xFF00) |
           std::min(d & 0xFF, s & 0xFF);
}

} // namespace

ImageSprite::ImageSprite(int32_t width, int32_t height, const std::string& path, uint32_t op,
                         uint32_t redMask, uint32_t greenMask, uint32_t blueMask,
                         uint32_t alphaMask)
    : Drawable2D(width, height), op(op) {
    SDL_Surface* loaded = IMG_Load(path.c_str());
    if (!loaded)
        return;
    image =
        SDL_CreateRGBSurface(0, loaded->w, loaded->h, 32, redMask, greenMask, blueMask, alphaMask);
    if (image)
        SDL_BlitSurface(loaded, nullptr, image, nullptr);
    SDL_FreeSurface(loaded);
    ready = image ? 1 : 0;
}

ImageSprite::~ImageSprite() {
    if (image)
        SDL_FreeSurface(image);
}

int32_t ImageSprite::getWidth() {
    return image ? image->w : 0;
}

int32_t ImageSprite::getHeight() {
    return image ? image->h : 0;
}

int ImageSprite::draw(SDL_Surface* destination, int32_t x, int32_t y) {
    const korvid::PassTimer timer(korvid::Pass::twoD);
    if (!destination)
        return 0;
    if (SDL_LockSurface(destination) < 0) {
        std::printf("%s\n", SDL_GetError());
        return 0;
    }
    const int32_t w = getWidth(), h = getHeight();
    const int32_t left = clip.left, top = clip.top, right = clip.right, bottom = clip.bottom;
    if (!ready || destination->format->BytesPerPixel != 4 || x + w < left || y + h < top ||
        x > right || y > bottom) {
        SDL_UnlockSurface(destination);
        return 0;
    }

    // The image rectangle cut to the clip rectangle, and to the destination itself.
    const int32_t x0 = std::max({x, left, 0}), y0 = std::max({y, top, 0});
    const int32_t x1 = std::min({x + w, right, destination->w});
    const int32_t y1 = std::min({y + h, bottom, destination->h});
    if (x0 < x1 && y0 < y1) {
        Span span;
        span.dstPitch = destination->pitch / 4;
        span.srcPitch = image->pitch / 4;
        span.dst = static_cast<uint32_t*>(destination->pixels) + y0 * span.dstPitch + x0;
        span.src =
            static_cast<const uint32_t*>(image->pixels) + (y0 - y) * span.srcPitch + (x0 - x);
        span.width = x1 - x0;
        span.height = y1 - y0;
        switch (op) {
        case opCopy:
            apply(span, [](uint32_t, uint32_t s) { return s; });
            break;
        case opKey:
            apply(span, [](uint32_t d, uint32_t s) { return s ? s : d; });
            break;
        case opAdd:
            apply(span, effects::addSaturateRgb);
            break;
        case opDarken:
            apply(span, darken);
            break;
        case opInvert:
            apply(span, [](uint32_t d, uint32_t s) { return s ? ~d : d; });
            break;
        default:
            break;
        }
    }
    SDL_UnlockSurface(destination);
    return 1;
}
