#pragma once
// The playing music's two channels as dots across a surface: 1024 bytes of 16-bit stereo
// samples at the playing position, stretched over the surface's width.

#include "platform/bass.hpp"

#include <cstdint>

namespace korvid {
class Surface;
}

// Reads the sample data of `stream` and draws it into the locked surface; a failed read
// or a surface that is not 32-bit or cannot lock draws nothing.
void oscilloscope(korvid::Surface* surface, DWORD stream, uint32_t colourL, uint32_t colourR);

// The drawing itself, on `byteCount` bytes of interleaved samples (left first). Only whole
// stereo frames within byteCount are read; fewer than one frame draws nothing.
void oscilloscope_dots(uint32_t* pixels, int32_t pitch, int32_t width, int32_t height,
                       const int16_t* samples, uint32_t byteCount, uint32_t colourL,
                       uint32_t colourR);
