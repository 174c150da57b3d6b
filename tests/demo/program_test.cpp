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
#include <tuple>

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
    // Without a soundtrack the folder holds no data set: --data makes the show play it.
    const ProgramResult r =
        runProgram(dataFolder("no-music", false, Wait::missing), demo, "", "--data .");
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
    ProgramResult r =
        runProgram(dataFolder("vg-no-music", false, Wait::missing), valgrind(demo), "", "--data .");
    EXPECT_EQ(r.status, 1) << r.err;
    r = runProgram(dataFolder("vg-no-wait", true, Wait::missing), valgrind(demo));
    EXPECT_EQ(r.status, 1) << r.err;
    r = runProgram(dataFolder("vg-corrupt", true, Wait::corrupt), valgrind(demo));
    EXPECT_EQ(r.status, 1) << r.err;
    r = runProgram(dataFolder("vg-window", true, Wait::valid), valgrind(demo),
                   faults + " KORVID_FAULT=video_mode");
    EXPECT_EQ(r.status, 1) << r.err;
}

TEST(Program, WrongOptionsStopItBeforeAnyWindow) {
    // Each mistake: one line on standard error that names it and points to --help, status
    // 2, and SDL never started.
    const std::string folder = dataFolder("wrong-options", true, Wait::valid);
    const std::pair<std::string, std::string> wrong[] = {
        {"--bogus", "unknown option --bogus"},
        {"-w", "unknown option -w"},
        {"--window=yes", "--window takes no value"},
        {"--zoom", "--zoom needs a value"},
        {"--from", "--from needs a value"},
        {"--window --data", "--data needs a value"},
        {"--zoom two", "--zoom takes a whole number from 1 to 4, not \"two\""},
        {"--zoom 2x", "not \"2x\""},
        {"--zoom=", "not \"\""},
        {"--zoom 0", "not \"0\""},
        {"--zoom 5", "not \"5\""},
        {"--zoom -1", "not \"-1\""},
        {"--from abc", "--from takes a demo time from 0 to 2048, not \"abc\""},
        {"--from 12s", "not \"12s\""},
        {"--from -0.01", "not \"-0.01\""},
        {"--from 2048.01", "not \"2048.01\""},
        {"--from nan", "not \"nan\""},
        {"--from inf", "not \"inf\""},
        {"play", "unexpected argument \"play\""},
        {"--window show", "unexpected argument \"show\""},
        {"--data no/such/folder", "--data: cannot enter \"no/such/folder\""},
    };
    for (const auto& [arguments, named] : wrong) {
        fs::remove(folder + "/sdl.log");
        const ProgramResult r =
            runProgram(folder, demo, faults + " KORVID_SDL_LOG=" + folder + "/sdl.log", arguments);
        EXPECT_EQ(r.status, 2) << arguments;
        EXPECT_EQ(r.out, "") << arguments;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_EQ(r.err.rfind("demo: ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find(named), std::string::npos) << arguments << ": " << r.err;
        EXPECT_NE(r.err.find("(try demo --help)\n"), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(folder + "/sdl.log")) << arguments << ": SDL was started";
    }
}

TEST(Program, OptionsAtTheirLimitsOpenTheAskedScreen) {
    // Accepted values go on to the window (the video mode asked for is noted) and stop at
    // the missing slutt.png, the next file after the wait screen.
    const std::string folder = dataFolder("good-options", true, Wait::valid);
    // Presents wait for the display's refresh unless --no-vsync says otherwise; a setting
    // of the viewer's own in the environment stands unless --no-vsync overrides it.
    const std::tuple<std::string, std::string, std::string> good[] = {
        {"", "", "video 512x384 fullscreen vsync=1\n"},
        {"--window", "", "video 512x384 window vsync=1\n"},
        {"--zoom 1 --window", "", "video 512x384 window vsync=1\n"},
        {"--zoom 4", "", "video 2048x1536 fullscreen vsync=1\n"},
        {"--window --zoom=3", "", "video 1536x1152 window vsync=1\n"},
        {"--from 0 --no-vsync", "", "video 512x384 fullscreen vsync=0\n"},
        {"--from 2048 --data .", "SDL12COMPAT_SYNC_TO_VBLANK=0",
         "video 512x384 fullscreen vsync=0\n"},
        {"--no-vsync", "SDL12COMPAT_SYNC_TO_VBLANK=1", "video 512x384 fullscreen vsync=0\n"},
    };
    for (const auto& [arguments, environment, video] : good) {
        fs::remove(folder + "/sdl.log");
        const ProgramResult r =
            runProgram(folder, demo,
                       faults + " KORVID_SDL_LOG=" + folder + "/sdl.log " + environment, arguments);
        EXPECT_EQ(r.status, 1) << arguments;
        EXPECT_EQ(r.err, sdlError + "SDL hax0rz: \"Couldn't open img/slutt.png\"\n") << arguments;
        EXPECT_EQ(readFile(folder + "/sdl.log"), "init\n" + video) << arguments;
    }
}

TEST(Program, HelpAndVersionSayTheirPieceAndStop) {
    const std::string folder = dataFolder("help", true, Wait::valid);
    ProgramResult r =
        runProgram(folder, demo, faults + " KORVID_SDL_LOG=" + folder + "/sdl.log", "--help");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out.rfind("usage: demo [--window] [--zoom N] [--from T] [--data DIR]", 0), 0u)
        << r.out;
    // A mistake after --help is not reached; one before it is.
    r = runProgram(folder, demo, faults + " KORVID_SDL_LOG=" + folder + "/sdl.log",
                   "--window --help --bogus");
    EXPECT_EQ(r.status, 0);
    r = runProgram(folder, demo, faults + " KORVID_SDL_LOG=" + folder + "/sdl.log",
                   "--bogus --help");
    EXPECT_EQ(r.status, 2);
    r = runProgram(folder, demo, faults + " KORVID_SDL_LOG=" + folder + "/sdl.log", "--version");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "Korvid " KORVID_VERSION "\n");
    EXPECT_FALSE(fs::exists(folder + "/sdl.log"));
}
