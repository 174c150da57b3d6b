// The data set played by the show itself, offline: the grass must be on screen through
// every camera of the opening and in the ground sweep that follows, and the kroll part's
// trail must read as light shapes moving over dark.

#include "data_files.hpp"
#include "png_reader.hpp"
#include "run_program.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace {

// Frames of the show at the given demo times, read back from a capture; an empty vector
// when the capture fails. The capture runs in a folder of its own, not in the data set,
// whose files another test compares meanwhile.
std::vector<Image> captureAt(const std::string& name, const std::vector<std::string>& times,
                             const std::string& options) {
    const std::string folder = freshFolder(name);
    std::string at;
    for (const std::string& t : times)
        at += (at.empty() ? "" : ",") + t;
    const ProgramResult run = runProgram(folder, KORVID_CAPTURE_TOOL, "",
                                         options + " --data " + dataPath("") + " --png " + folder +
                                             "/shots --at " + at + " --until " + times.back());
    EXPECT_EQ(run.status, 0) << run.err;
    std::vector<Image> frames;
    for (const std::string& t : times)
        frames.push_back(readPng(folder + "/shots/at-" + t + ".png"));
    std::filesystem::remove_all(folder);
    return run.status == 0 ? frames : std::vector<Image>{};
}

int channel(uint32_t pixel, int shift) {
    return int((pixel >> shift) & 255);
}

} // namespace

TEST(DatasetShow, GrassIsOnScreenThroughTheOpeningsCameras) {
    // Cameras 01, 02, 03, 02 narrowed, 02 widened, then the ground sweep.
    const std::vector<std::string> times = {"8", "40", "72", "100", "126", "150", "160"};
    const std::vector<Image> frames = captureAt("dataset-grass", times, "");
    ASSERT_EQ(frames.size(), times.size());
    for (size_t i = 0; i < times.size(); ++i) {
        // The clear colour and the grain are grey; grass is green over blue. Mean colour of
        // the rows from 300 down.
        const Image& frame = frames[i];
        ASSERT_EQ(frame.height, 384) << "T = " << times[i];
        double g = 0, b = 0;
        for (size_t p = size_t(300 * frame.width); p < frame.pixels.size(); ++p) {
            g += channel(frame.pixels[p], 8);
            b += channel(frame.pixels[p], 0);
        }
        const double count = double(frame.pixels.size() - size_t(300 * frame.width));
        EXPECT_GT(g / count, b / count + 8.0) << "T = " << times[i];
        EXPECT_GT(g / count, 30.0) << "T = " << times[i];
    }
}

TEST(DatasetShow, KrollTrailIsLightOverDark) {
    // The part draws kroll over its last picture without clearing it and blends the result
    // into a trail. Whatever the scene leaves uncovered keeps every colour ever drawn there,
    // so the picture must be dark under the shapes (its median brightness low) and the
    // shapes bright against it.
    const std::vector<std::string> times = {"800", "840", "880"};
    const std::vector<Image> frames = captureAt("dataset-kroll", times, "--fps 30");
    ASSERT_EQ(frames.size(), times.size());
    for (size_t i = 0; i < times.size(); ++i) {
        std::vector<int> brightness;
        for (uint32_t p : frames[i].pixels)
            brightness.push_back((channel(p, 16) + channel(p, 8) + channel(p, 0)) / 3);
        ASSERT_EQ(brightness.size(), 512u * 384u) << "T = " << times[i];
        std::sort(brightness.begin(), brightness.end());
        EXPECT_LT(brightness[brightness.size() / 2], 32) << "T = " << times[i];
        EXPECT_GT(brightness[brightness.size() * 97 / 100], 96) << "T = " << times[i];
    }
}
