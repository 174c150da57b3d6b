// The generator makes the same bytes every time: a second run into a fresh folder, with
// its progress bar asked for, must match the build's data set file for file.

#include "data_files.hpp"
#include "run_program.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace {

std::map<std::string, std::vector<uint8_t>> filesBelow(const std::string& root) {
    std::map<std::string, std::vector<uint8_t>> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
        if (entry.is_regular_file())
            files[std::filesystem::relative(entry.path(), root).string()] =
                fileBytes(entry.path().string());
    return files;
}

} // namespace

TEST(DatasetDeterminism, SecondRunWritesTheSameBytes) {
    const std::string folder = freshFolder("dataset");
    const ProgramResult run =
        runProgram(folder, KORVID_DATASET_TOOL, "", folder + "/data --progress");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string done = "] 100%  pictures 100%  soundtrack 100%";
    EXPECT_NE(run.err.substr(run.err.rfind('\r')).find(done), std::string::npos) << run.err;
    EXPECT_EQ(run.err.back(), '\n');
    const auto again = filesBelow(folder + "/data");
    const auto built = filesBelow(std::string(KORVID_BINARY_DIR) + "/data");
    ASSERT_EQ(again.size(), built.size());
    for (const auto& [name, bytes] : built) {
        const auto other = again.find(name);
        ASSERT_NE(other, again.end()) << name;
        EXPECT_TRUE(other->second == bytes) << name << " differs between runs";
    }
    std::filesystem::remove_all(folder);
}
