// Initialisation, the video mode, the window's presents, the clock and the error text.
// The screen is a surface in memory like any other, 32 bits with red, green and blue in
// the low three bytes, as a 32-bit SDL 1.2 display; SDL_Flip hands it to the host.

#include "host/host.hpp"

#include <SDL/SDL.h>

#include <emscripten.h>

#include <cstdarg>
#include <cstdio>

namespace {

SDL_Surface* screen = nullptr;
double startMs = 0;
char errorText[512] = "";

} // namespace

int SDL_Init(Uint32) {
    startMs = emscripten_get_now();
    return 0;
}

int SDL_InitSubSystem(Uint32) {
    return 0;
}

void SDL_QuitSubSystem(Uint32) {}

Uint32 SDL_WasInit(Uint32 flags) {
    return flags;
}

void SDL_Quit() {
    SDL_Surface* old = screen;
    screen = nullptr;
    SDL_FreeSurface(old);
}

SDL_Surface* SDL_SetVideoMode(int width, int height, int bitsPerPixel, Uint32 flags) {
    if (bitsPerPixel != 0 && bitsPerPixel != 32) {
        SDL_SetError("Only 32-bit video modes are supported");
        return nullptr;
    }
    SDL_Surface* mode =
        SDL_CreateRGBSurface(0, width, height, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0);
    if (!mode)
        return nullptr;
    mode->flags |= flags & SDL_FULLSCREEN;
    SDL_Quit();
    screen = mode;
    return screen;
}

SDL_Surface* SDL_GetVideoSurface() {
    return screen;
}

int SDL_Flip(SDL_Surface* surface) {
    if (!surface || surface != screen) {
        SDL_SetError("SDL_Flip: not the video surface");
        return -1;
    }
    web_present(static_cast<const uint32_t*>(surface->pixels), surface->w, surface->h,
                surface->pitch / 4);
    return 0;
}

void SDL_UpdateRect(SDL_Surface* surface, Sint32, Sint32, Uint32, Uint32) {
    SDL_Flip(surface);
}

int SDL_ShowCursor(int) {
    return 0;
}

void SDL_WM_SetCaption(const char*, const char*) {}

Uint32 SDL_GetTicks() {
    return Uint32(emscripten_get_now() - startMs);
}

void SDL_Delay(Uint32 ms) {
    // A delay of 0 only yields, as SDL 1.2's does: the page gets its turn when it is due.
    if (ms == 0)
        web_offer_turn();
    else
        web_sleep(ms);
}

void SDL_SetError(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(errorText, sizeof errorText, format, arguments);
    va_end(arguments);
}

char* SDL_GetError() {
    return errorText;
}

void SDL_ClearError() {
    errorText[0] = '\0';
}

void SDL_Error(SDL_errorcode code) {
    SDL_SetError(code == SDL_ENOMEM ? "Out of memory" : "Unknown SDL error");
}
