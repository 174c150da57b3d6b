// The host for node, where the programs run under the fixed step: there is nothing to
// show and no keyboard, and no event loop waits for a turn.

#include "host/host.hpp"

#include <emscripten.h>

// Whether descriptor `fd` is node's terminal: the C library would say so of the standard
// streams whatever they are, and the tools then draw progress bars into files and pipes.
EM_JS(int, web_node_isatty, (int fd), {
    try {
        return require('tty').isatty(fd) ? 1 : 0;
    } catch (e) {
        return 0;
    }
});

extern "C" int isatty(int fd) {
    return fd >= 0 && fd <= 2 ? web_node_isatty(fd) : 0;
}

void web_present(const uint32_t*, int, int, int) {}

// Only a failed present waits; node has no event loop to hand the time to.
void web_sleep(uint32_t ms) {
    const double until = emscripten_get_now() + ms;
    while (emscripten_get_now() < until) {
    }
}

void web_offer_turn() {}

bool web_next_key(int*, bool*) {
    return false;
}

void web_decoding_progress(double) {}
