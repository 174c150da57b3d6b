// The host for the page: the program hands control to the browser whenever it waits
// (Asyncify unwinds it at web_page_sleep and resumes it after), and the canvas, the keys
// and the progress bar are the page script's (page_library.js).

#include "host/host.hpp"

#include <emscripten.h>

#include <vector>

extern "C" {
// In page_library.js.
void web_page_sleep(uint32_t ms);
void web_page_draw(const uint8_t* rgba, int width, int height);
void web_page_progress(double fraction);
int web_page_next_key(int* symbol, int* down);
}

namespace {

// A program that never waits gets the page's turn at most this often.
constexpr double turnEveryMs = 50.0;
double lastTurn = 0;

std::vector<uint32_t> rgba;

} // namespace

// A page has no terminal: the tools' progress bars stay off.
extern "C" int isatty(int) {
    return 0;
}

void web_present(const uint32_t* pixels, int width, int height, int pitch) {
    // The canvas takes bytes red, green, blue, alpha: 0x00RRGGBB becomes 0xFFBBGGRR.
    rgba.resize(size_t(width) * size_t(height));
    uint32_t* out = rgba.data();
    for (int y = 0; y < height; ++y, pixels += pitch)
        for (int x = 0; x < width; ++x) {
            const uint32_t p = pixels[x];
            *out++ = 0xFF000000u | (p & 0x0000FF00u) | (p >> 16 & 0xFFu) | (p & 0xFFu) << 16;
        }
    web_page_draw(reinterpret_cast<const uint8_t*>(rgba.data()), width, height);
}

void web_sleep(uint32_t ms) {
    web_page_sleep(ms);
    lastTurn = emscripten_get_now();
}

void web_offer_turn() {
    if (emscripten_get_now() - lastTurn >= turnEveryMs)
        web_sleep(0);
}

bool web_next_key(int* symbol, bool* down) {
    int pressed = 0;
    if (!web_page_next_key(symbol, &pressed))
        return false;
    *down = pressed != 0;
    return true;
}

void web_decoding_progress(double fraction) {
    web_page_progress(fraction);
    web_offer_turn();
}
