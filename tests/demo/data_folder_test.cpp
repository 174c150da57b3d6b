// Where the show's programs look for the data set when they are not told: the working
// folder first, then the one installed with them or their build tree's.

#include "demo/assets.hpp"
#include "demo/data_folder.hpp"
#include "run_program.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// A folder holding a data set as far as the lookup cares: its soundtrack.
void plantDataSet(const fs::path& folder) {
    fs::create_directories((folder / musicPath).parent_path());
    std::ofstream(folder / musicPath) << "mp3";
}

} // namespace

TEST(DataFolder, TheWorkingFolderFirstThenTheOneThatCameWithTheProgram) {
    const fs::path root = fs::path(testFolder("lookup")).lexically_normal();
    const fs::path away = root / "elsewhere";
    fs::create_directories(away);
    const fs::path previous = fs::current_path();
    fs::current_path(away);

    // Installed as <prefix>/bin/<name>: <prefix>/share/korvid.
    const fs::path prefix = root / "usr";
    fs::create_directories(prefix / "bin");
    EXPECT_EQ(find_data_folder((prefix / "bin").string(), "."), "");
    plantDataSet(prefix / "share" / "korvid");
    EXPECT_EQ(find_data_folder((prefix / "bin").string(), "."),
              (prefix / "share" / "korvid").string());

    // In a build tree, its data folder, where the build root holds CMakeCache.txt.
    const fs::path build = root / "build";
    const fs::path tool = build / "tools" / "capture";
    fs::create_directories(tool);
    plantDataSet(build / "data");
    EXPECT_EQ(find_data_folder(tool.string(), "../.."), "");
    std::ofstream(build / "CMakeCache.txt") << "";
    EXPECT_EQ(find_data_folder(tool.string(), "../.."), (build / "data").string());
    EXPECT_EQ(find_data_folder(tool.string(), ".."), "");

    // A working folder with a data set of its own plays it; so does one when the system
    // cannot tell where the program lies.
    plantDataSet(away);
    EXPECT_EQ(find_data_folder((prefix / "bin").string(), "."), "");
    EXPECT_EQ(find_data_folder(tool.string(), "../.."), "");
    fs::remove_all(away / "music");
    EXPECT_EQ(find_data_folder("", "../.."), "");
    EXPECT_EQ(find_data_folder((prefix / "bin").string(), "."),
              (prefix / "share" / "korvid").string());
    // A data set without its soundtrack is still one: the show then tells what it misses.
    fs::create_directories(away / "img");
    std::ofstream(away / waitImage.path) << "png";
    EXPECT_EQ(find_data_folder((prefix / "bin").string(), "."), "");
    fs::current_path(previous);
}
