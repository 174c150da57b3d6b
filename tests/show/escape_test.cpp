// The real program in a real window (on a virtual X server): Escape in the middle of the
// show ends it at once with status 0.

#include "show_data.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

pid_t spawn(const std::vector<std::string>& args, const std::string& folder = ".") {
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const std::string previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    pid_t pid = -1;
    posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ);
    std::filesystem::current_path(previous);
    return pid;
}

// Waits up to `seconds` for the process; its exit status, or -1 if it is still running.
int waitFor(pid_t pid, double seconds) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < until) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return -1;
}

} // namespace

// A virtual X server for the test, and the show started on it.
class RealWindow : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string display = ":" + std::to_string(70 + getpid() % 50);
        server = spawn({"Xvfb", display, "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
        ASSERT_GT(server, 0);
        setenv("DISPLAY", display.c_str(), 1);
        bool ready = false;
        for (int i = 0; i < 100 && !ready; ++i) {
            ready = std::system("xdotool getdisplaygeometry >/dev/null 2>&1") == 0;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        ASSERT_TRUE(ready) << "no X server on " << display;
        setenv("SDL_VIDEODRIVER", "x11", 1);
    }

    void TearDown() override {
        kill(server, SIGTERM);
        waitFor(server, 5.0);
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        unsetenv("SDL_DISKAUDIOFILE");
    }

    // Runs the show for `seconds`, presses Escape and returns how the program ended.
    int escapeAfter(const std::string& data, double seconds) {
        const pid_t show = spawn({"sh", "-c", demoProgram + " 2>stderr.txt"}, data);
        if (show <= 0)
            return -2;
        EXPECT_EQ(waitFor(show, seconds), -1) << "the show ended before Escape";
        // The key is held for a while: a press that begins and ends between two frames
        // (or while a slow machine is still loading) would leave no trace in the key state.
        int status = -1;
        for (int attempt = 0; attempt < 10 && status == -1; ++attempt) {
            std::system("xdotool keydown Escape");
            status = waitFor(show, 0.3);
            std::system("xdotool keyup Escape");
        }
        if (status == -1)
            kill(show, SIGKILL);
        return status;
    }

    pid_t server = -1;
};

TEST_F(RealWindow, EscapeEndsTheShowWithStatusZero) {
    // Loading, the wait for the music and some seconds of the first part.
    const std::string data = copyOfData("escape");
    EXPECT_EQ(escapeAfter(data, 5.0), 0);
    EXPECT_EQ(readFile(data + "/stderr.txt"), "");
}

TEST_F(RealWindow, WithoutASoundDeviceTheShowRunsSilent) {
    // SDL starts its audio, but the device cannot open its output.
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "/nonexistent/folder/audio.raw", 1);
    const std::string data = copyOfData("silent");
    EXPECT_EQ(escapeAfter(data, 4.0), 0);
    EXPECT_EQ(readFile(data + "/stderr.txt"),
              "Bass could not open sound device. Using no sound.\n");
}
