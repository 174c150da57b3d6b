#pragma once
// The whole show as one picture: a thumbnail every 32 demo units from the start of the
// first part to the end of the last, each labelled with its part and demo time.

#include <cstdint>
#include <string>
#include <vector>

class Storyboard {
public:
    static constexpr float step = 32.0f; // demo units from one thumbnail to the next

    // For frames of frameWidth x frameHeight (thumbnails are a quarter of each side).
    Storyboard(int frameWidth, int frameHeight);

    // Takes the frame drawn at demo time t for every thumbnail whose time it is the first
    // frame at or after.
    void offer(float t, const uint32_t* pixels, int pitch);
    bool complete() const { return taken == times.size(); }
    size_t thumbnails() const { return times.size(); }
    // The time of the last thumbnail: the storyboard is complete once a frame at or after
    // it has been offered.
    float lastTime() const { return times.back(); }

    // The sheet down to the last row of thumbnails taken so far, as a PNG; false when the
    // file cannot be written.
    bool write(const std::string& path) const;

private:
    void label(size_t index, float t);

    std::vector<float> times;
    size_t taken = 0;
    int thumbWidth, thumbHeight;
    int width, height;
    std::vector<uint32_t> sheet;
};
