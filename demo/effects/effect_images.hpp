#pragma once
// The images the effects read for themselves: each file is loaded through a temporary
// engine Surface and its pixels (and palette) copied into plain owned buffers.

#include "demo/effects/support.hpp"
#include "engine/core/errors.hpp"

#include <cstdint>
#include <string>
#include <vector>

// 32-bit pixels, rows of `width`.
struct PixelImage {
    int32_t width = 0, height = 0;
    std::vector<uint32_t> pixels;
};

// 8-bit palette indices, rows of `width`, and 256 palette entries (missing ones are 0).
struct IndexedImage {
    int32_t width = 0, height = 0;
    std::vector<uint8_t> pixels;
    Palette palette{};
};

// The four maps of one twister, in the order the timeline loads them.
struct TwisterImages {
    PixelImage spec, light, height, colour;
};

// The load's own code when the file cannot be read (25 for a missing file), 12 ("illegal
// surface usage") unless the image is 256 x 256 with 32-bit pixels, 2 when memory runs out.
korvid::Error load_twister_map(const std::string& path, PixelImage& out);

// Loads the four maps in order; the first failure's code.
korvid::Error load_twister_images(const std::string& specPath, const std::string& lightPath,
                                  const std::string& heightPath, const std::string& colourPath,
                                  TwisterImages& out);

// As load_twister_map, but 12 unless the image is 256 x 256 with 8-bit pixels.
korvid::Error load_tunnel_image(const std::string& path, IndexedImage& out);
