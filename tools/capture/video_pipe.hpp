#pragma once
// Frames piped into ffmpeg, encoded as H.264 (yuv420p) and muxed with the soundtrack.

#include <cstdint>
#include <cstdio>
#include <string>

class VideoPipe {
public:
    // Starts ffmpeg writing `path` from raw 0xAARRGGBB frames and the audio file.
    bool open(const std::string& path, int width, int height, int fps, const std::string& audio);
    bool write(const uint32_t* pixels, int pitch);
    // Waits for ffmpeg to finish; false when it failed.
    bool close();
    bool isOpen() const { return pipe != nullptr; }

private:
    std::FILE* pipe = nullptr;
    int width = 0, height = 0;
};
