// The demo program's start-up as its users meet it: started in a data folder that lacks
// what it needs, or on a window system that fails, it ends with its own lines and status;
// closing its window ends it quietly.

#include "demo/assets.hpp"
#include "run_program.hpp"
#include "tools/common/png_writer.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

const std::string demo = DEMO_PROGRAM;
const std::string faults = std::string("LD_PRELOAD=") + SDL_FAULTS_LIBRARY;
const std::string sdlError = "Korvid fucked joo: \"sdl fucked joo - check SDL_GetError()\"\n";

enum class Wait { missing, valid, corrupt };

// A data folder with what start-up reads before the show: the soundtrack and the wait screen.
std::string dataFolder(const std::string& name, bool music, Wait wait) {
    const std::string folder = freshFolder(name);
    fs::create_directories(folder + "/img");
    fs::create_directories(folder + "/music");
    if (music)
        fs::copy_file(KORVID_TEST_DATA "/audio/mpeg2.mp3", folder + "/" + musicPath);
    if (wait == Wait::valid) {
        std::vector<uint32_t> pixels(512 * 384, 0xFF203040);
        EXPECT_TRUE(tools::writePng(folder + "/img/wait.png", pixels.data(), 512, 384, 512, false));
    } else if (wait == Wait::corrupt) {
        std::ofstream(folder + "/img/wait.png") << "\x89PNG\r\n\x1a\nthis is not an image";
    }
    return folder;
}

std::string valgrind(const std::string& program) {
    return "valgrind -q --error-exitcode=99 --leak-check=full --errors-for-leak-kinds=definite "
           "--suppressions=" KORVID_SOURCE_DIR "/tests/demo/valgrind.supp " +
           program;
}

} // namespace

TEST(Program, MissingMusicStopsBeforeAnyImage) {
    const ProgramResult r = runProgram(dataFolder("no-music", false, Wait::missing), demo);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "BASS fucked joo: \"Can't play the mp3! It should be at music/tune3.mp3\"\n"
                     "code: 2\n");
}

TEST(Program, BadWaitScreenImages) {
    ProgramResult r = runProgram(dataFolder("no-wait", true, Wait::missing), demo);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, sdlError + "SDL hax0rz: \"Couldn't open img/wait.png\"\n");

    // The image library may say more on its own before the program's two lines.
    r = runProgram(dataFolder("corrupt-wait", true, Wait::corrupt), demo);
    EXPECT_EQ(r.status, 1);
    const size_t lines = r.err.rfind(sdlError + "SDL hax0rz: \"");
    ASSERT_NE(lines, std::string::npos) << r.err;
    const std::string detail = r.err.substr(lines + sdlError.size());
    EXPECT_EQ(std::count(detail.begin(), detail.end(), '\n'), 1) << r.err;
    EXPECT_EQ(detail.substr(detail.size() - 2), "\"\n");
}

TEST(Program, SoundDevicesThatFailOrTakeAnotherFormat) {
    const std::string folder = dataFolder("sound", true, Wait::missing);
    const std::string waitError = sdlError + "SDL hax0rz: \"Couldn't open img/wait.png\"\n";
    // A device that opened at 48 kHz plays through SDL's conversion: no notice.
    ProgramResult r = runProgram(folder, demo, faults + " KORVID_FAULT=audio_48k");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, waitError);

    // No such sound card: the notice line and nothing from the sound library.
    r = runProgram(folder, demo, "SDL_AUDIODRIVER=alsa AUDIODEV=hw:9");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Bass could not open sound device. Using no sound.\n" + waitError);
}

TEST(Program, WindowSystemFailures) {
    const std::string folder = dataFolder("window", true, Wait::valid);
    ProgramResult r = runProgram(folder, demo, faults + " KORVID_FAULT=video_mode");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, sdlError + "SDL hax0rz: \"no video mode for the test\"\n");

    // A present is tried ten times: ten failures of the wait screen's present end the
    // program with the same two lines; after nine the tenth attempt shows it and start-up
    // goes on, to the next image (missing here).
    for (const char* fault : {"flip", "flip=10"}) {
        r = runProgram(folder, demo, faults + " KORVID_FAULT=" + fault);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, sdlError + "SDL hax0rz: \"no present for the test\"\n") << fault;
    }
    r = runProgram(folder, demo, faults + " KORVID_FAULT=flip=9");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, sdlError + "SDL hax0rz: \"Couldn't open img/slutt.png\"\n");

    r = runProgram(folder, demo, "SDL_VIDEODRIVER=no_such_driver");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("SDL fucked joo: \"", 0), 0u) << r.err;
}

TEST(Program, TheQuitEventEndsItQuietly) {
    // Reported at the first tick, on the wait screen.
    const ProgramResult r =
        runProgram(dataFolder("quit", true, Wait::valid), demo, faults + " KORVID_FAULT=quit");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
}

TEST(Program, ErrorPathsLeakNothingAndTouchNothingInvalid) {
    ProgramResult r = runProgram(dataFolder("vg-no-music", false, Wait::missing), valgrind(demo));
    EXPECT_EQ(r.status, 1) << r.err;
    r = runProgram(dataFolder("vg-no-wait", true, Wait::missing), valgrind(demo));
    EXPECT_EQ(r.status, 1) << r.err;
    r = runProgram(dataFolder("vg-corrupt", true, Wait::corrupt), valgrind(demo));
    EXPECT_EQ(r.status, 1) << r.err;
    r = runProgram(dataFolder("vg-window", true, Wait::valid), valgrind(demo),
                   faults + " KORVID_FAULT=video_mode");
    EXPECT_EQ(r.status, 1) << r.err;
}
