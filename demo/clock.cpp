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
    // Taken as signed 32-bit values, so a position before 1.025 s gives a negative time.
    const auto block = int32_t(BASS_ChannelSeconds2Bytes(stream, 3.69275f));
    const auto start = int32_t(BASS_ChannelSeconds2Bytes(stream, 1.025f));
    const DWORD position = BASS_ChannelGetPosition(stream);
    if (position != 0xFFFFFFFF) {
        previousTime = demoTime;
        demoTime = demo_time_of(int32_t(position - DWORD(start)), block);
        if (previousTime != unsettled)
            frameDelta = demoTime - previousTime;
    }

    platform::delay(1);
    while (SDL_PollEvent(&event))
        if (event.type == quitEvent)
            demo_exit(0);
    const Uint8* keys = SDL_GetKeyState(nullptr);
    if (keys && keys[escapeKey])
        demo_exit(0);

    demo_check(display_flip());
}

double time_over(int n) {
    return double(demoTime / float(n));
}

double time_phase(int n) {
    const double q = double(demoTime / float(n));
    return q - std::floor(q);
}
