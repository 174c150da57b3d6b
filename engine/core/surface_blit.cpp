// Drawing one surface onto another, and the mipmap chain.

#include "engine/core/pass_clock.hpp"
#include "engine/core/pixel.hpp"
#include "engine/core/pixel_rows.hpp"
#include "engine/core/surface.hpp"

#include <SDL/SDL.h>

#include <algorithm>

namespace korvid {

void Surface::blit(Surface* source, int32_t x, int32_t y, float opacity) {
    const PassTimer timer(Pass::twoD);
    if (!source)
        return;
    const uint32_t a = opacityWeight(opacity);

    const int32_t left = std::max(x, 0), top = std::max(y, 0);
    const int32_t right = std::min(x + source->width, width);
    const int32_t bottom = std::min(y + source->height, height);
    if (left >= right || top >= bottom)
        return;

    uint32_t* src = nullptr;
    uint32_t* dst = nullptr;
    int32_t srcPitch = 0, dstPitch = 0;
    if (source->storage != storage32 || source->locked || source->lock(src, srcPitch) != errNone)
        return;
    if (storage != storage32 || locked || !sdlSurface || lock(dst, dstPitch) != errNone) {
        source->unlock();
        return;
    }

    const int32_t w = right - left, h = bottom - top;
    src += (top - y) * srcPitch + (left - x);
    dst += top * dstPitch + left;

    for (int32_t row = 0; row < h; ++row, src += srcPitch, dst += dstPitch) {
        switch (source->blendMode) {
        case blendReplace:
            if (a == 255)
                std::copy(src, src + w, dst);
            else if (a > 0)
                blendRow(dst, src, w, a);
            break;
        case blendAlpha:
            // The weight is the source alpha, scaled by the opacity when that is below one.
            alphaRow(dst, src, w, a);
            break;
        case blendAdd:
            // Below full opacity the add mode draws nothing.
            if (a == 255)
                addRow(dst, src, w);
            break;
        default:
            break;
        }
    }

    source->unlock();
    unlock();
}

namespace {

// Each pixel of level i + 1 from the 2x2 block at twice its coordinates in level i; the
// levels share the surface's rows, so `pitch` steps through all of them.
template <class Pixel, class Average>
void buildLevels(Pixel* pixels, int32_t pitch, int32_t width, int32_t height, int32_t levels,
                 Average average) {
    // Level i + 1 sits in the band below the image, at column width - (width >> i).
    auto levelOffset = [&](int32_t i) {
        return i == 0 ? 0 : height * pitch + width - (width >> (i - 1));
    };
    for (int32_t i = 0; i < levels; ++i) {
        const Pixel* from = pixels + levelOffset(i);
        Pixel* to = pixels + levelOffset(i + 1);
        const int32_t w = width >> (i + 1), h = height >> (i + 1);
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) {
                const Pixel* block = from + 2 * y * pitch + 2 * x;
                to[y * pitch + x] = average(block[0], block[1], block[pitch], block[pitch + 1]);
            }
    }
}

} // namespace

void Surface::buildMipmaps() {
    if (!mipmapped || (storage != storage32 && storage != storage8) || locked || !sdlSurface)
        return;
    const int32_t levels = std::min(widthLog2, heightLog2);
    int32_t p = 0;
    if (storage == storage32) {
        uint32_t* pixels = nullptr;
        if (lock(pixels, p) != errNone)
            return;
        buildLevels(pixels, p, width, height, levels,
                    [](uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
                        return average2(average2(a, b), average2(c, d));
                    });
    } else {
        uint8_t* pixels = nullptr;
        if (lock(pixels, p) != errNone)
            return;
        buildLevels(pixels, p, width, height, levels,
                    [](uint8_t a, uint8_t b, uint8_t c, uint8_t d) {
                        return uint8_t((a + b + c + d) >> 2);
                    });
    }
    unlock();
}

} // namespace korvid
