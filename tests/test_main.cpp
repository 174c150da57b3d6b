// The entry of every test program. Tests never open a real display or sound card unless
// they ask for one: SDL's dummy drivers are the default.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    // Scratch files and data folders go below the build tree, so that suites of two
    // checkouts running at once never share a folder.
    const char* scratch = KORVID_BINARY_DIR "/test-scratch/";
    std::filesystem::create_directories(scratch);
    setenv("TEST_TMPDIR", scratch, 0);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
