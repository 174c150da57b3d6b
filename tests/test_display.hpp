#pragma once
// Tests that convert images to the display format need a video mode: a 512x384x32 screen
// on SDL's dummy driver, opened once per test program.

#include <SDL/SDL.h>
#include <gtest/gtest.h>

class DisplayEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        ASSERT_NE(SDL_SetVideoMode(512, 384, 32, 0), nullptr) << SDL_GetError();
    }
    void TearDown() override { SDL_Quit(); }
};

// Registers the environment from a test file: `static const bool display = withDisplay();`
inline bool withDisplay() {
    static bool added = false;
    if (!added)
        ::testing::AddGlobalTestEnvironment(new DisplayEnvironment);
    added = true;
    return true;
}
