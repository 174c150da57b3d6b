// The show's frames at fixed demo times, under the fixed step at 30 frames a second,
// against the hashes kept in golden_frames.csv. A change that alters pixels on purpose
// replaces that file with the lines this test prints, and its commit says why.

#include "show_data.hpp"

#include <gtest/gtest.h>

#include <fstream>

TEST(Show, FramesMatchTheGoldenHashes) {
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

    const ProgramResult r = runProgram(copyOfData("golden"), captureProgram, "",
                                       "--fps 30 --hash --at " + times + " --until " + last);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, expected) << "new contents of " << csv << ":\n" << header << "\n" << r.out;
}
