// Start-up, the display, and the one teardown every way out of the program runs.

#include "demo/assets.hpp"
#include "demo/clock.hpp"
#include "demo/pixel_zoom.hpp"
#include "demo/program.hpp"
#include "demo/timeline.hpp"
#include "engine/link/link.hpp"
#include "platform/clock.hpp"

#include <cstdio>
#include <cstdlib>
#include <string>

using namespace korvid;

Engine engine;
Surface display;
HSTREAM stream = 0;
SDL_Event event;

namespace {
constexpr Uint32 initFlags = 0x100030;        // audio, video, no parachute
constexpr Uint32 fullscreenFlag = 0x80000000; // the window system's fullscreen mode
constexpr DWORD expectedVersion = 0x80001;    // 1.8
constexpr DWORD playFlags = 0x20000;
// SDL 1.2's layer over SDL 2 reads it when the video mode is set: 1 makes each present wait
// for the display's refresh. (SDL 1.2 itself has no such setting and ignores it.)
const char* const vsyncVariable = "SDL12COMPAT_SYNC_TO_VBLANK";

// The window system's screen that the Display reaches.
struct Screen {
    SDL_Surface* surface = nullptr;
    korvid::Surface* display = nullptr;
    int32_t zoom = 1; // each Display pixel is zoom x zoom pixels of the screen
    uint32_t flags = 0;
} screen;

// The Display enlarged into the screen, every pixel repeated.
Error zoomDisplay() {
    uint32_t* from = nullptr;
    int32_t fromPitch = 0;
    if (const Error code = screen.display->lock(from, fromPitch); code != errNone)
        return code;
    const bool locked = SDL_LockSurface(screen.surface) == 0;
    if (locked) {
        zoom_pixels(from, screen.display->width, screen.display->height, fromPitch, screen.zoom,
                    static_cast<uint32_t*>(screen.surface->pixels), screen.surface->pitch / 4);
        SDL_UnlockSurface(screen.surface);
    }
    screen.display->unlock();
    return locked ? errNone : errSdl;
}
} // namespace

void demo_exit(int status) {
    BASS_Free();
    engine.releaseAll();
    display_close();
    SDL_Quit();
    std::exit(status);
}

void demo_check(Error code) {
    if (code == errNone)
        return;
    std::fprintf(stderr, "Korvid fucked joo: \"%s\"\n", errorMessages[code]);
    if (code == errSdl)
        std::fprintf(stderr, "SDL hax0rz: \"%s\"\n", SDL_GetError());
    demo_exit(1);
}

void demo_bass_failure(const char* text) {
    std::fprintf(stderr, "BASS fucked joo: \"%s\"\n", text);
    std::fprintf(stderr, "code: %i\n", int(BASS_ErrorGetCode()));
    demo_exit(1);
}

Error display_open(Surface* target, const char* caption, int width, int height, uint32_t flags,
                   int32_t zoom) {
    if (!target || zoom < minZoom || zoom > maxZoom)
        return errInvalidCall;
    // The caption is accepted and not applied: the window gets none.
    SDL_Surface* opened = SDL_SetVideoMode(width * zoom, height * zoom, 32, flags);
    if (!opened)
        return errSdl;
    const Error code =
        zoom == 1 ? target->bindScreen(opened) : target->create(width, height, storage32, false);
    if (code != errNone)
        return code;
    screen = Screen{opened, target, zoom, flags};
    SDL_ShowCursor(0);
    return errNone;
}

// SDL_Quit releases the screen.
Error display_close() {
    return errNone;
}

Error display_flip() {
    if (screen.zoom > 1)
        if (const Error code = zoomDisplay(); code != errNone)
            return code;
    for (int attempt = 1;; ++attempt) {
        if (platform::present(screen.surface) >= 0)
            return errNone;
        if (attempt == 10)
            return errSdl;
        platform::delay(100);
    }
}

Error display_toggle_fullscreen() {
    if (!screen.surface)
        return errInvalidCall;
    if (SDL_WM_ToggleFullScreen(screen.surface)) {
        screen.flags ^= fullscreenFlag;
        return errNone;
    }
    // Where the window system cannot switch in place, the video mode is set again; if the
    // other mode cannot be had, the one before is asked for again.
    const Screen before = screen;
    const int width = before.surface->w / before.zoom, height = before.surface->h / before.zoom;
    if (display_open(before.display, nullptr, width, height, before.flags ^ fullscreenFlag,
                     before.zoom) == errNone)
        return errNone;
    return display_open(before.display, nullptr, width, height, before.flags, before.zoom);
}

void demo_main(const DemoOptions& options) {
    // The viewer's own setting in the environment stands, unless the command line says no.
    if (options.vsync)
        setenv(vsyncVariable, "1", 0);
    else
        setenv(vsyncVariable, "0", 1);
    if (SDL_Init(initFlags) < 0) {
        std::fprintf(stderr, "SDL fucked joo: \"%s\"\n", SDL_GetError());
        demo_exit(1);
    }
    demo_check(display_open(&display, "wubdrafle", 512, 384, options.window ? 0 : fullscreenFlag,
                            options.zoom));

    if (BASS_GetVersion() != expectedVersion && BASS_ErrorGetCode() != 0)
        demo_bass_failure("BASS version 1.8 was not loaded");
    if (!BASS_Init(-1, 44100, 0, nullptr)) {
        std::fprintf(stderr, "Bass could not open sound device. Using no sound.\n");
        if (!BASS_Init(-2, 44100, 0, nullptr) && BASS_ErrorGetCode() != 0)
            demo_bass_failure("That didn't work either.");
    }
    stream = BASS_StreamCreateFile(0, musicPath, 0, 0, 0);
    if (stream == 0 && BASS_ErrorGetCode() != 0)
        demo_bass_failure(
            (std::string("Can't play the mp3! It should be at ") + musicPath).c_str());

    show_wait_screen();
    load_assets();
    platform::milestone("loaded");
    linkResources(engine);
    platform::milestone("linked");
    Show show;
    platform::milestone("effects");

    if (!BASS_Start() && BASS_ErrorGetCode() != 0)
        demo_bass_failure("Failed to start digital sound output");
    // A show started later begins its music there.
    if (options.hasFrom && !BASS_ChannelSetPosition(stream, demo_position_at(options.from)) &&
        BASS_ErrorGetCode() != 0)
        demo_bass_failure("Failed to set the playing position");
    if (!BASS_StreamPlay(stream, 0, playFlags) && BASS_ErrorGetCode() != 0)
        demo_bass_failure("Failed to start playing file");
    if (options.hasFrom)
        demo_clock_restart();
    platform::milestone("playing");

    show.run(options.hasFrom);
    demo_exit(0);
}
