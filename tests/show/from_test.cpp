// A show started part-way with --from: the music starts at that demo time, the show joins
// the part that holds it, and what builds up from frame to frame is as a run from the start
// would have it by then.

#include "coarse_picture.hpp"
#include "demo/assets.hpp"
#include "platform/decoded_stream.hpp"
#include "show_data.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <map>

namespace {

// The music clock: the demo time of a byte position of the decoded soundtrack.
float demoTimeAt(int64_t position) {
    return float(static_cast<long double>(position - 180808) / 651400 * 32.0L);
}

// The demo time of the first frame at or after t that a capture at `fps` frames a second
// draws from the start of the music: its frames lie 44100 / fps sample frames apart.
float frameTimeAtOrAfter(float t, int fps) {
    const int64_t step = 44100 / fps * 4;
    int64_t position = 0;
    while (demoTimeAt(position) < t)
        position += step;
    return demoTimeAt(position);
}

std::string timeText(float t) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", double(t));
    return text;
}

// The frames at demo times `times` (each as the first frame at or after it) of a capture
// at 15 frames a second, started at `from` when given.
std::map<std::string, Image> frames(const std::string& name, const std::vector<std::string>& times,
                                    const std::string& from = "") {
    std::string list;
    for (const std::string& t : times)
        list += (list.empty() ? "" : ",") + t;
    const std::string data = copyOfData(name);
    const ProgramResult r = runProgram(data, captureProgram, "",
                                       "--fps 15 --png shots --at " + list + " --until " +
                                           times.back() + (from.empty() ? "" : " --from " + from));
    EXPECT_EQ(r.status, 0) << r.err;
    std::map<std::string, Image> out;
    for (const std::string& t : times)
        out[t] = readPng(data + "/shots/at-" + t + ".png");
    return out;
}

} // namespace

TEST(From, TheMusicStartsAtThatDemoTime) {
    // The show itself, its sound taken at the real rate by SDL's disk driver into a file:
    // the bytes played must be the soundtrack's from the position of demo time 2040 on.
    // Started there, the show plays the last 8 units of part 11 and the closing image, and
    // ends by itself within seconds.
    const std::string folder = freshFolder("from-music");
    const std::string sound = folder + "/sound.raw";
    const ProgramResult r =
        runProgram(folder, demoProgram, "SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=" + sound,
                   std::string("--data ") + DATA_FOLDER + " --from 2040");
    ASSERT_EQ(r.status, 0) << r.err;

    DecodedStream music;
    ASSERT_EQ(music.open(DATA_FOLDER "/music/tune3.mp3"), 0u);
    std::vector<uint8_t> decoded(music.length());
    ASSERT_EQ(music.copy(0, decoded.data(), decoded.size()), decoded.size());
    const std::string played = readFile(sound);

    // Silence while the show loads, then the music: find where a stretch of it lies in the
    // soundtrack, then follow both back to where the music began.
    size_t first = 0;
    while (first + 4 <= played.size() && !std::memcmp(played.data() + first, "\0\0\0\0", 4))
        first += 4;
    const size_t probe = first + 44100 * 4, length = 4096;
    ASSERT_LE(probe + length, played.size());
    size_t found = SIZE_MAX;
    for (size_t at = 0; at + length <= decoded.size(); at += 4)
        if (!std::memcmp(decoded.data() + at, played.data() + probe, length)) {
            ASSERT_EQ(found, SIZE_MAX) << "the stretch is in the soundtrack twice";
            found = at;
        }
    ASSERT_NE(found, SIZE_MAX) << "what was played is not the soundtrack";
    size_t x = probe, y = found;
    while (x >= 4 && y >= 4 && !std::memcmp(played.data() + x - 4, decoded.data() + y - 4, 4))
        x -= 4, y -= 4;
    // Silence before, then the soundtrack without a break to the end of what was played.
    EXPECT_GE(first, x) << "something other than the music was played";
    ASSERT_LE(y + played.size() - x, decoded.size());
    EXPECT_EQ(std::memcmp(played.data() + x, decoded.data() + y, played.size() - x), 0);
    // The start found may lie a few samples early where the soundtrack is silent at that
    // moment; never late.
    EXPECT_GE(demoTimeAt(int64_t(y)), 2040.0f - 0.002f) << y;
    EXPECT_LT(demoTimeAt(int64_t(y) - 4), 2040.0f) << y;
}

TEST(From, AJoinedEndImageDrawsTheGoldenFrames) {
    // The end image depends on demo time alone: started on a frame of the golden run's
    // 30 frames a second, a capture must draw exactly its frames.
    std::ifstream csv(KORVID_SOURCE_DIR "/tests/show/golden_frames.csv");
    std::map<std::string, std::string> golden;
    for (std::string line; std::getline(csv, line);)
        golden[line.substr(0, line.find(','))] = line + "\n";
    ASSERT_TRUE(golden.count("1930") && golden.count("1990"));

    const std::string from = timeText(frameTimeAtOrAfter(1925.0f, 30));
    const ProgramResult r =
        runProgram(copyOfData("from-golden"), captureProgram, "",
                   "--fps 30 --from " + from + " --hash --at 1930,1990 --until 1990");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, golden["1930"] + golden["1990"]);
}

TEST(From, AJoinedPartLooksAsInARunFromTheStart) {
    // One moment in each part with something that builds up: the camera cuts and drift of
    // the boots, the logo gone below the ground, the dissolving plasma, the second credit
    // grid faded in, the tunnel's travel, the motion trail, the greetings' scroll, the
    // twisters' sway, the red boxes' title. Joined there, the first frame must be close to
    // that of a run from the start at the same frame rate: they differ by the grain and by
    // a frame's worth of motion, at most 3.1 at these moments, where a part that joined
    // without setting what built up differs by 3.3 to 42. The trail is the exception: a
    // joined show starts it from the picture of that moment (9.7), not from black (21.8).
    const std::pair<float, double> moments[] = {{100, 4.5},  {180, 4.5},  {330, 1.5},
                                                {520, 4.5},  {700, 4.5},  {800, 15.0},
                                                {1100, 4.5}, {1500, 4.5}, {1870, 4.5}};
    std::vector<std::string> times;
    for (const auto& [t, limit] : moments)
        times.push_back(timeText(frameTimeAtOrAfter(t, 15)));
    const std::map<std::string, Image> full = frames("from-full", times);
    for (size_t i = 0; i < times.size(); ++i) {
        const std::string& t = times[i];
        const Image joined = frames("from-" + std::to_string(i), {t}, t).at(t);
        EXPECT_LT(coarseDifference(joined, full.at(t)), moments[i].second) << "at " << t;
    }
}
