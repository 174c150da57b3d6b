#pragma once
// Pictures enlarged by a whole factor with every pixel repeated, so that they stay sharp:
// the zoomed window of the show and demo-capture's enlarged video frames.

#include <cstdint>

// Every pixel of the width x height picture at `from` (rows `fromPitch` pixels apart)
// becomes a factor x factor block at `to` (rows `toPitch` pixels apart), which must hold
// (width * factor) x (height * factor) pixels. Factors 1 to 4.
void zoom_pixels(const uint32_t* from, int32_t width, int32_t height, int32_t fromPitch,
                 int32_t factor, uint32_t* to, int32_t toPitch);
