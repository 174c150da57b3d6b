// The generator makes the same bytes every time: a second run into a fresh folder, with
// its progress bar asked for, must match the build's data set file for file. And the same
// bytes on every machine: the whole set's hash is pinned. Its maths are the project's own
// (the mp3 encoder's too, see tools/dataset/library_maths.cpp); the encoders (zlib,
// libjpeg, giflib, LAME) and the font are Debian 12's. A change to the generator that
// changes the set renews the hash, and the golden frames with it.

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

    uint64_t hash = 0xCBF29CE484222325u; // 64-bit FNV-1a of every name and its bytes, in order
    const auto mix = [&hash](uint8_t b) { hash = (hash ^ b) * 0x100000001B3u; };
    for (const auto& [name, bytes] : built) {
        for (char c : name)
            mix(uint8_t(c));
        mix(0);
        for (uint8_t b : bytes)
            mix(b);
    }
    EXPECT_EQ(hash, 0xCDE794D3CCEA9573u);
}
