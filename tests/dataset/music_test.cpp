// The soundtrack decodes through the audio stand-in: gaplessly, to the length its LAME
// header gives, long enough for the show and its closing picture, with the first beat on
// the sample where the clock expects it.

#include "data_files.hpp"
#include "sample_levels.hpp"

#include "platform/bass.hpp"
#include "platform/clock.hpp"

#include <gtest/gtest.h>

#include <algorithm>
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
    const HSTREAM stream = BASS_StreamCreateFile(0, dataPath(musicPath).c_str(), 0, 0, 0);
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

// The sample frames an mp3's Xing/Info header with a LAME extension promises: its frame count
// times 1152, less the encoder's delay and padding (two 12-bit fields). 0 without one.
size_t lameLength(const std::vector<uint8_t>& file) {
    for (const char* tag : {"Xing", "Info"}) {
        const auto at = std::search(
            file.begin(), file.begin() + std::min<size_t>(file.size(), 4096), tag, tag + 4);
        if (at == file.begin() + std::min<size_t>(file.size(), 4096))
            continue;
        const size_t i = size_t(at - file.begin());
        const auto word = [&](size_t k) {
            return uint32_t(file[k]) << 24 | uint32_t(file[k + 1]) << 16 |
                   uint32_t(file[k + 2]) << 8 | file[k + 3];
        };
        const uint32_t flags = word(i + 4);
        if (!(flags & 1))
            return 0;
        const uint32_t frames = word(i + 8);
        // Frame count, byte count, seek table, quality; then the LAME extension, whose
        // delay and padding sit 21 bytes in.
        const size_t lame =
            i + 8 + 4 + (flags & 2 ? 4 : 0) + (flags & 4 ? 100 : 0) + (flags & 8 ? 4 : 0);
        if (std::string(file.begin() + long(lame), file.begin() + long(lame) + 4) != "LAME")
            return 0;
        const size_t delay = size_t(file[lame + 21]) << 4 | file[lame + 22] >> 4;
        const size_t padding = size_t(file[lame + 22] & 15) << 8 | file[lame + 23];
        return size_t(frames) * 1152 - delay - padding;
    }
    return 0;
}

} // namespace

TEST(DatasetMusic, DecodesGaplesslyToTheWholeShowWithTheBeatOnTime) {
    const std::vector<int16_t> samples = decodeThroughStandIn();
    // Not a sample of the encoder's delay or padding: exactly the length the header gives.
    const size_t headerLength = lameLength(fileBytes(dataPath(musicPath)));
    ASSERT_GT(headerLength, 0u);
    EXPECT_EQ(samples.size() / 2, headerLength);
    const double seconds = double(samples.size() / 2) / 44100.0;
    // The show ends at unit 2048 (237.4 s) and its closing picture takes six more seconds.
    EXPECT_GE(seconds, 240.0);
    EXPECT_NEAR(seconds, 246.0, 0.05);

    // Demo time 0 falls at 1.025 s: the first downbeat starts within 1 ms (44 samples) of
    // the sample the generator put it on.
    EXPECT_NEAR(double(firstDownbeat(samples)), 1.025 * 44100, 44.0);
}
