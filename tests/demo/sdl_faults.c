/* Preloaded into the demo program by tests to make the window system fail on demand:
 * KORVID_FAULT=video_mode makes SDL_SetVideoMode fail, KORVID_FAULT=flip every SDL_Flip,
 * KORVID_FAULT=flip=N the first N of them, KORVID_FAULT=quit makes every SDL_PollEvent
 * report the window's quit event, and KORVID_FAULT=audio_48k makes the sound device say it
 * opened at 48000 Hz when asked what it took, as SDL 1.2 does on a device that plays
 * nothing else. KORVID_FAULT=toggle makes SDL_WM_ToggleFullScreen fail, as on window systems
 * that cannot switch a window in place. With KORVID_SDL_LOG=FILE it also notes in FILE, a
 * line each, every SDL_Init ("init"), every video mode asked for ("video WxH fullscreen" or
 * "window", and the layer's vsync setting then) and every switch asked for ("toggle" and the
 * result). */
#ifndef _GNU_SOURCE
#define _GNU_SOURCE
#endif
#include <SDL/SDL.h>
#include <dlfcn.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int fault(const char* name) {
    const char* value = getenv("KORVID_FAULT");
    return value && strcmp(value, name) == 0;
}

static void note(const char* format, ...) {
    const char* path = getenv("KORVID_SDL_LOG");
    FILE* log = path ? fopen(path, "a") : NULL;
    if (!log)
        return;
    va_list values;
    va_start(values, format);
    vfprintf(log, format, values);
    va_end(values);
    fclose(log);
}

int SDL_Init(Uint32 flags) {
    note("init\n");
    int (*real)(Uint32) = (int (*)(Uint32))dlsym(RTLD_NEXT, "SDL_Init");
    return real(flags);
}

SDL_Surface* SDL_SetVideoMode(int width, int height, int bpp, Uint32 flags) {
    const char* vsync = getenv("SDL12COMPAT_SYNC_TO_VBLANK");
    note("video %dx%d %s vsync=%s\n", width, height,
         (flags & SDL_FULLSCREEN) ? "fullscreen" : "window", vsync ? vsync : "unset");
    if (fault("video_mode")) {
        SDL_SetError("no video mode for the test");
        return NULL;
    }
    SDL_Surface* (*real)(int, int, int, Uint32) =
        (SDL_Surface * (*)(int, int, int, Uint32)) dlsym(RTLD_NEXT, "SDL_SetVideoMode");
    return real(width, height, bpp, flags);
}

int SDL_WM_ToggleFullScreen(SDL_Surface* screen) {
    int (*real)(SDL_Surface*) = (int (*)(SDL_Surface*))dlsym(RTLD_NEXT, "SDL_WM_ToggleFullScreen");
    const int result = fault("toggle") ? 0 : real(screen);
    note("toggle %d\n", result);
    return result;
}

int SDL_Flip(SDL_Surface* screen) {
    static long flips = 0;
    const char* value = getenv("KORVID_FAULT");
    const int counted = value && strncmp(value, "flip=", 5) == 0 && flips++ < atol(value + 5);
    if (fault("flip") || counted) {
        SDL_SetError("no present for the test");
        return -1;
    }
    int (*real)(SDL_Surface*) = (int (*)(SDL_Surface*))dlsym(RTLD_NEXT, "SDL_Flip");
    return real(screen);
}

/* KORVID_FAULT=quit_after=N reports the quit event once N polls have found no event: a
 * frame polls until none is left, so N = 1 quits at the first frame after the wait
 * screen, once everything is loaded. */
int SDL_PollEvent(SDL_Event* event) {
    static long idle = 0;
    const char* value = getenv("KORVID_FAULT");
    const int late = value && strncmp(value, "quit_after=", 11) == 0 && idle >= atol(value + 11);
    if (fault("quit") || late) {
        if (event)
            event->type = SDL_QUIT;
        return 1;
    }
    int (*real)(SDL_Event*) = (int (*)(SDL_Event*))dlsym(RTLD_NEXT, "SDL_PollEvent");
    const int result = real(event);
    idle += !result;
    return result;
}

int SDL_OpenAudio(SDL_AudioSpec* desired, SDL_AudioSpec* obtained) {
    int (*real)(SDL_AudioSpec*, SDL_AudioSpec*) =
        (int (*)(SDL_AudioSpec*, SDL_AudioSpec*))dlsym(RTLD_NEXT, "SDL_OpenAudio");
    const int result = real(desired, obtained);
    if (result == 0 && obtained && fault("audio_48k"))
        obtained->freq = 48000;
    return result;
}
