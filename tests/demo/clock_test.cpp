#include "demo/clock.hpp"
#include "demo/program.hpp"
#include "platform/clock.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr int32_t block = 651400; // bytes of 3.69275 s
constexpr int32_t start = 180808; // bytes of 1.025 s

// The clock's formula: one extended-precision quotient, rounded once to float.
float expectedTime(int32_t position) {
    return float(static_cast<long double>(position - start) / block * 32.0L);
}

} // namespace

TEST(MusicClock, FollowsTheStreamByAFixedStepPerFrame) {
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO), 0);
    platform::useFixedStep(60);
    platform::setPresentHook([](SDL_Surface*) { return 0; });
    ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr));
    stream = BASS_StreamCreateFile(0, KORVID_TEST_DATA "/audio/mpeg2.mp3", 0, 0, 0);
    ASSERT_NE(stream, 0u);

    // Before play the position is 0: demo time is negative and keeps its fraction; the
    // first valid tick gives no delta.
    EXPECT_EQ(demoTime, -666.0f);
    demo_frame();
    EXPECT_EQ(demoTime, expectedTime(0));
    EXPECT_NEAR(demoTime, -8.8822f, 1e-3f);
    EXPECT_EQ(frameDelta, 0.0f);

    ASSERT_TRUE(BASS_Start());
    ASSERT_TRUE(BASS_StreamPlay(stream, 0, 0x20000));
    float before = demoTime;
    for (int frame = 0; frame < 600; ++frame) {
        demo_frame();
        // Each tick reads the position of the frames presented since play: 735 samples each.
        const float t = expectedTime(frame * 735 * 4);
        ASSERT_EQ(demoTime, t) << frame;
        ASSERT_EQ(previousTime, before);
        ASSERT_EQ(frameDelta, t - before);
        before = t;
    }
    EXPECT_GT(demoTime, 0.0f);
    EXPECT_EQ(time_over(16), double(demoTime / 16.0f));
    const double phase = time_phase(16);
    EXPECT_GE(phase, 0.0);
    EXPECT_LT(phase, 1.0);
    EXPECT_EQ(phase, double(demoTime / 16.0f) - std::floor(double(demoTime / 16.0f)));

    // A failed position read freezes the clock.
    const HSTREAM music = stream;
    stream = 0;
    const float frozen = demoTime, delta = frameDelta;
    demo_frame();
    EXPECT_EQ(demoTime, frozen);
    EXPECT_EQ(frameDelta, delta);
    stream = music;
    BASS_Free();
    SDL_Quit();
}
