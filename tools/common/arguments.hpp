#pragma once
// Values of the command-line options that several tools share.

#include <cstdint>

namespace tools {

// A number that is the whole of `text`.
bool parseFloat(const char* text, float& out);

// "WxH" with both sides from 1 to 8192.
bool parseSize(const char* text, int32_t& width, int32_t& height);

// "0", "1" or "2": no outlines, blended lines, darkening lines.
bool parseOutline(const char* text, uint32_t& mode);

} // namespace tools
