// demo-clock: the show, unchanged, in real time on whatever sound device SDL opens, with
// the demo time noted at every present: how often it moves on and how closely it follows
// the wall clock.

#include "demo/clock.hpp"
#include "demo/data_folder.hpp"
#include "demo/program.hpp"
#include "demo/show_parts.hpp"
#include "platform/clock.hpp"
#include "tools/clock/clock_figures.hpp"

#include <SDL/SDL.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr double unitSeconds = 3.69275 / 32.0; // music per unit of demo time

const char* const usage =
    "usage: demo-clock [--data DIR] [--seconds N] [--trace FILE]\n"
    "Plays the show in real time from the data set in DIR (by default the one the show\n"
    "itself would play) and notes the demo time at every present from demo time 0 on, for\n"
    "N seconds (default 20); then prints the share of presents with a new demo time, its\n"
    "jitter against a straight line through each second of the wall clock and its drift.\n"
    "The sound device is SDL's choice\n"
    "(SDL_AUDIODRIVER; SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null plays at the real\n"
    "rate without a sound card).\n"
    "  --trace FILE     also write every present's wall clock and demo time, in seconds\n";

struct Trace {
    double seconds = 20;
    const char* file = nullptr;
    Clock::time_point first;
    std::vector<double> wall, music;
} trace;

int onPresent(SDL_Surface* screen) {
    const Clock::time_point now = Clock::now();
    const int result = SDL_Flip(screen);
    // Before demo time 0 the show only waits for the music.
    if (show_part_running(0))
        return result;
    if (trace.wall.empty())
        trace.first = now;
    trace.wall.push_back(std::chrono::duration<double>(now - trace.first).count());
    trace.music.push_back(double(demoTime) * unitSeconds);
    if (trace.wall.back() >= trace.seconds)
        demo_exit(0);
    return result;
}

void finish() {
    if (std::FILE* out = trace.file ? std::fopen(trace.file, "w") : nullptr) {
        for (size_t i = 0; i < trace.wall.size(); ++i)
            std::fprintf(out, "%.6f %.6f\n", trace.wall[i], trace.music[i]);
        std::fclose(out);
    }
    printClockFigures(stdout, clockFigures(trace.wall, trace.music));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    const char* data = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--data") && i + 1 < argc) {
            data = argv[++i];
        } else if (!std::strcmp(argv[i], "--seconds") && i + 1 < argc) {
            trace.seconds = std::atof(argv[++i]);
            if (trace.seconds <= 0) {
                std::fprintf(stderr, "demo-clock: --seconds needs a positive number\n%s", usage);
                return 2;
            }
        } else if (!std::strcmp(argv[i], "--trace") && i + 1 < argc) {
            trace.file = argv[++i];
        } else {
            std::fprintf(stderr, "demo-clock: unknown argument %s\n%s", argv[i], usage);
            return 2;
        }
    }
    if (!data) {
        enter_data_folder(KORVID_BUILD_ROOT);
    } else if (chdir(data) != 0) {
        std::fprintf(stderr, "demo-clock: cannot enter %s\n", data);
        return 1;
    }
    trace.wall.reserve(size_t(trace.seconds * 2000));
    trace.music.reserve(size_t(trace.seconds * 2000));
    platform::setPresentHook(onPresent);
    std::atexit(finish);
    demo_main();
}
