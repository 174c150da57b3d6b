#pragma once
// The millisecond wall clock, and the fixed-step clock that replaces it (and the music
// position) when the show runs offline for capture and measurement.

#include <cstdint>
#include <functional>

struct SDL_Surface;

// Milliseconds since the window system started, or the fixed-step clock when it is on.
uint32_t GetTickCount();

namespace platform {

// From now on, position and wall clock advance by exactly 1/framesPerSecond per
// presented frame instead of with real time, no sound device is opened and the sample
// data still comes from the decoded file. Call before the show starts.
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

// SDL_Delay in real time; under the fixed step nothing, as no real time needs to pass.
void delay(uint32_t ms);

// Start-up milestones ("loaded", "linked", "effects", "playing"), for the measuring
// tool; the show itself ignores them.
using MilestoneHook = std::function<void(const char* milestone)>;
void setMilestoneHook(MilestoneHook hook);
void milestone(const char* name);

} // namespace platform
