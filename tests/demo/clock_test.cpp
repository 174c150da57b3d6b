#include "demo/clock.hpp"
#include "demo/program.hpp"
#include "platform/clock.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr int32_t block = 651400; // bytes of 3.69275 s
constexpr int32_t start = 180808; // bytes of 1.025 s

// 32 a / b rounded to the nearest float, ties to even, from integers alone: the float the
// clock must give, whatever the width of long double.
float nearestFloat(int64_t a, int64_t b) {
    if (a == 0)
        return 0.0f;
    // n / d scaled by 2^-shift into [2^24, 2^25): 25 bits, the last one the halfway bit.
    using Wide = unsigned __int128;
    Wide n = Wide(a < 0 ? -a : a) * 32, d = Wide(b);
    int shift = 0;
    while (n < d << 24)
        n <<= 1, --shift;
    while (n >= d << 25)
        d <<= 1, ++shift;
    const uint64_t m = uint64_t(n / d);
    const bool exact = n % d == 0;
    uint64_t q = m >> 1;
    if ((m & 1) && (!exact || (q & 1)))
        ++q;
    const float r = std::ldexp(float(q), shift + 1);
    return a < 0 ? -r : r;
}

float expectedTime(int32_t position) {
    return nearestFloat(position - start, block);
}

// The show's stream of a short mp3, under the fixed step at 60 frames a second.
class MusicClockOnAStream : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO), 0);
        platform::useFixedStep(60);
        platform::setPresentHook([](SDL_Surface*) { return 0; });
        ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr));
        stream = BASS_StreamCreateFile(0, KORVID_TEST_DATA "/audio/mpeg2.mp3", 0, 0, 0);
        ASSERT_NE(stream, 0u);
    }
    void TearDown() override {
        BASS_Free();
        SDL_Quit();
    }
};

} // namespace

// The clock's one extended-precision division gives the nearest float at every position of
// a song of up to 10 minutes (every position near the start, then a sample of them).
TEST(MusicClock, ItsDivisionGivesTheNearestFloat) {
    for (int32_t p = 0; p < 2000000; p += 4)
        ASSERT_EQ(demo_time_of(p - start, block), expectedTime(p)) << p;
    for (int32_t p = 2000000; p < 44100 * 4 * 600; p += 4 * 997)
        ASSERT_EQ(demo_time_of(p - start, block), expectedTime(p)) << p;
}

TEST_F(MusicClockOnAStream, FollowsTheStreamByAFixedStepPerFrame) {

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
}

TEST_F(MusicClockOnAStream, AShowStartedLaterStartsAtTheFirstPositionOfItsTime) {

    // The position of time t reads t or later, the sample frame before it less than t:
    // at part starts, between samples and at the end of the show.
    for (const float t : {0.0f, 0.0001f, 16.0f, 127.99999f, 128.0f, 1000.5f, 2047.9999f, 2048.0f}) {
        const uint32_t position = demo_position_at(t);
        EXPECT_EQ(position % 4, 0u) << t;
        EXPECT_GE(expectedTime(int32_t(position)), t) << t;
        EXPECT_LT(expectedTime(int32_t(position) - 4), t) << t;
    }

    // The music moved there before play: the clock starts on it with no delta, and goes
    // on by a frame's samples per frame.
    const uint32_t position = demo_position_at(300.5f);
    ASSERT_TRUE(BASS_ChannelSetPosition(stream, position));
    ASSERT_TRUE(BASS_Start());
    ASSERT_TRUE(BASS_StreamPlay(stream, 0, 0x20000));
    demo_clock_restart();
    EXPECT_EQ(demoTime, expectedTime(int32_t(position)));
    EXPECT_EQ(previousTime, demoTime);
    EXPECT_EQ(frameDelta, 0.0f);
    demo_frame();
    demo_frame();
    EXPECT_EQ(demoTime, expectedTime(int32_t(position) + 735 * 4));
    EXPECT_EQ(frameDelta, demoTime - expectedTime(int32_t(position)));
}
