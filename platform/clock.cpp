#include "platform/clock.hpp"

#include <SDL/SDL.h>

#include <utility>

namespace platform {

namespace {
int stepRate = 0; // frames per second of the fixed step; 0 when real time runs
uint64_t frames = 0;
PresentHook presentHook;
MilestoneHook milestoneHook;
} // namespace

void useFixedStep(int framesPerSecond) {
    stepRate = framesPerSecond > 0 ? framesPerSecond : 0;
}
bool fixedStepActive() {
    return stepRate > 0;
}
int fixedStepRate() {
    return stepRate;
}
uint64_t presentedFrames() {
    return frames;
}

void setPresentHook(PresentHook hook) {
    presentHook = std::move(hook);
}

int present(SDL_Surface* screen) {
    const int result = presentHook ? presentHook(screen) : SDL_Flip(screen);
    if (result >= 0)
        ++frames;
    return result;
}

void delay(uint32_t ms) {
    if (!fixedStepActive())
        SDL_Delay(ms);
#if defined(__EMSCRIPTEN__)
    // A page's program runs only while the browser waits for it: one that never waits would
    // hang the page until it ends. SDL_Delay(0) hands the browser its turn now and then.
    else
        SDL_Delay(0);
#endif
}

void setMilestoneHook(MilestoneHook hook) {
    milestoneHook = std::move(hook);
}

void milestone(const char* name) {
    if (milestoneHook)
        milestoneHook(name);
}

} // namespace platform

uint32_t GetTickCount() {
    if (platform::fixedStepActive())
        return uint32_t(platform::presentedFrames() * 1000 / uint64_t(platform::fixedStepRate()));
    return SDL_GetTicks();
}
