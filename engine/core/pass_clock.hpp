#pragma once
// Where a frame's time goes: a stopwatch per kind of pass, read with the steady clock around
// each pass and summed until a tool collects the figures. It is off unless a tool turns it
// on (demo-capture --bench); off, a timed scope costs one test of a flag.

#include <array>
#include <chrono>
#include <cstddef>

namespace korvid {

enum class Pass : int {
    scene,     // keyframe evaluation, world matrices and the camera of a render
    transform, // pass 1: vertices, projection, face orientation and culling, edge collection
    lighting,  // pass 2
    raster,    // the depth buffer's clear and the faces through their materials
    edges,     // the outline lines
    twoD,      // surface draws and fills, pixel blends and the 2D effects
    count
};

struct PassClock {
    using Clock = std::chrono::steady_clock;

    bool enabled = false;
    std::array<double, size_t(Pass::count)> ms{}; // summed since the last reset
    int open = 0; // scopes open: a nested one counts toward the outermost only

    void reset() { ms.fill(0.0); }
};

// The program's one clock.
extern PassClock passClock;

// Times its own scope as `pass`. switchTo ends the time of the current pass and goes on
// timing another, so that one scope can split a walk over mixed items.
class PassTimer {
public:
    explicit PassTimer(Pass pass)
        : pass(pass), counted(passClock.enabled), timing(counted && passClock.open++ == 0) {
        if (timing)
            start = PassClock::Clock::now();
    }
    PassTimer(const PassTimer&) = delete;
    PassTimer& operator=(const PassTimer&) = delete;

    ~PassTimer() {
        if (!counted)
            return;
        --passClock.open;
        if (timing)
            add(PassClock::Clock::now());
    }

    void switchTo(Pass next) {
        if (!timing || next == pass)
            return;
        const PassClock::Clock::time_point now = PassClock::Clock::now();
        add(now);
        start = now;
        pass = next;
    }

private:
    void add(PassClock::Clock::time_point end) {
        passClock.ms[size_t(pass)] +=
            std::chrono::duration<double, std::milli>(end - start).count();
    }

    Pass pass;
    bool counted; // the clock was on when the scope opened
    bool timing;  // the outermost open scope: its time is added
    PassClock::Clock::time_point start;
};

} // namespace korvid
