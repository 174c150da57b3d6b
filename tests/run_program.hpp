#pragma once
// Runs a program of the project in a folder with a given environment and collects what it
// wrote and how it ended.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

struct ProgramResult {
    int status = -1; // exit status, or -1 when the program did not exit normally
    std::string out, err;
};

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// What a shell command writes to standard output.
inline std::string commandOutput(const std::string& command) {
    std::string text;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe))
            text += buffer;
        pclose(pipe);
    }
    return text;
}

// `environment` is a list of NAME=value words put in front of the command.
inline ProgramResult runProgram(const std::string& folder, const std::string& program,
                                const std::string& environment = "",
                                const std::string& arguments = "") {
    const std::string out = folder + "/.stdout", err = folder + "/.stderr";
    const std::string command = "cd '" + folder + "' && env SDL_VIDEODRIVER=dummy " +
                                "SDL_AUDIODRIVER=dummy " + environment + " " + program + " " +
                                arguments + " >'" + out + "' 2>'" + err + "'";
    const int raw = std::system(command.c_str());
    ProgramResult result;
    if (raw != -1 && WIFEXITED(raw))
        result.status = WEXITSTATUS(raw);
    result.out = readFile(out);
    result.err = readFile(err);
    std::filesystem::remove(out);
    std::filesystem::remove(err);
    return result;
}

// A fresh, empty folder below the test's temporary directory.
inline std::string freshFolder(const std::string& name) {
    const std::string path = ::testing::TempDir() + "korvid-" + name;
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
    return path;
}

// A fresh folder of the running test's own: ctest runs tests side by side.
inline std::string testFolder(const std::string& name) {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return freshFolder(std::string(test->test_suite_name()) + "." + test->name() + "-" + name);
}
