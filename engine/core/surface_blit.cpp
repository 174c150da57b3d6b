// Drawing one surface onto another, and the mipmap chain.

#include "engine/core/pixel.hpp"
#include "engine/core/surface.hpp"

#include <SDL/SDL.h>

#include <algorithm>

namespace korvid {

namespace {

// Opacity to a weight 0..255: trunc(opacity * 256), so 1.0 gives 255 and 0.5 gives 128.
uint32_t opacityWeight(float opacity) {
    const double a = double(opacity) * 256.0;
    if (!(a > 0.0))
        return 0;
    return a >= 255.0 ? 255 : uint32_t(a);
}

template <class PixelOp>
void blendRows(uint32_t* dst, int32_t dstPitch, const uint32_t* src, int32_t srcPitch, int32_t w,
               int32_t h, PixelOp op) {
    for (int32_t y = 0; y < h; ++y, dst += dstPitch, src += srcPitch)
        for (int32_t x = 0; x < w; ++x)
            dst[x] = op(dst[x], src[x]);
}

} // namespace

void Surface::blit(Surface* source, int32_t x, int32_t y, float opacity) {
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

    switch (source->blendMode) {
    case blendReplace:
        if (a == 255) {
            for (int32_t row = 0; row < h; ++row)
                std::copy(src + row * srcPitch, src + row * srcPitch + w, dst + row * dstPitch);
        } else if (a > 0) {
            blendRows(dst, dstPitch, src, srcPitch, w, h,
                      [a](uint32_t d, uint32_t s) { return blendPixel(d, s, a); });
        }
        break;
    case blendAlpha:
        // The weight is the source alpha, scaled by the opacity when that is below one.
        blendRows(dst, dstPitch, src, srcPitch, w, h, [a](uint32_t d, uint32_t s) {
            const uint32_t wgt = a == 255 ? s >> 24 : ((s >> 24) * a) >> 8;
            if (wgt == 0)
                return d;
            return wgt == 255 ? s : blendPixel(d, s, wgt);
        });
        break;
    case blendAdd:
        // Below full opacity the add mode draws nothing.
        if (a == 255)
            blendRows(dst, dstPitch, src, srcPitch, w, h, addSaturate);
        break;
    default:
        break;
    }

    source->unlock();
    unlock();
}

void Surface::buildMipmaps() {
    if (!mipmapped || (storage != storage32 && storage != storage8) || locked || !sdlSurface)
        return;
    const int32_t levels = std::min(widthLog2, heightLog2);
    // Level i + 1 sits in the band below the image, at column width - (width >> i).
    auto levelOffset = [this](int32_t i) {
        return i == 0 ? 0 : height * pitch + width - (width >> (i - 1));
    };
    if (storage == storage32) {
        uint32_t* pixels = nullptr;
        int32_t p = 0;
        if (lock(pixels, p) != errNone)
            return;
        for (int32_t i = 0; i < levels; ++i) {
            const uint32_t* from = pixels + levelOffset(i);
            uint32_t* to = pixels + levelOffset(i + 1);
            const int32_t w = width >> (i + 1), h = height >> (i + 1);
            for (int32_t y = 0; y < h; ++y)
                for (int32_t x = 0; x < w; ++x) {
                    const uint32_t* block = from + 2 * y * p + 2 * x;
                    to[y * p + x] =
                        average2(average2(block[0], block[1]), average2(block[p], block[p + 1]));
                }
        }
    } else {
        uint8_t* pixels = nullptr;
        int32_t p = 0;
        if (lock(pixels, p) != errNone)
            return;
        for (int32_t i = 0; i < levels; ++i) {
            const uint8_t* from = pixels + levelOffset(i);
            uint8_t* to = pixels + levelOffset(i + 1);
            const int32_t w = width >> (i + 1), h = height >> (i + 1);
            for (int32_t y = 0; y < h; ++y)
                for (int32_t x = 0; x < w; ++x) {
                    const uint8_t* block = from + 2 * y * p + 2 * x;
                    to[y * p + x] = uint8_t((block[0] + block[1] + block[p] + block[p + 1]) >> 2);
                }
        }
    }
    unlock();
}

} // namespace korvid
