// demo-capture: the show, unchanged, under a fixed-step clock: as PNG frames, as an mp4
// with its soundtrack, or timed frame by frame.

#include "demo/assets.hpp"
#include "demo/clock.hpp"
#include "demo/data_folder.hpp"
#include "demo/pixel_zoom.hpp"
#include "demo/program.hpp"
#include "demo/show_parts.hpp"
#include "engine/core/pass_clock.hpp"
#include "platform/clock.hpp"
#include "tools/capture/frame_stats.hpp"
#include "tools/capture/options.hpp"
#include "tools/capture/storyboard.hpp"
#include "tools/capture/video_pipe.hpp"
#include "tools/common/png_writer.hpp"
#include "tools/common/progress.hpp"

#include <SDL/SDL.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double msBetween(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

// Seconds of music from its start to demo time t.
double musicSeconds(double t) {
    return 1.025 + t / 32.0 * 3.69275;
}

// Demo time at the end of the last part, and the closing image.
const double showSeconds = musicSeconds(showEndUnits) + closingImageSeconds;

struct Capture {
    CaptureOptions options;
    Clock::time_point start, loaded, linked, built, playing, lastFrame;
    bool started = false; // the music plays: frames from here on are the show's
    long frame = 0;       // frames presented since the music started
    DWORD position = 0;   // music position read by the tick of the last present, in bytes
    std::vector<bool> atWritten;
    FrameStats stats;
    VideoPipe video;
    std::vector<uint32_t> enlarged; // a video frame enlarged by --scale
    std::unique_ptr<Storyboard> storyboard;
    bool storyboardWritten = false;
    tools::ProgressBar progress;
    long expectedFrames = 1; // where the progress bar is full
} capture;

[[noreturn]] void failCapture(const std::string& what) {
    std::fprintf(stderr, "\ndemo-capture: %s\n", what.c_str());
    demo_exit(1);
}

void writeFrame(const std::string& name, const SDL_Surface* screen) {
    const std::string path = capture.options.pngFolder + "/" + name;
    if (!tools::writePng(path, static_cast<const uint32_t*>(screen->pixels), screen->w, screen->h,
                         screen->pitch / 4, false))
        failCapture("cannot write " + path);
}

// 64-bit FNV-1a over the pixel words of the visible rows, low byte first.
uint64_t frameHash(const SDL_Surface* screen) {
    uint64_t h = 0xcbf29ce484222325ull;
    for (int y = 0; y < screen->h; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(
            static_cast<const uint8_t*>(screen->pixels) + size_t(y) * size_t(screen->pitch));
        for (int x = 0; x < screen->w; ++x)
            for (int shift = 0; shift < 32; shift += 8) {
                h ^= (row[x] >> shift) & 0xFF;
                h *= 0x100000001b3ull;
            }
    }
    return h;
}

void drawProgress(float t) {
    char detail[64];
    std::snprintf(detail, sizeof detail, "frame %ld  demo time %.1f", capture.frame, double(t));
    capture.progress.update(double(capture.frame) / double(capture.expectedFrames), detail);
}

// The frame drawn at music position `seconds`, as the video wants it: enlarged when
// --scale asks for it.
bool writeVideoFrame(const SDL_Surface* screen, double seconds) {
    const uint32_t* pixels = static_cast<const uint32_t*>(screen->pixels);
    int pitch = screen->pitch / 4;
    if (const int scale = capture.options.scale; scale > 1) {
        capture.enlarged.resize(size_t(screen->w) * size_t(screen->h) * size_t(scale * scale));
        zoom_pixels(pixels, screen->w, screen->h, pitch, scale, capture.enlarged.data(),
                    screen->w * scale);
        pixels = capture.enlarged.data();
        pitch = screen->w * scale;
    }
    return capture.video.write(pixels, pitch, seconds);
}

void writeStoryboard() {
    capture.storyboardWritten = true;
    if (!capture.storyboard->write(capture.options.storyboard))
        failCapture("cannot write " + capture.options.storyboard);
}

// Only the storyboard is wanted: the show need not run past its last thumbnail.
bool storyboardOnly() {
    const CaptureOptions& o = capture.options;
    return !o.storyboard.empty() && o.video.empty() && o.pngFolder.empty() && !o.bench && !o.hash;
}

