// The soundtrack decodes through the audio stand-in: long enough for the show and its
// closing picture, beats where the clock expects them, peaks below -1 dBFS, a fade at the end.

#include "data_files.hpp"

#include "platform/bass.hpp"
#include "platform/clock.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

// The whole decoded stream, read through the stand-in: under the fixed step every
// presented frame moves the playing position on by a tenth of a second.
std::vector<int16_t> decodeThroughStandIn() {
    platform::useFixedStep(10);
    platform::setPresentHook([](SDL_Surface*) { return 0; });
    std::vector<int16_t> samples;
    if (!BASS_Init(-1, 44100, 0, nullptr))
        return samples;
    const HSTREAM stream = BASS_StreamCreateFile(0, dataPath("music/tune3.mp3").c_str(), 0, 0, 0);
    if (stream && BASS_StreamPlay(stream, 0, 0)) {
        std::vector<int16_t> chunk(4410 * 2);
        for (;;) {
            const DWORD bytes = BASS_ChannelGetData(stream, chunk.data(), DWORD(chunk.size() * 2));
            if (bytes == 0 || bytes == 0xFFFFFFFF)
                break;
            samples.insert(samples.end(), chunk.begin(), chunk.begin() + bytes / 2);
            platform::present(nullptr);
        }
    }
    BASS_Free();
    return samples;
}

double rms(const std::vector<int16_t>& s, double from, double to) {
    const size_t a = size_t(from * 44100) * 2, b = std::min(s.size(), size_t(to * 44100) * 2);
    double sum = 0.0;
    for (size_t i = a; i < b; ++i)
        sum += double(s[i]) * double(s[i]);
    return std::sqrt(sum / double(std::max<size_t>(1, b - a)));
}

} // namespace

TEST(DatasetMusic, DecodesToTheWholeShowWithHeadroomAndAFade) {
    const std::vector<int16_t> samples = decodeThroughStandIn();
    const double seconds = double(samples.size() / 2) / 44100.0;
    // The show ends at unit 2048 (237.4 s) and its closing picture takes six more seconds.
    EXPECT_GE(seconds, 240.0);
    EXPECT_NEAR(seconds, 246.0, 0.05);

    int peak = 0;
    for (int16_t v : samples)
        peak = std::max(peak, std::abs(int(v)));
    EXPECT_LT(peak, 29205) << "peaks must stay below -1 dBFS";
    EXPECT_GT(peak, 16384) << "and the music must not be timid";

    // Demo time 0 falls at 1.025 s: the first downbeat is a hit well above the lead-in.
    EXPECT_GT(rms(samples, 1.03, 1.2), 3.0 * rms(samples, 0.3, 0.8));
    // Every block of the show has music in it; the last seconds fade away.
    for (int block = 0; block < 32; ++block) {
        const double start = 1.025 + block * 64 * 3.69275 / 32.0;
        EXPECT_GT(rms(samples, start, start + 7.0), 800.0) << "block " << block;
    }
    EXPECT_LT(rms(samples, seconds - 0.5, seconds), 0.05 * rms(samples, 100.0, 110.0));
}
