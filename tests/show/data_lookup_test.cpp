// Where the programs find the data set when they are not told: started from a folder
// without one, the build tree's programs play the build's data set, and an installed
// program (<prefix>/bin/<name>) plays <prefix>/share/korvid.

#include "show_data.hpp"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {
const std::string faults = std::string("LD_PRELOAD=") + SDL_FAULTS_LIBRARY;
const std::string missingMusic =
    "BASS fucked joo: \"Can't play the mp3! It should be at music/tune3.mp3\"\ncode: 2\n";
} // namespace

TEST(DataLookup, FromAnyFolderTheProgramsPlayTheDataSetThatCameWithThem) {
    const std::string empty = freshFolder("lookup-empty");
    // The show quits at its first frame, the wait screen, which it shows only with the data.
    ProgramResult r = runProgram(empty, demoProgram, faults + " KORVID_FAULT=quit");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    r = runProgram(empty, captureProgram, "", "--fps 10 --until 1");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");

    // Installed: the program's own copy in <prefix>/bin, the data set in <prefix>/share.
    const fs::path prefix = freshFolder("lookup-prefix");
    fs::create_directories(prefix / "bin");
    fs::create_directories(prefix / "share");
    const fs::path installed = prefix / "bin" / "korvid-capture";
    fs::copy_file(captureProgram, installed);
    r = runProgram(empty, installed.string(), "", "--fps 10 --until 1");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, missingMusic);
    fs::create_directory_symlink(DATA_FOLDER, prefix / "share" / "korvid");
    r = runProgram(empty, installed.string(), "", "--fps 10 --until 1");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
}
