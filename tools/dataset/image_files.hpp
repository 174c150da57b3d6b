#pragma once
// Writers for the image formats of the data set, and the catalogue of everything written
// (the contact sheet is drawn from it).

#include "canvas.hpp"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace dataset {

// A palettised picture: one index per pixel into 256 entries of 0xRRGGBB.
struct Indexed {
    int width = 0, height = 0;
    std::vector<uint8_t> indices;
    std::array<uint32_t, 256> palette{};

    Canvas expanded() const;
};

// Median cut to `colours` entries (at most 256), nearest-colour mapping, no dithering;
// entries from `colours` to 255 stay black.
Indexed quantise(const Canvas& canvas, int colours);

// Truecolour 8-bit channels, rounded with a faint ordered dither that hides banding in
// gradients and still tiles for power-of-two sizes.
std::vector<uint8_t> toBytes(const Canvas& canvas, bool alpha);

// Each returns false when the file cannot be written. The picture is recorded in the
// catalogue under `path` as it will be seen after loading.
bool writePng(const std::string& path, const Canvas& canvas, bool alpha);
bool writeJpeg(const std::string& path, const Canvas& canvas, int quality = 92);
bool writeGif(const std::string& path, const Indexed& image);
bool writePcx(const std::string& path, const Indexed& image);

struct CatalogueEntry {
    std::string path;
    Canvas picture;
};
// Everything written so far, in path order.
std::vector<CatalogueEntry> catalogue();

} // namespace dataset
