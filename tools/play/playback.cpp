#include "tools/play/playback.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tools {

namespace {

constexpr double framesPerSecond = 30.0;
constexpr int maxSpeedStep = 3; // 8 times faster or slower

} // namespace

Playback::Playback(float frames, int cameras, int camera, uint32_t outline)
    : frames(std::max(1.0, double(frames))), cameras(std::max(1, cameras)), camera(camera),
      outline(outline) {}

void Playback::wrap() {
    position = std::fmod(position, frames);
    if (position < 0.0)
        position += frames;
    // fmod of a value just below a multiple of `frames` can round up to it.
    if (position >= frames)
        position = 0.0;
}

void Playback::advance(uint32_t ms) {
    if (paused)
        return;
    position += double(ms) / 1000.0 * framesPerSecond * std::ldexp(1.0, speedStep);
    wrap();
}

void Playback::stepForward() {
    position = std::floor(position) + 1.0;
    wrap();
}

void Playback::stepBack() {
    position = std::ceil(position) - 1.0;
    wrap();
}

void Playback::faster() {
    speedStep = std::min(speedStep + 1, maxSpeedStep);
}

void Playback::slower() {
    speedStep = std::max(speedStep - 1, -maxSpeedStep);
}

std::string Playback::caption(const std::string& file, const std::string& cameraName) const {
    char text[512];
    std::snprintf(text, sizeof text, "%s | frame %d/%d | %s | outline %u", file.c_str(),
                  int(position), int(frames), cameraName.c_str(), outline);
    std::string out = text;
    if (speedStep > 0)
        out += " | speed x" + std::to_string(1 << speedStep);
    else if (speedStep < 0)
        out += " | speed x1/" + std::to_string(1 << -speedStep);
    if (paused)
        out += " | paused";
    return out;
}

} // namespace tools
