#pragma once
// The millisecond wall clock, and the fixed-step clock that replaces it (and the music
// position) when the show runs offline for capture and measurement.
//
// The fixed step is one program-wide switch, off unless useFixedStep turns it on. Where it
// changes behaviour: GetTickCount, present and delay here; BASS_Init, the stream's
// position and its sample data in platform/bass.hpp. The show's own code never asks
// whether it is on: it only sees its clocks move by whole frames.

#include <cstdint>
#include <functional>

struct SDL_Surface;

// Milliseconds since the window system started; under the fixed step the frames presented
// so far times 1000/fps, truncated.
uint32_t GetTickCount();

namespace platform {

// From now on, position and wall clock advance by exactly 1/framesPerSecond per
// presented frame instead of with real time, no sound device is opened and the sample
// data still comes from the decoded file. Call before the show starts; 0 or less turns
// the fixed step off again.
void useFixedStep(int framesPerSecond);
bool fixedStepActive();
int fixedStepRate();
// Frames presented so far (counted in both modes).
uint64_t presentedFrames();

// Presents the screen: through the hook when one is set, else SDL_Flip. Under the
// fixed step each call advances the clock by one frame. Returns what SDL_Flip would
// (negative on failure).
using PresentHook = std::function<int(SDL_Surface* screen)>;
void setPresentHook(PresentHook hook);
int present(SDL_Surface* screen);

// SDL_Delay in real time; under the fixed step nothing, as no real time needs to pass
// (in the browser build, only a turn for the page now and then).
void delay(uint32_t ms);

// Start-up milestones ("loaded", "linked", "effects", "playing"), for the measuring
// tool; the show itself ignores them.
using MilestoneHook = std::function<void(const char* milestone)>;
void setMilestoneHook(MilestoneHook hook);
void milestone(const char* name);

} // namespace platform
