#pragma once
// Image files into Surfaces, through SDL_image. Palettised 8-bit images stay 8-bit with
// their palette; everything else becomes 32-bit 0xAARRGGBB. A mipmapped load makes a
// texture: power-of-two sides and the mipmap chain built right away.

#include "engine/core/errors.hpp"

#include <cstdint>
#include <string>

namespace korvid {

class Surface;

// 1 for a null target, 25 when SDL_image cannot read the file (SDL_GetError tells why).
// A 32-bit result blends by alpha when the file had an alpha channel.
Error loadImage(Surface* target, const std::string& path, bool mipmapped);

// The file read as a mask: each pixel's low byte (or palette index) becomes the alpha
// of `colour`. The blend mode stays replace; callers that want the mask to blend set it.
Error loadAlphaImage(Surface* target, uint32_t colour, const std::string& path, bool mipmapped);

} // namespace korvid
