// korvid_icon DATA OUT SIZE...: the desktop icon, drawn from the data set's own sun over
// the grid (img/bgfx1.png). The picture's middle square is reduced to SIZE x SIZE, each
// icon pixel the mean of a block of picture pixels, with rounded corners whose edge is
// as soft as the share of the block inside them. Written as OUT/SIZE/korvid.png.
#include "tools/common/png_writer.hpp"

#include <SDL/SDL.h>
#include <SDL/SDL_image.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr const char* sourcePath = "/img/bgfx1.png";

// Whether the centre of picture pixel (x, y) lies inside a square of `side` pixels whose
// corners are rounded with `radius`: its distance from the nearest point of the square
// shrunk by the radius.
bool insideRoundedSquare(int x, int y, int side, int radius) {
    const double px = x + 0.5, py = y + 0.5;
    const double cx = px < radius ? radius : (px > side - radius ? side - radius : px);
    const double cy = py < radius ? radius : (py > side - radius ? side - radius : py);
    return (px - cx) * (px - cx) + (py - cy) * (py - cy) <= double(radius) * radius;
}

// The icon of `size` pixels from the square of `side` pixels at `square`, rows `pitch`
// pixels apart. `side` is a multiple of `size`, so every block has the same k x k pixels.
std::vector<uint32_t> reduce(const uint32_t* square, int pitch, int side, int size) {
    const int k = side / size, radius = side / 6;
    std::vector<uint32_t> icon(size_t(size) * size);
    for (int iy = 0; iy < size; ++iy)
        for (int ix = 0; ix < size; ++ix) {
            uint32_t r = 0, g = 0, b = 0, inside = 0;
            for (int y = iy * k; y < (iy + 1) * k; ++y)
                for (int x = ix * k; x < (ix + 1) * k; ++x) {
                    if (!insideRoundedSquare(x, y, side, radius))
                        continue;
                    const uint32_t p = square[size_t(y) * pitch + x];
                    r += (p >> 16) & 0xFF;
                    g += (p >> 8) & 0xFF;
                    b += p & 0xFF;
                    ++inside;
                }
            if (!inside)
                continue;
            // Means rounded to nearest; the colour is that of the covered pixels alone, as
            // PNG's alpha is not premultiplied.
            const uint32_t all = uint32_t(k * k), half = inside / 2;
            const uint32_t alpha = (inside * 255 + all / 2) / all;
            icon[size_t(iy) * size + ix] = alpha << 24 | (r + half) / inside << 16 |
                                           (g + half) / inside << 8 | (b + half) / inside;
        }
    return icon;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: korvid_icon DATA OUT SIZE...\n");
        return 1;
    }
    const std::string source = std::string(argv[1]) + sourcePath;
    SDL_Surface* image = IMG_Load(source.c_str());
    SDL_PixelFormat format{};
    format.BitsPerPixel = 32;
    format.BytesPerPixel = 4;
    format.Rmask = 0x00FF0000;
    format.Gmask = 0x0000FF00;
    format.Bmask = 0x000000FF;
    format.Rshift = 16;
    format.Gshift = 8;
    format.alpha = 255;
    SDL_Surface* picture = image ? SDL_ConvertSurface(image, &format, SDL_SWSURFACE) : nullptr;
    SDL_FreeSurface(image);
    if (!picture || SDL_LockSurface(picture) != 0) {
        std::fprintf(stderr, "korvid_icon: cannot read %s: %s\n", source.c_str(), SDL_GetError());
        return 1;
    }
    const int side = picture->w < picture->h ? picture->w : picture->h;
    const int pitch = picture->pitch / 4;
    const uint32_t* square = static_cast<const uint32_t*>(picture->pixels) +
                             (picture->h - side) / 2 * pitch + (picture->w - side) / 2;
    int status = 0;
    for (int i = 3; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        if (size < 1 || side % size) {
            std::fprintf(stderr, "korvid_icon: %s does not divide the picture's %d pixels\n",
                         argv[i], side);
            status = 1;
            continue;
        }
        const std::vector<uint32_t> icon = reduce(square, pitch, side, size);
        const std::string folder = std::string(argv[2]) + "/" + argv[i];
        std::filesystem::create_directories(folder);
        if (!tools::writePng(folder + "/korvid.png", icon.data(), size, size, size, true, 9)) {
            std::fprintf(stderr, "korvid_icon: cannot write into %s\n", folder.c_str());
            status = 1;
        }
    }
    SDL_UnlockSurface(picture);
    SDL_FreeSurface(picture);
    return status;
}
