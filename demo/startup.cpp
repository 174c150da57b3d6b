// Start-up, the display, and the one teardown every way out of the program runs.

#include "demo/assets.hpp"
#include "demo/clock.hpp"
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

Error display_open(Surface* target, const char* caption, int width, int height, uint32_t flags) {
    if (!target)
        return errInvalidCall;
    // The caption is accepted and not applied: the window gets none.
    SDL_Surface* screen = SDL_SetVideoMode(width, height, 32, flags);
    if (!screen)
        return errSdl;
    const Error code = target->bindScreen(screen);
    if (code != errNone)
        return code;
    SDL_ShowCursor(0);
    return errNone;
}

// SDL_Quit releases the screen.
Error display_close() {
    return errNone;
}

Error display_flip() {
    for (int attempt = 1;; ++attempt) {
        if (platform::present(display.sdlSurface) >= 0)
            return errNone;
        if (attempt == 10)
            return errSdl;
        platform::delay(100);
    }
}

void demo_main() {
    if (SDL_Init(initFlags) < 0) {
        std::fprintf(stderr, "SDL fucked joo: \"%s\"\n", SDL_GetError());
        demo_exit(1);
    }
    demo_check(display_open(&display, "wubdrafle", 512, 384, fullscreenFlag));

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
    if (!BASS_StreamPlay(stream, 0, playFlags) && BASS_ErrorGetCode() != 0)
        demo_bass_failure("Failed to start playing file");
    platform::milestone("playing");

    show.run();
    demo_exit(0);
}
