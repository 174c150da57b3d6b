// The show's command line read into its options, and where its programs look for the data
// set when not told.

#include "demo/assets.hpp"
#include "demo/data_folder.hpp"
#include "demo/options.hpp"
#include "run_program.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

namespace fs = std::filesystem;

namespace {

OptionsOutcome parse(std::vector<const char*> words, DemoOptions& options) {
    words.insert(words.begin(), "demo");
    std::string problem;
    return parse_demo_options(int(words.size()), words.data(), options, problem);
}

// A folder holding a data set as far as the lookup cares: its soundtrack.
void plantDataSet(const fs::path& folder) {
    fs::create_directories((folder / musicPath).parent_path());
    std::ofstream(folder / musicPath) << "mp3";
}

} // namespace

TEST(Options, ReadWhatTheViewerAskedFor) {
    DemoOptions none;
    ASSERT_EQ(parse({}, none), OptionsOutcome::run);
    EXPECT_FALSE(none.window);
    EXPECT_EQ(none.zoom, 1);
    EXPECT_FALSE(none.hasFrom);
    EXPECT_TRUE(none.data.empty());
    EXPECT_TRUE(none.vsync);

    DemoOptions all;
    ASSERT_EQ(
        parse({"--window", "--zoom", "4", "--from", "2048", "--data", "some dir", "--no-vsync"},
              all),
        OptionsOutcome::run);
    EXPECT_TRUE(all.window);
    EXPECT_EQ(all.zoom, 4);
    EXPECT_TRUE(all.hasFrom);
    EXPECT_EQ(all.from, 2048.0f);
    EXPECT_EQ(all.data, "some dir");
    EXPECT_FALSE(all.vsync);

    DemoOptions joined;
    ASSERT_EQ(parse({"--zoom=1", "--from=0", "--data=x=y"}, joined), OptionsOutcome::run);
    EXPECT_EQ(joined.zoom, 1);
    EXPECT_TRUE(joined.hasFrom);
    EXPECT_EQ(joined.from, 0.0f);
    EXPECT_EQ(joined.data, "x=y");

    float t = -1.0f;
    EXPECT_TRUE(parse_demo_time("1234.5", t));
    EXPECT_EQ(t, 1234.5f);
    EXPECT_FALSE(parse_demo_time(" 12", t));
    EXPECT_FALSE(parse_demo_time("", t));

    DemoOptions asked;
    EXPECT_EQ(parse({"--zoom", "2", "--help", "--bogus"}, asked), OptionsOutcome::help);
    EXPECT_EQ(parse({"--version"}, asked), OptionsOutcome::version);
}

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
    fs::current_path(previous);
}
