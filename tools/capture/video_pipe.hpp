#pragma once
// Frames piped into ffmpeg, encoded as H.264 (yuv420p) and muxed with the soundtrack.

#include <cstdint>
#include <cstdio>
#include <string>

class VideoPipe {
public:
    // Starts ffmpeg writing `path` from raw 0xAARRGGBB frames and the audio file.
    bool open(const std::string& path, int width, int height, int fps, const std::string& audio);
    // Puts the frame drawn at music position `seconds` in the video's slot for that moment,
    // so it shows when the muxed sound plays that position: a frame whose slot is already
    // written is dropped, and slots passed over are filled with this frame.
    bool write(const uint32_t* pixels, int pitch, double seconds);
    // Waits for ffmpeg to finish; false when it failed.
    bool close();
    bool isOpen() const { return pipe != nullptr; }

private:
    std::FILE* pipe = nullptr;
    int width = 0, height = 0, fps = 0;
    long slots = 0; // frames written so far
};
