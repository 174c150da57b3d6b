#pragma once
// Writing a 32-bit surface as an 8-bit RGB PNG file.

#include <string>

namespace korvid {
class Surface;
}

// False when the surface cannot be locked or the file cannot be written. The alpha byte of
// the pixels is left out: lines and fades leave it at 0 where they draw.
bool writePng(korvid::Surface& surface, const std::string& path);
