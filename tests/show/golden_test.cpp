// The show's frames at fixed demo times, under the fixed step at 30 frames a second,
// against the hashes kept in golden_frames.csv. A change that alters pixels on purpose
// replaces that file with the lines this test prints, and its commit says why.

#include "show_data.hpp"

#include <gtest/gtest.h>

#include <fstream>

namespace {

// Runs demo-capture for the golden demo times with `environment` and compares the hashes.
void expectGoldenFrames(const std::string& environment) {
    const std::string csv = std::string(KORVID_SOURCE_DIR) + "/tests/show/golden_frames.csv";
    std::ifstream in(csv);
    std::string header, line, expected, times, last;
    ASSERT_TRUE(std::getline(in, header)) << csv;
    while (std::getline(in, line)) {
        expected += line + "\n";
        last = line.substr(0, line.find(','));
        times += (times.empty() ? "" : ",") + last;
    }
    ASSERT_FALSE(times.empty());

    const ProgramResult r = runProgram(copyOfData("golden"), captureProgram, environment,
                                       "--fps 30 --hash --at " + times + " --until " + last);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, expected) << "new contents of " << csv << ":\n" << header << "\n" << r.out;
}

} // namespace

TEST(Show, FramesMatchTheGoldenHashes) {
    expectGoldenFrames("");
}

// With every maths function of the C library giving a different result (its neighbour),
// as another library, version or processor might, not one pixel changes: the show's maths
// are its own, and what lib3ds computes with the C library's is computed again.
TEST(Show, FramesHoldUnderAnotherCLibrarysMaths) {
    expectGoldenFrames("LD_PRELOAD=" NUDGED_MATHS " ASAN_OPTIONS=verify_asan_link_order=0");
}
