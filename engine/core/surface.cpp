#include "engine/core/surface.hpp"
#include "engine/core/pass_clock.hpp"

#include <SDL/SDL.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace korvid {

int32_t ceilLog2(int32_t value) {
    int32_t k = 0;
    while (k < 31 && (int32_t(1) << k) < value)
        ++k;
    return k;
}

namespace {

// The part of `rect` (or the whole surface without one) inside width x height; false when
// that is empty, as for a rectangle wholly outside on any side or an inverted one.
bool clampedRect(const Rect* rect, int32_t width, int32_t height, Rect& out) {
    out = Rect{0, width, 0, height};
    if (rect) {
        out.xmin = std::max(rect->xmin, 0);
        out.ymin = std::max(rect->ymin, 0);
        out.xmax = std::min(rect->xmax, width);
        out.ymax = std::min(rect->ymax, height);
    }
    return out.xmin < out.xmax && out.ymin < out.ymax;
}

} // namespace

Surface::~Surface() {
    releaseStorage();
}

void Surface::releaseStorage() {
    unlock();
    cells.clear();
    cells.shrink_to_fit();
    if (sdlSurface && !borrowed)
        SDL_FreeSurface(sdlSurface);
    sdlSurface = nullptr;
    borrowed = false;
    locked = false;
    blendMode = blendReplace;
}

Error Surface::create(int32_t w, int32_t h, SurfaceStorage kind, bool withMipmaps) {
    releaseStorage();
    if (kind == storageCells && withMipmaps)
        return errInvalidCall;
    if (kind != storageCells && kind != storage32 && kind != storage8)
        return errInvalidCall;

    const int32_t wLog2 = ceilLog2(w);
    const int32_t hLog2 = ceilLog2(h);
    int32_t rows = h;
    if (withMipmaps) {
        w = int32_t(1) << wLog2;
        h = int32_t(1) << hLog2;
        rows = h + h / 2;
    }

    int32_t newPitch = 0;
    if (kind == storageCells) {
        const size_t count = w > 0 && rows > 0 ? size_t(w) * size_t(rows) : 0;
        try {
            cells.assign(count, 0.0f);
        } catch (const std::bad_alloc&) {
            return errMemory;
        }
        newPitch = w;
    } else if (kind == storage32) {
        sdlSurface =
            SDL_CreateRGBSurface(0, w, rows, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000);
        if (!sdlSurface)
            return errSdl;
        newPitch = sdlSurface->pitch / 4;
    } else {
        sdlSurface = SDL_CreateRGBSurface(0, w, rows, 8, 0xFF, 0xFF, 0xFF, 0);
        if (!sdlSurface)
            return errSdl;
        newPitch = sdlSurface->pitch;
    }

    pitch = newPitch;
    pitchLog2 = ceilLog2(newPitch);
    width = w;
    height = h;
    mipmapped = withMipmaps;
    widthLog2 = wLog2;
    heightLog2 = hLog2;
    storage = kind;
    borrowed = false;
    if (kind == storage8)
        rampPalette(Colour{0, 0, 0, 255}, Colour{255, 255, 255, 255}, 256);
    return errNone;
}

Error Surface::bindScreen(SDL_Surface* screen) {
    releaseStorage();
    if (!screen || screen->format->BitsPerPixel != 32)
        return errInvalidCall;
    sdlSurface = screen;
    width = screen->w;
    height = screen->h;
    pitch = screen->pitch / 4;
    storage = storage32;
    mipmapped = false;
    borrowed = true;
    return errNone;
}

// A texture is locked for every face drawn with it, and the window system's lock is a call
// each time; one in software memory that it says needs none is taken as it is. 32-bit
// surfaces, the screen among them, always go through the window system's lock.
bool Surface::needsWindowLock() const {
    return storage != storage8 || SDL_MUSTLOCK(sdlSurface);
}

Error Surface::lockWindowSurface(SurfaceStorage form, void*& pixels, int32_t& outPitch) {
    if (storage != form)
        return errInvalidCall;
    if (locked)
        return errLockedTwice;
    if (!sdlSurface)
        return errAbsurd;
    if (needsWindowLock() && SDL_LockSurface(sdlSurface) < 0)
        return errSdl;
    pixels = sdlSurface->pixels;
    outPitch = pitch;
    locked = true;
    return errNone;
}

Error Surface::lock(uint32_t*& pixels, int32_t& outPitch) {
    void* raw = nullptr;
    const Error code = lockWindowSurface(storage32, raw, outPitch);
    if (code == errNone)
        pixels = static_cast<uint32_t*>(raw);
    return code;
}

