#include "demo/effects/effect_images.hpp"

#include "engine/core/image.hpp"
#include "engine/core/surface.hpp"

#include <algorithm>
#include <cstring>

using korvid::Error;
using korvid::Surface;

namespace {

constexpr int32_t mapSide = 256;

// Copies width x height pixels of the surface, row by row, into `out`.
template <class Pixel>
Error copyPixels(Surface& image, std::vector<Pixel>& out) {
    Pixel* pixels = nullptr;
    int32_t pitch = 0;
    if (!effects::resizeNoThrow(out, size_t(image.width) * size_t(image.height)))
        return korvid::errMemory;
    const Error code = image.lock(pixels, pitch);
    if (code != korvid::errNone)
        return code;
    for (int32_t y = 0; y < image.height; ++y)
        std::memcpy(out.data() + size_t(y) * size_t(image.width), pixels + y * pitch,
                    size_t(image.width) * sizeof(Pixel));
    image.unlock();
    return korvid::errNone;
}

// Loads `path` into `image`, checks that it is a 256 x 256 surface of `storage` (the
// effects address their images with 8-bit masks) and copies its pixels into `out`.
template <class Image>
Error loadSquare(const std::string& path, korvid::SurfaceStorage storage, Surface& image,
                 Image& out) {
    Error code = korvid::loadImage(&image, path, false);
    if (code != korvid::errNone)
        return code;
    if (image.storage != storage || image.width != mapSide || image.height != mapSide)
        return korvid::errIllegalSurfaceUsage;
    code = copyPixels(image, out.pixels);
    if (code != korvid::errNone)
        return code;
    out.width = image.width;
    out.height = image.height;
    return korvid::errNone;
}

} // namespace

Error load_twister_map(const std::string& path, PixelImage& out) {
    Surface image;
    return loadSquare(path, korvid::storage32, image, out);
}

Error load_twister_images(const std::string& specPath, const std::string& lightPath,
                          const std::string& heightPath, const std::string& colourPath,
                          TwisterImages& out) {
    Error code = load_twister_map(specPath, out.spec);
    if (code == korvid::errNone)
        code = load_twister_map(lightPath, out.light);
    if (code == korvid::errNone)
        code = load_twister_map(heightPath, out.height);
    if (code == korvid::errNone)
        code = load_twister_map(colourPath, out.colour);
    return code;
}

Error load_tunnel_image(const std::string& path, IndexedImage& out) {
    Surface image;
    const Error code = loadSquare(path, korvid::storage8, image, out);
    if (code != korvid::errNone)
        return code;
    out.palette.fill(0);
    std::copy_n(image.palette.begin(), std::min(image.palette.size(), out.palette.size()),
                out.palette.begin());
    return korvid::errNone;
}
