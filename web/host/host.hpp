#pragma once
// What the browser build asks of the place it runs in. The page (host_page.cpp with
// page_library.js) has a canvas, the keyboard and the browser's event loop, to which a
// waiting program must hand control; node (host_node.cpp) has none of them: its programs
// run under the fixed step and never wait.

#include <cstdint>

extern "C" {

// Shows a frame of 32-bit pixels 0x00RRGGBB, `pitch` pixels from row to row.
void web_present(const uint32_t* pixels, int width, int height, int pitch);

// Waits `ms` milliseconds; in the page the browser runs meanwhile (it draws, takes
// events and plays sound only while the program waits).
void web_sleep(uint32_t ms);

// Lets the page run if it has not for a while, for a program that never waits (the fixed
// step): without it the page would hang until the program ends.
void web_offer_turn();

// The next key pressed or released since the last call: true with the SDL 1.2 key symbol
// and whether it went down; false when there is none.
bool web_next_key(int* symbol, bool* down);

// How far decoding the soundtrack has come, 0 to 1 (called by platform/decoded_stream.cpp).
void web_decoding_progress(double fraction);
}