int onPresent(SDL_Surface* screen) {
    if (!capture.started)
        return 0; // the wait screen
    const Clock::time_point now = Clock::now();
    // The frame was drawn with the demo time and the music position of the tick before
    // this one; under the fixed step the position read now is the one this tick read.
    const float t = previousTime;
    const DWORD drawnAt = capture.position;
    capture.position = BASS_ChannelGetPosition(stream);
    if (capture.options.bench) {
        capture.stats.add(show_part_at(t), msBetween(capture.lastFrame, now), korvid::passClock.ms);
        korvid::passClock.reset();
    }

    if (SDL_LockSurface(screen) < 0)
        failCapture(std::string("cannot read the screen: ") + SDL_GetError());
    const CaptureOptions& o = capture.options;
    if (o.atTimes.empty()) {
        if (!o.pngFolder.empty() && capture.frame % o.every == 0) {
            char name[32];
            std::snprintf(name, sizeof name, "frame-%06ld.png", capture.frame);
            writeFrame(name, screen);
        }
    } else {
        for (size_t i = 0; i < o.atTimes.size(); ++i)
            if (!capture.atWritten[i] && t >= o.atTimes[i]) {
                if (!o.pngFolder.empty())
                    writeFrame("at-" + o.atNames[i] + ".png", screen);
                if (o.hash)
                    std::printf("%s,%016llx\n", o.atNames[i].c_str(),
                                static_cast<unsigned long long>(frameHash(screen)));
                capture.atWritten[i] = true;
            }
    }
    if (capture.video.isOpen() &&
        !writeVideoFrame(screen, double(drawnAt) / BASS_ChannelSeconds2Bytes(stream, 1.0f)))
        failCapture("the video encoder stopped taking frames");
    if (capture.storyboard)
        capture.storyboard->offer(t, static_cast<const uint32_t*>(screen->pixels),
                                  screen->pitch / 4);
    SDL_UnlockSurface(screen);

    if (capture.frame % 30 == 0)
        drawProgress(t);
    ++capture.frame;
    if (capture.storyboard && capture.storyboard->complete() && !capture.storyboardWritten) {
        writeStoryboard();
        if (storyboardOnly())
            demo_exit(0);
    }
    if (o.hasUntil && t >= o.until)
        demo_exit(0);
    capture.lastFrame = Clock::now();
    return 0;
}

void onMilestone(const char* name) {
    const Clock::time_point now = Clock::now();
    const std::string m = name;
    if (m == "loaded")
        capture.loaded = now;
    else if (m == "linked")
        capture.linked = now;
    else if (m == "effects")
        capture.built = now;
    else if (m == "playing") {
        capture.playing = capture.lastFrame = now;
        capture.started = true;
        // The passes are timed from the first frame of the show on.
        korvid::passClock.enabled = capture.options.bench;
        korvid::passClock.reset();
        const CaptureOptions& o = capture.options;
        if (!o.video.empty() && !capture.video.open(o.video, display.width * o.scale,
                                                    display.height * o.scale, o.fps, musicPath))
            failCapture("cannot start ffmpeg");
        if (!o.storyboard.empty())
            capture.storyboard = std::make_unique<Storyboard>(display.width, display.height);
        double seconds = showSeconds;
        if (o.hasUntil)
            seconds = std::min(seconds, musicSeconds(o.until));
        if (storyboardOnly())
            seconds = std::min(seconds, musicSeconds(capture.storyboard->lastTime()));
        if (o.hasFrom)
            seconds -= musicSeconds(o.from);
        capture.expectedFrames = std::max(1L, long(seconds * o.fps));
    }
}

// Runs when the show has ended (through its own exit): finish the video, print the figures.
void finish() {
    capture.progress.finish();
    bool ok = true;
    if (capture.storyboard && !capture.storyboardWritten &&
        !capture.storyboard->write(capture.options.storyboard)) {
        std::fprintf(stderr, "demo-capture: cannot write %s\n", capture.options.storyboard.c_str());
        ok = false;
    }
    if (capture.video.isOpen() && !capture.video.close()) {
        std::fprintf(stderr, "demo-capture: ffmpeg could not write %s\n",
                     capture.options.video.c_str());
        ok = false;
    }
    if (capture.options.bench && capture.started) {
        capture.stats.setStartup(
            msBetween(capture.start, capture.loaded), msBetween(capture.loaded, capture.linked),
            msBetween(capture.linked, capture.built), msBetween(capture.start, capture.playing));
        capture.stats.printTable(stdout);
        if (!capture.options.json.empty() &&
            !capture.stats.writeJson(capture.options.json, capture.options.fps)) {
            std::fprintf(stderr, "demo-capture: cannot write %s\n", capture.options.json.c_str());
            ok = false;
        }
    }
    std::fflush(stdout);
    std::fflush(stderr);
    if (!ok)
        _exit(1);
}

} // namespace

int main(int argc, char** argv) {
    capture.start = Clock::now();
    if (!parseOptions(argc, argv, capture.options))
        return 2;
    CaptureOptions& o = capture.options;
    if (o.data.empty()) {
        enter_data_folder(KORVID_BUILD_ROOT);
    } else if (chdir(o.data.c_str()) != 0) {
        std::fprintf(stderr, "demo-capture: cannot enter %s\n", o.data.c_str());
        return 1;
    }
    if (!o.pngFolder.empty()) {
        std::error_code error;
        std::filesystem::create_directories(o.pngFolder, error);
        if (error) {
            std::fprintf(stderr, "demo-capture: cannot create %s\n", o.pngFolder.c_str());
            return 1;
        }
    }
    capture.atWritten.assign(o.atTimes.size(), false);
    capture.progress = tools::ProgressBar(o.progress);

    // No window and no sound card: frames go to the hook, time to the fixed step.
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    platform::useFixedStep(o.fps);
    platform::setPresentHook(onPresent);
    platform::setMilestoneHook(onMilestone);
    std::atexit(finish);
    DemoOptions show;
    show.hasFrom = o.hasFrom;
    show.from = o.from;
    demo_main(show);
}
