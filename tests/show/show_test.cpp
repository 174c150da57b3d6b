// The show's timing under the fixed-step clock: the parts follow their table, and the first
// camera cut falls on its beat.

#include "coarse_picture.hpp"
#include "demo/timeline.hpp"
#include "png_reader.hpp"
#include "show_data.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <vector>

namespace {

struct FrameSet {
    int status = -1;
    std::vector<Image> frames;
};

FrameSet capture(const std::string& name, const std::string& times, int fps,
                 const std::string& until = "") {
    const std::string data = copyOfData(name);
    const ProgramResult r = runProgram(data, captureProgram, "",
                                       "--fps " + std::to_string(fps) + " --png shots --at " +
                                           times + (until.empty() ? "" : " --until " + until));
    FrameSet set;
    set.status = r.status;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "");
    std::stringstream list(times);
    std::string t;
    while (std::getline(list, t, ','))
        set.frames.push_back(readPng(data + "/shots/at-" + t + ".png"));
    return set;
}

} // namespace

TEST(Show, PartsFollowTheTable) {
    // The loops run while show_part_running holds: each part from its first demo time to
    // the last float below its end.
    const float starts[] = {0, 128, 192, 384, 640, 768, 896, 1280, 1536, 1664, 1920, 2048};
    EXPECT_EQ(show_part_at(-8.0f), 0);
    for (int part = 1; part <= 12; ++part) {
        const float start = starts[part - 1];
        EXPECT_EQ(show_part_at(std::nextafter(start, -1.0f)), part - 1) << start;
        EXPECT_EQ(show_part_at(start), part) << start;
    }
}

TEST(Show, TheFirstCameraCutFallsOnTheSecond16UnitBeat) {
    // At 60 frames per second a frame is 0.14 units: the boots move a little from frame to
    // frame (the grain averages out over blocks), while the cut at 32 changes the view.
    const FrameSet set = capture("cut", "31.4,31.7,31.9,32", 60, "32");
    ASSERT_EQ(set.status, 0);
    const double before = coarseDifference(set.frames[0], set.frames[1]);
    const double across = coarseDifference(set.frames[2], set.frames[3]);
    EXPECT_GT(across, 4.0 * before) << before << " " << across;
}

TEST(Show, DemoTimeMovesOnSmoothlyWithARealSoundDevice) {
    // The show in real time for 3 s of its first part, its sound taken at the real rate by
    // SDL's disk driver. Read only when the device takes a buffer (43 times a second),
    // demo time would move on at a fifth of 200 presents a second. A quiet machine keeps
    // it within 3 ms of the wall clock; the bounds leave room for a busy one, where the
    // driver itself falls behind and stalls now and then.
    const ProgramResult r =
        runProgram(copyOfData("clock"), clockProgram,
                   "SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null", "--seconds 3");
    ASSERT_EQ(r.status, 0) << r.err;
    double share = 0, p99 = 0, median = -1, drift = 0;
    std::stringstream lines(r.out);
    for (std::string line; std::getline(lines, line);) {
        std::sscanf(line.c_str(), "new demo time %lf%%", &share);
        std::sscanf(line.c_str(), "jitter %lf ms (99th percentile), %lf ms median", &p99, &median);
        std::sscanf(line.c_str(), "drift %lf ms", &drift);
    }
    EXPECT_GT(share, 80.0) << r.out;
    EXPECT_GE(median, 0.0) << r.out;
    EXPECT_LT(median, 12.0) << r.out;
    EXPECT_LT(std::fabs(drift), 15000.0) << r.out;
}
