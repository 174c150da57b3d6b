#pragma once
// The demo program's entry, its ways out and its program-wide state.

#include "engine/core/engine.hpp"
#include "engine/core/surface.hpp"
#include "platform/bass.hpp"

#include <SDL/SDL.h>

extern korvid::Engine engine;   // owns every loaded image, material, mesh and scene
extern korvid::Surface display; // bound to the window system's screen
extern HSTREAM stream;          // the soundtrack, 0 for none
extern SDL_Event event;         // reused by every poll

// The whole program: start-up, loading, the show, and the orderly exit.
[[noreturn]] void demo_main();

// The one teardown, then exit with `status`: free the audio library, release every
// engine object, close the display, quit the window system.
[[noreturn]] void demo_exit(int status);

// A non-zero engine code ends the program with its message (and, for code 25, the
// window system's own text) and status 1.
void demo_check(korvid::Error code);

// A failure of the audio library: its text, the library's error code, status 1.
[[noreturn]] void demo_bass_failure(const char* text);

korvid::Error display_open(korvid::Surface* target, const char* caption, int width, int height,
                           uint32_t flags);
korvid::Error display_close();
// Presents the Display, retrying a failed present up to 10 attempts, 100 ms apart.
korvid::Error display_flip();
