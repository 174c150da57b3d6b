#pragma once
// Tests that need a real window: a virtual X server (Xvfb) of their own, programs started
// on it, and the keys and window-manager messages a person would send them.

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

// Starts a program in `folder` with the test's environment; its pid, or -1.
inline pid_t spawnProgram(const std::vector<std::string>& args, const std::string& folder = ".") {
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const std::string previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        pid = -1;
    std::filesystem::current_path(previous);
    return pid;
}

// Waits up to `seconds` for the process; its exit status (128 + the signal when a signal
// ended it), or -1 if it is still running.
inline int waitFor(pid_t pid, double seconds) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < until) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return -1;
}

// Presses Escape until the program ends (up to 3 s), then returns how it ended; -1, after
// killing it, if it did not. The key is held for a while: a press that begins and ends
// between two frames (or while a slow machine is still loading) would leave no trace in the
// key state.
inline int holdEscape(pid_t program) {
    int status = -1;
    for (int attempt = 0; attempt < 10 && status == -1; ++attempt) {
        std::system("xdotool keydown Escape");
        status = waitFor(program, 0.3);
        std::system("xdotool keyup Escape");
    }
    if (status == -1) {
        kill(program, SIGKILL);
        waitFor(program, 5.0);
    }
    return status;
}

// Xvfb on a display number that it picks itself (reported through a pipe), so that test
// programs running side by side never share a server. SDL draws through it with x11. It
// does not reset when its last client leaves, so a program started right after another
// one ends finds it up.
class VirtualDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        server = spawnProgram({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0",
                               screenSize, "-nolisten", "tcp", "-noreset"});
        close(fds[1]);
        ASSERT_GT(server, 0);
        std::string number;
        pollfd ready{fds[0], POLLIN, 0};
        char c;
        while (poll(&ready, 1, 10000) == 1 && read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(fds[0]);
        ASSERT_FALSE(number.empty()) << "Xvfb reported no display";
        display = ":" + number;
        setenv("DISPLAY", display.c_str(), 1);
        setenv("SDL_VIDEODRIVER", "x11", 1);
    }

    void TearDown() override {
        kill(server, SIGTERM);
        waitFor(server, 5.0);
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        unsetenv("SDL_DISKAUDIOFILE");
    }

    pid_t server = -1;
    std::string display;
    std::string screenSize = "1024x768x24"; // a fixture may ask for another before SetUp
};
