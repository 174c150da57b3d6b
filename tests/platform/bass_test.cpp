#include "platform/bass.hpp"
#include "platform/clock.hpp"
#include "platform/decoded_stream.hpp"
#include "platform/device_clock.hpp"

#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <vector>

namespace {

const char* const mp3 = KORVID_TEST_DATA "/audio/mpeg2.mp3";
// 1654272 mono samples at 22050 Hz become twice as many stereo frames at 44100 Hz.
constexpr DWORD decodedBytes = 1654272u * 2u * 4u;

class Audio : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError(); }
    void TearDown() override {
        BASS_Free();
        SDL_Quit();
    }
};

std::vector<int16_t> dataAtPosition(HSTREAM s, DWORD length) {
    std::vector<int16_t> samples(length / 2 + 2, 0x7777);
    const DWORD n = BASS_ChannelGetData(s, samples.data(), length);
    samples.resize(n == 0xFFFFFFFF ? 0 : n / 2);
    return samples;
}

} // namespace

TEST_F(Audio, CallsBeforeInitialisationFail) {
    BASS_Free(); // harmless with nothing initialised
    EXPECT_EQ(BASS_GetVersion(), 0x80001u);
    EXPECT_EQ(BASS_StreamCreateFile(0, mp3, 0, 0, 0), 0u);
    EXPECT_NE(BASS_ErrorGetCode(), 0u);
    EXPECT_FALSE(BASS_Start());
    EXPECT_NE(BASS_ErrorGetCode(), 0u);
    EXPECT_FALSE(BASS_StreamPlay(1, 0, 0x20000));
    EXPECT_EQ(BASS_ChannelGetPosition(1), 0xFFFFFFFFu);
    EXPECT_EQ(BASS_ChannelSeconds2Bytes(1, 1.0f), 0xFFFFFFFFu);
}

TEST_F(Audio, DecodesToStereoAt44100) {
    ASSERT_TRUE(BASS_Init(-2, 44100, 0, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), 0u);
    const HSTREAM s = BASS_StreamCreateFile(0, mp3, 0, 0, 0);
    ASSERT_NE(s, 0u);
    EXPECT_EQ(BASS_StreamGetLength(s), decodedBytes);

    // Before play the position is 0 and the data are the stream's first bytes; the mono
    // source comes out on both channels.
    EXPECT_EQ(BASS_ChannelGetPosition(s), 0u);
    const std::vector<int16_t> first = dataAtPosition(s, 1024);
    ASSERT_EQ(first.size(), 512u);
    for (size_t i = 0; i < first.size(); i += 2)
        ASSERT_EQ(first[i], first[i + 1]);
    const std::vector<int16_t> later = dataAtPosition(s, 1u << 20);
    ASSERT_EQ(later.size(), size_t(1) << 19);
    for (size_t i = 0; i < later.size(); i += 2)
        ASSERT_EQ(later[i], later[i + 1]);
    EXPECT_TRUE(std::any_of(later.begin(), later.end(), [](int16_t v) { return v != 0; }));

    // Whole sample frames: the clock's two constants.
    EXPECT_EQ(BASS_ChannelSeconds2Bytes(s, 3.69275f), 651400u);
    EXPECT_EQ(BASS_ChannelSeconds2Bytes(s, 1.025f), 180808u);
    for (float seconds : {0.0f, 0.1f, 0.3333f, 12.345f})
        EXPECT_EQ(BASS_ChannelSeconds2Bytes(s, seconds) % 4, 0u);
}

// The decoder is libmpg123's plain C one, whatever the processor: its samples, hashed, are
// pinned. (The processor's own synthesis, AVX or SSE, rounds differently and fails this.)
TEST(DecodedStream, GivesTheSamplesOfThePlainDecoderOnEveryProcessor) {
    DecodedStream stream;
    ASSERT_EQ(stream.open(mp3), 0u);
    const size_t length = stream.length();
    ASSERT_EQ(length, decodedBytes);
    std::vector<uint8_t> bytes(length);
    ASSERT_EQ(stream.copy(0, bytes.data(), length), length);
    uint64_t hash = 0xCBF29CE484222325u; // 64-bit FNV-1a
    for (uint8_t b : bytes)
        hash = (hash ^ b) * 0x100000001B3u;
    EXPECT_EQ(hash, 0x1225F7D0A9D0EB85u);
}

TEST_F(Audio, MissingOrUndecodableFilesGiveNoStream) {
    ASSERT_TRUE(BASS_Init(-2, 44100, 0, nullptr));
    EXPECT_EQ(BASS_StreamCreateFile(0, "music/none.mp3", 0, 0, 0), 0u);
    EXPECT_NE(BASS_ErrorGetCode(), 0u);
    const std::string junk = ::testing::TempDir() + "junk.mp3";
    std::ofstream(junk) << std::string(5000, 'x');
    EXPECT_EQ(BASS_StreamCreateFile(0, junk.c_str(), 0, 0, 0), 0u);
    EXPECT_NE(BASS_ErrorGetCode(), 0u);
    EXPECT_EQ(BASS_StreamCreateFile(0, KORVID_TEST_DATA "/images/sample.png", 0, 0, 0), 0u);
    EXPECT_NE(BASS_ErrorGetCode(), 0u);
}

