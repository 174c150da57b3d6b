#pragma once
// Writes 0xAARRGGBB pixels as an 8-bit RGB or RGBA PNG file.

#include <cstdint>
#include <string>

namespace tools {

// `pitch` is the distance between rows in pixels. Returns false when the file cannot be
// written. Compression level 1 by default: the tools write many frames and favour speed;
// 9 for a single picture that is kept.
bool writePng(const std::string& path, const uint32_t* pixels, int width, int height, int pitch,
              bool alpha, int compression = 1);

} // namespace tools
