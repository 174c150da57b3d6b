#include "demo/clock.hpp"

#include "demo/program.hpp"
#include "platform/clock.hpp"

#include <cmath>
#include <cstdio>

float demoTime = -666.0f;
float previousTime = -666.0f;
float frameDelta = 0.0f;

namespace {
constexpr float unsettled = -666.0f;
constexpr Uint8 quitEvent = 12;
constexpr int escapeKey = 27;
constexpr DWORD failedPosition = 0xFFFFFFFF;

// The byte counts of one 32-unit block of music and of the lead-in before demo time 0,
// taken as signed 32-bit values, so a position before 1.025 s gives a negative time.
struct ClockScale {
    int32_t block = int32_t(BASS_ChannelSeconds2Bytes(stream, 3.69275f));
    int32_t start = int32_t(BASS_ChannelSeconds2Bytes(stream, 1.025f));

    float timeAt(DWORD position) const {
        return demo_time_of(int32_t(position - DWORD(start)), block);
    }
};

// Alt+Enter, on either Enter key: the viewer's switch between window and fullscreen.
bool altEnter(const SDL_Event& e) {
    return e.type == SDL_KEYDOWN && (e.key.keysym.mod & KMOD_ALT) &&
           (e.key.keysym.sym == SDLK_RETURN || e.key.keysym.sym == SDLK_KP_ENTER);
}

} // namespace

float demo_time_of(int32_t sinceStart, int32_t block) {
    // One division in extended precision, rounded to float once at the end. Whatever long
    // double is (64 significant bits on x86-64, 113 on WebAssembly), this gives the nearest
    // float to 32 a / b: a quotient of integers below 2^31 that is not exactly halfway
    // between two floats is at least 2^-56 of itself away from that halfway point, far more
    // than the 2^-64 the division may be off, so rounding twice still lands on the float
    // nearest the true quotient.
    return static_cast<float>(static_cast<long double>(sinceStart) / block * 32.0L);
}

void demo_frame() {
    const ClockScale scale;
    const DWORD position = BASS_ChannelGetPosition(stream);
    if (position != failedPosition) {
        previousTime = demoTime;
        demoTime = scale.timeAt(position);
        if (previousTime != unsettled)
            frameDelta = demoTime - previousTime;
    }

    platform::delay(1);
    while (SDL_PollEvent(&event)) {
        if (event.type == quitEvent)
            demo_exit(0);
        if (altEnter(event))
            demo_check(display_toggle_fullscreen());
    }
    const Uint8* keys = SDL_GetKeyState(nullptr);
    if (keys && keys[escapeKey])
        demo_exit(0);

    demo_check(display_flip());
}

uint32_t demo_position_at(float t) {
    const ClockScale scale;
    constexpr DWORD step = 4; // one sample frame of 16-bit stereo
    // Positions are taken as signed 32-bit values: none lies beyond the last one.
    constexpr DWORD last = 0x7FFFFFFC;
    // The estimate is off by a rounding at most: walk to the first position at or after t.
    const long double estimate = scale.start + static_cast<long double>(t) / 32.0L * scale.block;
    DWORD position = estimate <= 0 ? 0 : estimate >= last ? last : DWORD(estimate) / step * step;
    while (position < last && scale.timeAt(position) < t)
        position += step;
    while (position >= step && scale.timeAt(position - step) >= t)
        position -= step;
    return position;
}

void demo_clock_restart() {
    const DWORD position = BASS_ChannelGetPosition(stream);
    if (position == failedPosition)
        return;
    demoTime = previousTime = ClockScale().timeAt(position);
    frameDelta = 0.0f;
}

double time_over(int n) {
    return double(demoTime / float(n));
}

double time_phase(int n) {
    const double q = double(demoTime / float(n));
    return q - std::floor(q);
}