TEST_F(Audio, SilentDeviceFollowsTheWallClock) {
    ASSERT_TRUE(BASS_Init(-2, 44100, 0, nullptr));
    EXPECT_FALSE(BASS_Init(-2, 44100, 0, nullptr)); // once only
    const HSTREAM s = BASS_StreamCreateFile(0, mp3, 0, 0, 0);
    ASSERT_TRUE(BASS_Start());
    SDL_Delay(50);
    EXPECT_EQ(BASS_ChannelGetPosition(s), 0u); // nothing plays before StreamPlay
    const Uint32 before = SDL_GetTicks();
    ASSERT_TRUE(BASS_StreamPlay(s, 0, 0x20000));
    SDL_Delay(300);
    const DWORD position = BASS_ChannelGetPosition(s);
    const Uint32 elapsed = SDL_GetTicks() - before;
    EXPECT_EQ(position % 4, 0u);
    EXPECT_GE(position, 290u * 176);
    EXPECT_LE(position, (elapsed + 1) * 177u);
}

TEST(DeviceClock, FollowsTheDeviceBetweenCallbacksNeverBackNorPastWhatItWasGiven) {
    // A device taking buffers of 1024 sample frames, one every 1024 / 44100 s from t0: at
    // any moment the sample heard is the time since t0 times the rate, whole frames.
    constexpr uint32_t buffer = 4096;
    constexpr int64_t t0 = 5000000000;
    const auto callbackAt = [](int k) { return t0 + int64_t(k * 1024 * 1e9 / 44100); };
    const auto expected = [](int64_t t) { return uint64_t(double(t - t0) * 44100e-9) * 4; };
    DeviceClock clock;
    clock.reset();
    EXPECT_EQ(clock.heard(t0 + 100000000), 0u); // nothing given yet
    int k = 0;
    const auto callbacks = [&](int until) {
        for (; k < until; ++k)
            clock.handedOver(callbackAt(k), uint64_t(k + 1) * buffer, buffer);
    };
    callbacks(20);
    for (int64_t t = callbackAt(19) + 50000; t < callbackAt(20); t += 2500000)
        ASSERT_EQ(clock.heard(t), expected(t)) << t - t0;

    // Two buffers at once (as when SDL fills a larger buffer of its own), one early: the
    // position stays on the device's line.
    clock.handedOver(callbackAt(20), 21u * buffer, buffer);
    clock.handedOver(callbackAt(20), 22u * buffer, buffer);
    EXPECT_EQ(clock.heard(callbackAt(20) + 5000000), expected(callbackAt(20) + 5000000));
    clock.handedOver(callbackAt(22) - 9000000, 23u * buffer, buffer);
    EXPECT_EQ(clock.heard(callbackAt(22) - 1000000), expected(callbackAt(22) - 1000000));
    // A callback 15 ms late: the position waits for it without going back, and is on the
    // line again once the late one is 16 callbacks old.
    const uint64_t before = clock.heard(callbackAt(23) + 14000000);
    clock.handedOver(callbackAt(23) + 15000000, 24u * buffer, buffer);
    EXPECT_EQ(clock.heard(callbackAt(23) + 15000000), before);
    k = 24;
    callbacks(40);
    const int64_t later = callbackAt(39) + 10000000;
    EXPECT_EQ(clock.heard(later), expected(later));

    // The device stops calling back (or the stream ends): the position stops at what it
    // was given, and callbacks that give nothing more never take it back.
    EXPECT_EQ(clock.heard(callbackAt(50)), 40u * buffer);
    for (int j = 50; j < 70; ++j) {
        clock.handedOver(callbackAt(j), 40u * buffer, buffer);
        ASSERT_EQ(clock.heard(callbackAt(j) + 1000000), 40u * buffer);
    }
}

TEST_F(Audio, FixedStepAdvancesPerPresentedFrameAndStopsAtTheEnd) {
    platform::useFixedStep(50);
    platform::setPresentHook([](SDL_Surface*) { return 0; });
    ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr)); // opens no device under the fixed step
    const HSTREAM s = BASS_StreamCreateFile(0, mp3, 0, 0, 0);
    ASSERT_TRUE(BASS_Start());
    platform::present(nullptr);
    EXPECT_EQ(BASS_ChannelGetPosition(s), 0u);
    const uint32_t ticks = GetTickCount();
    ASSERT_TRUE(BASS_StreamPlay(s, 0, 0x20000));
    for (DWORD frame = 1; frame <= 10; ++frame) {
        platform::present(nullptr);
        ASSERT_EQ(BASS_ChannelGetPosition(s), frame * 882u * 4u);
    }
    EXPECT_EQ(GetTickCount() - ticks, 200u);

    // Run to the end: the position stops there and the data thin out, never past it.
    const uint64_t start = platform::presentedFrames() - 10;
    const DWORD frames = decodedBytes / (882u * 4u);
    while (platform::presentedFrames() - start < frames)
        platform::present(nullptr);
    EXPECT_EQ(BASS_ChannelGetPosition(s), frames * 882u * 4u);
    const DWORD left = decodedBytes - frames * 882u * 4u;
    EXPECT_EQ(dataAtPosition(s, 1u << 16).size(), left / 2);
    platform::present(nullptr);
    EXPECT_EQ(BASS_ChannelGetPosition(s), decodedBytes);
    EXPECT_TRUE(dataAtPosition(s, 1024).empty());
    platform::setPresentHook(nullptr);
}