Error Surface::lock(uint8_t*& pixels, int32_t& outPitch) {
    void* raw = nullptr;
    const Error code = lockWindowSurface(storage8, raw, outPitch);
    if (code == errNone)
        pixels = static_cast<uint8_t*>(raw);
    return code;
}

Error Surface::lock(float*& outCells, int32_t& outPitch) {
    if (storage != storageCells)
        return errInvalidCall;
    if (locked)
        return errLockedTwice;
    if (sdlSurface)
        return errAbsurd;
    outCells = cells.data();
    outPitch = pitch;
    locked = true;
    return errNone;
}

Error Surface::unlock() {
    if (!locked)
        return errNone;
    if (sdlSurface && needsWindowLock())
        SDL_UnlockSurface(sdlSurface);
    locked = false;
    return errNone;
}

void Surface::fill(uint32_t colour, const Rect* rect) {
    const PassTimer timer(Pass::twoD);
    if (storage == storageCells) {
        fill(float(colour), rect);
        return;
    }
    if (!sdlSurface)
        return;
    SDL_Rect whole{0, 0, Uint16(width), Uint16(height)};
    SDL_SetClipRect(sdlSurface, &whole);
    if (!rect) {
        SDL_FillRect(sdlSurface, nullptr, colour);
        return;
    }
    // Clamped here, before the window system's 16-bit fields could wrap an inverted or
    // far-away rectangle back onto the surface.
    Rect r;
    if (!clampedRect(rect, width, height, r))
        return;
    SDL_Rect area{Sint16(r.xmin), Sint16(r.ymin), Uint16(r.xmax - r.xmin), Uint16(r.ymax - r.ymin)};
    SDL_FillRect(sdlSurface, &area, colour);
}

void Surface::fill(float value, const Rect* rect) {
    const PassTimer timer(Pass::twoD);
    if (storage != storageCells) {
        const double v = value;
        const int64_t truncated = v > -9.2e18 && v < 9.2e18 ? int64_t(v) : 0;
        fill(uint32_t(truncated), rect);
        return;
    }
    Rect r;
    if (locked || sdlSurface || !clampedRect(rect, width, height, r))
        return;
    locked = true;
    // 0.0 is all zero bits, which memset writes much faster than a loop of floats: the
    // renderer clears its depth buffer this way before every render.
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    const size_t count = size_t(r.xmax - r.xmin);
    for (int32_t y = r.ymin; y < r.ymax; ++y) {
        float* row = cells.data() + size_t(y) * size_t(pitch) + size_t(r.xmin);
        if (bits == 0)
            std::memset(row, 0, count * sizeof(float));
        else
            std::fill(row, row + count, value);
    }
    locked = false;
}

void Surface::draw(Surface* source, int32_t x, int32_t y, float opacity, bool tileX, bool tileY) {
    if (storage != storage32 || !sdlSurface || !source || !source->sdlSurface)
        return;
    if (source->storage != storage32 && source->storage != storage8)
        return;
    const int32_t sw = source->width, sh = source->height;
    int32_t x0 = x, y0 = y, columns = 1, rows = 1;
    if (tileX) {
        if (sw <= 0)
            return;
        x0 = x % sw; // the remainder keeps the sign of x
        if (x0 > 0)
            x0 -= sw;
        columns = (width - x0) / sw + 1;
    }
    if (tileY) {
        if (sh <= 0)
            return;
        y0 = y % sh;
        if (y0 > 0)
            y0 -= sh;
        rows = (height - y0) / sh + 1;
    }
    for (int32_t row = 0; row < rows; ++row)
        for (int32_t column = 0; column < columns; ++column)
            blit(source, x0 + column * sw, y0 + row * sh, opacity);
}

void Surface::setPalette(const std::vector<uint32_t>& colours) {
    try {
        palette = colours;
    } catch (const std::bad_alloc&) {
        palette.clear();
    }
}

void Surface::setPaletteEntry(int32_t index, uint32_t colour) {
    if (index >= 0 && size_t(index) < palette.size())
        palette[size_t(index)] = colour;
}

void Surface::rampPalette(const Colour& from, const Colour& to, int32_t count) {
    try {
        palette.assign(256, 0);
    } catch (const std::bad_alloc&) {
        palette.clear();
        return;
    }
    const float k = 1.0f / 255.0f;
    const float stepR = (to.r - from.r) * k, stepG = (to.g - from.g) * k,
                stepB = (to.b - from.b) * k;
    float r = from.r, g = from.g, b = from.b;
    const uint32_t alpha = packChannel(from.a) << 24;
    for (uint32_t& entry : palette) {
        entry = alpha | packChannel(r) << 16 | packChannel(g) << 8 | packChannel(b);
        r += stepR;
        g += stepG;
        b += stepB;
    }
}

} // namespace korvid
