#pragma once
// Tests that need a real window: a virtual X server (Xvfb) of their own, programs started
// on it, and the keys and window-manager messages a person would send them.

#include "run_program.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <poll.h>
#include <spawn.h>
#include <sstream>
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

// Holds Escape down until the program ends, then returns how it ended; -1, after killing
// it, if it never did. The key is held for a while: a press that begins and ends between two
// frames (or while a slow machine is still loading and reads no keys) would leave no trace
// in the key state. The guard only stops a program that never answers.
inline int holdEscape(pid_t program) {
    int status = -1;
    const auto guard = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (status == -1 && std::chrono::steady_clock::now() < guard) {
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

// True while the process runs; it is not reaped, so waitFor still gets its status.
inline bool running(pid_t pid) {
    siginfo_t info{};
    return waitid(P_PID, id_t(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == 0;
}

// "WxH" of a window, as the X server has it; "" when there is no such window (any more).
inline std::string windowSize(const std::string& window) {
    std::istringstream info(commandOutput("xdotool getwindowgeometry " + window + " 2>/dev/null"));
    for (std::string line; std::getline(info, line);)
        if (line.rfind("  Geometry: ", 0) == 0)
            return line.substr(12);
    return "";
}

// The first window of the program `pid` that is mapped, still there (a window the program
// made and has destroyed again is passed over) and whose name matches `name` (a regular
// expression, as xdotool takes it; any name, or none, when empty). Waits for that state as
// long as the program runs, since a loaded machine may take long to start it, within a
// guard of two minutes against a program that hangs; "" if it never comes.
inline std::string windowOf(pid_t pid, const std::string& name = "") {
    const auto guard = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    const std::string search = "xdotool search --all --onlyvisible --pid " + std::to_string(pid) +
                               (name.empty() ? "" : " --name '" + name + "'") + " 2>/dev/null";
    while (running(pid) && std::chrono::steady_clock::now() < guard) {
        std::istringstream found(commandOutput(search));
        for (std::string window; std::getline(found, window);)
            if (!windowSize(window).empty())
                return window;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return "";
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
