#pragma once
// Copies of the generated data set for tests that run the show, whole or with a file
// taken away or replaced.

#include "run_program.hpp"

#include <filesystem>
#include <string>

// A copy of the data set in a fresh folder of the running test's own, so that tests run
// side by side never share one; `without` (a path inside it) is left out.
inline std::string copyOfData(const std::string& name, const std::string& without = "") {
    namespace fs = std::filesystem;
    const std::string folder = testFolder(name);
    for (const auto& entry : fs::recursive_directory_iterator(DATA_FOLDER)) {
        const std::string relative = fs::relative(entry.path(), DATA_FOLDER).string();
        if (relative == without)
            continue;
        if (entry.is_directory())
            fs::create_directories(folder + "/" + relative);
        else
            fs::copy_file(entry.path(), folder + "/" + relative);
    }
    return folder;
}

const std::string demoProgram = DEMO_PROGRAM;
const std::string captureProgram = CAPTURE_PROGRAM;
const std::string clockProgram = CLOCK_PROGRAM;
