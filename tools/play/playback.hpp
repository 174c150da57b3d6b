#pragma once
// The player's state between frames: where the animation is, how fast it runs, which
// camera and outline mode are in use, and what the window's caption says about it.

#include <cstdint>
#include <string>

namespace tools {

class Playback {
public:
    // `frames` is the scene's frame count (at least 1), `cameras` how many views there are.
    Playback(float frames, int cameras, int camera, uint32_t outline);

    // Moves the animation on by `ms` of wall-clock time at 30 frames a second, times the
    // speed; nothing while paused.
    void advance(uint32_t ms);
    void togglePause() { paused = !paused; }
    // To the next whole frame forward or back (from a frame between two whole ones, the
    // nearer one in that direction), looping over the frame range.
    void stepForward();
    void stepBack();
    // Doubles or halves the speed, from 1/8 to 8.
    void faster();
    void slower();
    void nextCamera() { camera = (camera + 1) % cameras; }
    void nextOutline() { outline = (outline + 1) % 3; }

    float frame() const { return float(position); }
    int cameraIndex() const { return camera; }
    uint32_t outlineMode() const { return outline; }

    // "FILE | frame N/FRAMES | CAMERA | outline M", then " | speed x2" when not at normal
    // speed and " | paused" when paused.
    std::string caption(const std::string& file, const std::string& cameraName) const;

private:
    void wrap();

    double frames;
    double position = 0.0; // in frames, within [0, frames)
    int speedStep = 0;     // the speed is 2^speedStep
    bool paused = false;
    int cameras, camera;
    uint32_t outline;
};

} // namespace tools
