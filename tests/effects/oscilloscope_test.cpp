#include "demo/effects/oscilloscope.hpp"
#include "effects_test_support.hpp"
#include "platform/clock.hpp"

#include <cmath>

using namespace effects_test;
using korvid::Surface;

namespace {

// The row of a sample on a surface of `height` rows: its share of height - 2 rows, rounded
// down, below the middle row.
int32_t rowOf(int16_t sample, int32_t height) {
    return int32_t(std::floor(sample * double(height - 2) / 65536.0)) + height / 2;
}

class Oscilloscope : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(BASS_Init(-2, 44100, 0, nullptr));
        stream = BASS_StreamCreateFile(0, KORVID_TEST_DATA "/audio/mpeg2.mp3", 0, 0, 0);
        ASSERT_NE(stream, 0u);
    }
    void TearDown() override {
        BASS_Free();
        platform::useFixedStep(0);
        platform::setPresentHook(nullptr);
    }
    HSTREAM stream = 0;
};

} // namespace

TEST_F(Oscilloscope, DrawsTheSamplesAtThePlayingPosition) {
    Surface frame;
    makeSurface(frame, 512, 384, 11);
    std::vector<uint32_t> expected = readPixels(frame);

    // Not playing: the position is 0, where the file opens with silence, so every dot lies
    // on the middle row.
    oscilloscope(&frame, stream, 0xFF808080, 0xFF808080);
    for (int32_t x = 0; x < 512; ++x)
        expected[size_t(192 * 512 + x)] = 0xFF808080;
    EXPECT_EQ(readPixels(frame), expected);
    EXPECT_FALSE(frame.locked);

    // Ten seconds in on the fixed-step clock (one second per presented frame), once the
    // whole file is decoded.
    const DWORD length = BASS_StreamGetLength(stream);
    ASSERT_GT(length, 20u * 44100 * 4);
    platform::useFixedStep(1);
    platform::setPresentHook([](SDL_Surface*) { return 0; });
    ASSERT_TRUE(BASS_StreamPlay(stream, 0, 0x20000));
    for (int i = 0; i < 10; ++i)
        platform::present(nullptr);
    int16_t samples[512];
    ASSERT_EQ(BASS_ChannelGetData(stream, samples, sizeof samples), 1024u);
    int32_t loud = 0;
    for (int16_t s : samples)
        loud += s < -2000 || s > 2000;
    ASSERT_GT(loud, 20) << "ten seconds into the test file there is sound";

    // 1024 bytes over 512 columns: each stereo frame fills two columns, left dot first.
    makeSurface(frame, 512, 384, 12);
    expected = readPixels(frame);
    for (int32_t x = 0; x < 512; ++x) {
        expected[size_t(rowOf(samples[x & ~1], 384) * 512 + x)] = 0xFF808080;
        expected[size_t(rowOf(samples[(x & ~1) + 1], 384) * 512 + x)] = 0xFF102030;
    }
    oscilloscope(&frame, stream, 0xFF808080, 0xFF102030);
    EXPECT_EQ(readPixels(frame), expected);

    // Dots stay within rows 1 .. h - 2 even at full scale.
    const int16_t extremes[4] = {-32768, 32767, 32767, -32768};
    Surface strip;
    ASSERT_EQ(strip.create(4, 384, korvid::storage32, false), korvid::errNone);
    strip.fill(uint32_t(0));
    uint32_t* pixels = nullptr;
    int32_t pitch = 0;
    ASSERT_EQ(strip.lock(pixels, pitch), korvid::errNone);
    oscilloscope_dots(pixels, pitch, 4, 384, extremes, 8, 1, 2);
    strip.unlock();
    const std::vector<uint32_t> dots = readPixels(strip);
    EXPECT_EQ(dots[1 * 4 + 0], 1u);
    EXPECT_EQ(dots[382 * 4 + 0], 2u);
    EXPECT_EQ(dots[382 * 4 + 2], 1u);
    EXPECT_EQ(dots[1 * 4 + 2], 2u);
}

TEST_F(Oscilloscope, ReadsOnlyWhatTheCallReturned) {
    Surface frame;
    makeSurface(frame, 64, 40, 12);
    const std::vector<uint32_t> before = readPixels(frame);

    // A failed read (no such stream) and a locked surface draw nothing.
    oscilloscope(&frame, 0xFFFFFFFF, 1, 2);
    uint32_t* pixels = nullptr;
    int32_t pitch = 0;
    ASSERT_EQ(frame.lock(pixels, pitch), korvid::errNone);
    oscilloscope(&frame, stream, 1, 2);
    frame.unlock();
    EXPECT_EQ(readPixels(frame), before);

    // Short counts: samples past the count are poisoned, so reading one would show. Only
    // whole stereo frames are used; 6 bytes are one frame, 3 bytes none.
    int16_t samples[512];
    for (int16_t& s : samples)
        s = 32767;
    samples[0] = -16384;
    samples[1] = 16384;
    samples[2] = 8192;
    // One frame over 64 columns: every column shows it, left at row -10 + 20, right at
    // 9 + 20.
    std::vector<uint32_t> expected = before;
    for (int32_t x = 0; x < 64; ++x)
        expected[size_t(10 * 64 + x)] = 1, expected[size_t(29 * 64 + x)] = 2;
    ASSERT_EQ(frame.lock(pixels, pitch), korvid::errNone);
    oscilloscope_dots(pixels, pitch, 64, 40, samples, 6, 1, 2);
    frame.unlock();
    EXPECT_EQ(readPixels(frame), expected);

    ASSERT_EQ(frame.lock(pixels, pitch), korvid::errNone);
    oscilloscope_dots(pixels, pitch, 64, 40, samples, 3, 5, 6);
    oscilloscope_dots(pixels, pitch, 64, 40, samples, 0, 5, 6);
    frame.unlock();
    EXPECT_EQ(readPixels(frame), expected);
}
