#include "demo/effects/oscilloscope.hpp"

#include "engine/core/pass_clock.hpp"
#include "engine/core/surface.hpp"

namespace {
constexpr DWORD requestBytes = 1024;
constexpr DWORD readFailed = 0xFFFFFFFF;
} // namespace

void oscilloscope_dots(uint32_t* pixels, int32_t pitch, int32_t width, int32_t height,
                       const int16_t* samples, uint32_t byteCount, uint32_t colourL,
                       uint32_t colourR) {
    // Whole frames of two 16-bit samples only: then the even sample index picked below
    // stays at most n/2 - 2 and its right partner inside the data.
    const int32_t n = int32_t(byteCount > requestBytes ? requestBytes : byteCount & ~3u);
    if (n == 0 || width <= 0 || height <= 0)
        return;
    const int32_t mid = height / 2;
    const int32_t amp = height - 2;
    // Sample position in 16.16: n bytes are n / 2 samples, spread over the width.
    const int32_t step = (n << 15) / width;
    int32_t acc = 0;
    for (int32_t x = 0; x < width; ++x, acc += step) {
        const int32_t i = (acc >> 16) & 0xFFFE;
        const int32_t yL = ((samples[i] * amp) >> 16) + mid;
        const int32_t yR = ((samples[i + 1] * amp) >> 16) + mid;
        // Rows stay within 1..height-2 for heights of 3 or more; smaller ones are clipped.
        if (yL >= 0 && yL < height)
            pixels[yL * pitch + x] = colourL;
        if (yR >= 0 && yR < height)
            pixels[yR * pitch + x] = colourR;
    }
}

void oscilloscope(korvid::Surface* surface, DWORD stream, uint32_t colourL, uint32_t colourR) {
    const korvid::PassTimer timer(korvid::Pass::twoD);
    int16_t samples[requestBytes] = {}; // twice what is asked for, as the show reserves
    const DWORD count = BASS_ChannelGetData(stream, samples, requestBytes);
    if (count == readFailed || !surface || surface->storage != korvid::storage32)
        return;
    uint32_t* pixels = nullptr;
    int32_t pitch = 0;
    if (surface->lock(pixels, pitch) != korvid::errNone)
        return;
    oscilloscope_dots(pixels, pitch, surface->width, surface->height, samples, count, colourL,
                      colourR);
    surface->unlock();
}
