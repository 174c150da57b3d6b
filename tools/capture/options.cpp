#include "tools/capture/options.hpp"

#include "demo/options.hpp"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace {

const char* const usage =
    "usage: demo-capture [--data DIR] [--fps N] [--png DIR [--every K] [--at T,T,...]]\n"
    "                    [--video FILE.mp4 [--scale N]] [--storyboard FILE.png]\n"
    "                    [--bench [--json FILE]] [--from T] [--until T] [--progress]\n"
    "                    [--hash --at T,T,...]\n"
    "Runs the show under a fixed-step clock on the data set in DIR (img/, img2/, 3ds/ and\n"
    "music/); by default the one the show itself would play.\n"
    "  --fps N          frames per second of demo time (default 60)\n"
    "  --png DIR        write every frame (or every K-th with --every) as PNG into DIR\n"
    "  --at T,T,...     with --png: write only the first frames at or after these demo times\n"
    "  --video FILE     encode the frames with the soundtrack into an H.264 mp4 (ffmpeg)\n"
    "  --scale N        with --video: every pixel as an N x N block, N from 1 to 4 (default 1)\n"
    "  --storyboard FILE  the show as one PNG: a labelled thumbnail every 32 demo units\n"
    "  --bench          time every frame and print per-part figures and the start-up time\n"
    "  --json FILE      with --bench: write the same figures as JSON\n"
    "  --from T         start the show at demo time T (0 to 2048), as korvid-demo --from\n"
    "                   does; not with --video or --storyboard\n"
    "  --until T        stop once the frame at demo time T has been handled\n"
    "  --progress       show a progress bar even when standard error is not a terminal\n"
    "  --hash           with --at: print \"T,hash\" for each of those frames (64-bit FNV-1a\n"
    "                   of the pixel words, in hex) on standard output\n";

bool fail(const char* what, const char* detail = "") {
    std::fprintf(stderr, "demo-capture: %s%s\n%s", what, detail, usage);
    return false;
}

bool parseInt(const char* text, int& out) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end || value < 1 || value > 1000)
        return false;
    out = int(value);
    return true;
}

bool parseTimes(const char* text, CaptureOptions& options) {
    std::stringstream list(text);
    std::string item;
    while (std::getline(list, item, ',')) {
        char* end = nullptr;
        const float t = std::strtof(item.c_str(), &end);
        if (item.empty() || *end)
            return false;
        options.atTimes.push_back(t);
        options.atNames.push_back(item);
    }
    return !options.atTimes.empty();
}

} // namespace

bool parseOptions(int argc, char** argv, CaptureOptions& options) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (!std::strcmp(arg, "--help") || !std::strcmp(arg, "-h")) {
            std::fputs(usage, stdout);
            std::exit(0);
        } else if (!std::strcmp(arg, "--bench")) {
            options.bench = true;
        } else if (!std::strcmp(arg, "--progress")) {
            options.progress = true;
        } else if (!std::strcmp(arg, "--hash")) {
            options.hash = true;
        } else if (!hasValue) {
            return fail("missing value after ", arg);
        } else if (!std::strcmp(arg, "--fps")) {
            if (!parseInt(argv[++i], options.fps))
                return fail("--fps takes a whole number from 1 to 1000");
        } else if (!std::strcmp(arg, "--every")) {
            if (!parseInt(argv[++i], options.every))
                return fail("--every takes a whole number from 1 to 1000");
        } else if (!std::strcmp(arg, "--at")) {
            if (!parseTimes(argv[++i], options))
                return fail("--at takes demo times separated by commas");
        } else if (!std::strcmp(arg, "--until")) {
            char* end = nullptr;
            options.until = std::strtof(argv[++i], &end);
            if (*end || end == argv[i])
                return fail("--until takes a demo time");
            options.hasUntil = true;
        } else if (!std::strcmp(arg, "--from")) {
            if (!parse_demo_time(argv[++i], options.from))
                return fail("--from takes a demo time from 0 to 2048");
            options.hasFrom = true;
        } else if (!std::strcmp(arg, "--png")) {
            options.pngFolder = argv[++i];
        } else if (!std::strcmp(arg, "--video")) {
            options.video = argv[++i];
        } else if (!std::strcmp(arg, "--scale")) {
            if (!parseInt(argv[++i], options.scale) || options.scale > 4)
                return fail("--scale takes a whole number from 1 to 4");
        } else if (!std::strcmp(arg, "--storyboard")) {
            options.storyboard = argv[++i];
        } else if (!std::strcmp(arg, "--json")) {
            options.json = argv[++i];
        } else if (!std::strcmp(arg, "--data")) {
            options.data = argv[++i];
        } else {
            return fail("unknown option ", arg);
        }
    }
    if (!options.atTimes.empty() && options.pngFolder.empty() && !options.hash)
        return fail("--at needs --png DIR or --hash");
    if (options.hash && options.atTimes.empty())
        return fail("--hash needs --at T,T,...");
    if (!options.json.empty() && !options.bench)
        return fail("--json needs --bench");
    if (options.scale != 1 && options.video.empty())
        return fail("--scale needs --video FILE.mp4");
    if (options.hasFrom && (!options.video.empty() || !options.storyboard.empty()))
        return fail("--from does not go with --video or --storyboard");
    return true;
}
