#pragma once
// Values of the command-line options that several tools share.

#include <cstdint>
#include <string>

namespace tools {

// A number that is the whole of `text`.
bool parseFloat(const char* text, float& out);

// "WxH" with both sides from 1 to 8192.
bool parseSize(const char* text, int32_t& width, int32_t& height);

// "0", "1" or "2": no outlines, blended lines, darkening lines.
bool parseOutline(const char* text, uint32_t& mode);

// How korvid-render and korvid-play look at a file: FILE [--camera PATH] [--outline 0|1|2]
// [--size WxH].
struct ViewOptions {
    std::string input, cameraPath;
    uint32_t outline = 2;
    int32_t width = 512, height = 384;
};

enum class Parsed { notMine, taken, bad };

// Takes argv[i], and its value after it (advancing i), when it is one of the ViewOptions.
Parsed parseViewOption(int argc, char** argv, int& i, ViewOptions& options);

} // namespace tools
