// Events and the keyboard: the keys the host reports become SDL 1.2 key events, queued
// for SDL_PollEvent, and the state array that SDL_GetKeyState returns. Nothing else
// happens in a page that a program of the show would poll for.

#include "host/host.hpp"

#include <SDL/SDL.h>

#include <deque>

namespace {

Uint8 keyState[SDLK_LAST] = {};
std::deque<SDL_Event> queue;

} // namespace

void SDL_PumpEvents() {
    int symbol = 0;
    bool down = false;
    while (web_next_key(&symbol, &down)) {
        if (symbol <= SDLK_UNKNOWN || symbol >= SDLK_LAST)
            continue;
        keyState[symbol] = down ? SDL_PRESSED : SDL_RELEASED;
        SDL_Event event{};
        event.key.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.state = keyState[symbol];
        event.key.keysym.sym = SDLKey(symbol);
        queue.push_back(event);
    }
}

int SDL_PollEvent(SDL_Event* event) {
    SDL_PumpEvents();
    if (queue.empty())
        return 0;
    if (event) {
        *event = queue.front();
        queue.pop_front();
    }
    return 1;
}

int SDL_PushEvent(SDL_Event* event) {
    queue.push_back(*event);
    return 0;
}

Uint8* SDL_GetKeyState(int* count) {
    if (count)
        *count = SDLK_LAST;
    return keyState;
}

SDLMod SDL_GetModState() {
    return KMOD_NONE;
}

int SDL_EnableKeyRepeat(int, int) {
    return 0;
}
