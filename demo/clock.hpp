#pragma once
// The music clock: demo time follows the soundtrack's playing position, 32 units for
// every 3.69275 s of music, counted from 1.025 s into the stream.

#include <cstdint>

extern float demoTime;     // -666.0 until the position is first read
extern float previousTime; // demo time of the tick before, -666.0 before that
extern float frameDelta;   // demoTime - previousTime, 0.0 until two ticks were read

// Demo time `sinceStart` bytes of the stream after its 1.025 s mark, with `block` the bytes
// of 3.69275 s: 32 sinceStart / block, the nearest float.
float demo_time_of(int32_t sinceStart, int32_t block);

// Every frame ends here: read the clock, sleep 1 ms, poll events (quit and Escape end
// the program with status 0) and present the Display.
void demo_frame();

// Demo time / n, and the fraction of it in [0, 1).
double time_over(int n);
double time_phase(int n);
