#pragma once
// The show's command line: how it meets its viewer. Without options it plays fullscreen at
// 512x384 from the start, its presents waiting for the display's refresh.

#include <cstdint>
#include <string>

struct DemoOptions {
    bool window = false;  // --window: in a window instead of fullscreen
    int32_t zoom = 1;     // --zoom N: every pixel shown N x N times
    bool hasFrom = false; // --from T: the show starts at demo time `from`
    float from = 0.0f;
    std::string data;  // --data DIR: the data folder; empty to look for it
    bool vsync = true; // --no-vsync: present as fast as possible
};

constexpr int32_t minZoom = 1, maxZoom = 4;

enum class OptionsOutcome { run, help, version, wrong };

// Reads argv[1] on. On a mistake, `problem` names the option or value and says what was
// wanted; the first mistake counts, and so does a --help or --version before it.
OptionsOutcome parse_demo_options(int argc, const char* const* argv, DemoOptions& options,
                                  std::string& problem);

// A demo time at which the show can start: a number from 0 to the end of its last part
// (2048), where the closing image begins.
bool parse_demo_time(const std::string& text, float& out);

// The help text, naming the program `program`.
std::string demo_usage(const std::string& program);

// The project's version, "1.2.3".
const char* demo_version();
