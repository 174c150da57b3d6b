#pragma once
// The demo program's entry, its ways out and its program-wide state.

#include "demo/options.hpp"
#include "engine/core/engine.hpp"
#include "engine/core/surface.hpp"
#include "platform/bass.hpp"

#include <SDL/SDL.h>

extern korvid::Engine engine;   // owns every loaded image, material, mesh and scene
extern korvid::Surface display; // bound to the window system's screen
extern HSTREAM stream;          // the soundtrack, 0 for none
extern SDL_Event event;         // reused by every poll

// The whole program: start-up, loading, the show, and the orderly exit; the options say
// how it meets the viewer (the data folder is the caller's: the working folder).
[[noreturn]] void demo_main(const DemoOptions& options = DemoOptions());

// The one teardown, then exit with `status`: free the audio library, release every
// engine object, close the display, quit the window system.
[[noreturn]] void demo_exit(int status);

// A non-zero engine code ends the program with its message (and, for code 25, the
// window system's own text) and status 1.
void demo_check(korvid::Error code);

// A failure of the audio library: its text, the library's error code, status 1.
[[noreturn]] void demo_bass_failure(const char* text);

// Opens the window system's screen, `zoom` times the width and height, and makes `target`
// the Display: bound to the screen at zoom 1, else a surface of its own that each present
// enlarges into the screen.
korvid::Error display_open(korvid::Surface* target, const char* caption, int width, int height,
                           uint32_t flags, int32_t zoom = 1);
korvid::Error display_close();
// Presents the Display, retrying a failed present up to 10 attempts, 100 ms apart.
korvid::Error display_flip();
// Switches the screen between window and fullscreen, in place where the window system can,
// else by setting the video mode again; the Display stays valid either way.
korvid::Error display_toggle_fullscreen();
