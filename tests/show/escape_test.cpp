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

TEST(RealWindow, EscapeEndsTheShowWithStatusZero) {
    const std::string display = ":" + std::to_string(70 + getpid() % 50);
    const pid_t server =
        spawn({"Xvfb", display, "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
    ASSERT_GT(server, 0);
    setenv("DISPLAY", display.c_str(), 1);
    bool ready = false;
    for (int i = 0; i < 100 && !ready; ++i) {
        ready = std::system("xdotool getdisplaygeometry >/dev/null 2>&1") == 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_TRUE(ready) << "no X server on " << display;

    setenv("SDL_VIDEODRIVER", "x11", 1);
    const std::string data = copyOfData("escape");
    const pid_t show = spawn({demoProgram}, data);
    ASSERT_GT(show, 0);
    // Loading, the wait for the music and some seconds of the first part.
    EXPECT_EQ(waitFor(show, 5.0), -1) << "the show ended before Escape";
    std::system("xdotool key Escape");
    const int status = waitFor(show, 3.0);
    if (status == -1)
        kill(show, SIGKILL);
    EXPECT_EQ(status, 0);

    kill(server, SIGTERM);
    waitFor(server, 5.0);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
}
