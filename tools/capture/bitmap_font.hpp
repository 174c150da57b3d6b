#pragma once
// A small bitmap font (5 by 8 pixels a letter: lower case, digits and a little
// punctuation; upper case is drawn as lower case) for labels on the tools' pictures.

#include <cstdint>
#include <string>

// Pixels from one letter to the next, at scale 1.
constexpr int glyphAdvance = 6;
// Rows a line of text takes, at scale 1.
constexpr int glyphHeight = 8;

// Draws `text` with its top-left corner at (x, y), every font pixel a `scale` by `scale`
// block of `colour`; what falls outside width x height is left out.
void drawText(uint32_t* pixels, int width, int height, int pitch, int x, int y,
              const std::string& text, uint32_t colour, int scale = 1);
