// PNG through libpng with SDL_image 1.2's settings: 16-bit channels cut to 8, fewer bits
// spread to one byte a pixel, grey expanded to 0..255 with a grey palette, grey with
// alpha made RGBA; one fully transparent palette entry (or a transparent colour of a
// truecolour image) becomes the colour key, other transparency an alpha channel.
// Palette images stay 8-bit with their palette, truecolour ones are 24 or 32 bits with red
// in the low byte.

#include "image_file.hpp"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <vector>

namespace sdl_layer {

namespace {

struct Source {
    const FileBytes* file;
    size_t at;
};

// A read past the end leaves the buffer as it was, as SDL's file reads do: libpng then
// finds the damage itself.
void readData(png_structp png, png_bytep area, png_size_t size) {
    auto* source = static_cast<Source*>(png_get_io_ptr(png));
    const size_t left = source->file->size() - source->at;
    const size_t n = size < left ? size : left;
    std::memcpy(area, source->file->data() + source->at, n);
    source->at += n;
}

} // namespace

bool isPng(const FileBytes& file) {
    return file.size() >= 4 && file[0] == 0x89 && file[1] == 'P' && file[2] == 'N' &&
           file[3] == 'G';
}

SDL_Surface* loadPng(const FileBytes& file) {
    // Errors print libpng's own line on standard error, as in SDL_image's use of it.
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) {
        SDL_SetError("Couldn't allocate memory for PNG file or incompatible PNG dll");
        return nullptr;
    }
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        SDL_SetError("Couldn't create image information for PNG file");
        return nullptr;
    }
    Source source{&file, 0};
    SDL_Surface* volatile surface = nullptr;
    std::vector<png_bytep> rows;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        SDL_FreeSurface(surface);
        SDL_SetError("Error reading the PNG file.");
        return nullptr;
    }
    png_set_read_fn(png, &source, readData);
    png_read_info(png, info);
    png_uint_32 width = 0, height = 0;
    int bitDepth = 0, colourType = 0, interlace = 0;
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colourType, &interlace, nullptr, nullptr);
    png_set_strip_16(png);
    png_set_interlace_handling(png);
    png_set_packing(png);
    if (colourType == PNG_COLOR_TYPE_GRAY)
        png_set_expand(png);

    int key = -1;
    png_color_16p transparentColour = nullptr;
    if (png_get_valid(png, info, PNG_INFO_tRNS)) {
        png_bytep alphas = nullptr;
        int alphaCount = 0;
        png_get_tRNS(png, info, &alphas, &alphaCount, &transparentColour);
        if (colourType == PNG_COLOR_TYPE_PALETTE) {
            // Exactly one entry fully transparent and every other opaque: a colour key.
            int transparent = -1, i = 0;
            for (; i < alphaCount; ++i) {
                if (alphas[i] == 0) {
                    if (transparent >= 0)
                        break;
                    transparent = i;
                } else if (alphas[i] != 255) {
                    break;
                }
            }
            if (i == alphaCount)
                key = transparent;
            else
                png_set_expand(png);
        } else {
            key = 0;
        }
    }
    if (colourType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    png_read_update_info(png, info);
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colourType, &interlace, nullptr, nullptr);

    const int channels = png_get_channels(png, info);
    Uint32 rMask = 0, gMask = 0, bMask = 0, aMask = 0;
    if (channels >= 3) {
        rMask = 0x000000FF;
        gMask = 0x0000FF00;
        bMask = 0x00FF0000;
        aMask = channels == 4 ? 0xFF000000 : 0;
    }
    surface = SDL_CreateRGBSurface(SDL_SWSURFACE, int(width), int(height), bitDepth * channels,
                                   rMask, gMask, bMask, aMask);
    if (!surface) {
        png_destroy_read_struct(&png, &info, nullptr);
        return nullptr;
    }
    if (key != -1) {
        // A truecolour key is the transparent colour's low bytes.
        if (colourType != PNG_COLOR_TYPE_PALETTE)
            key = int(SDL_MapRGB(surface->format, Uint8(transparentColour->red),
                                 Uint8(transparentColour->green), Uint8(transparentColour->blue)));
        SDL_SetColorKey(surface, SDL_SRCCOLORKEY, Uint32(key));
    }
    rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y)
        rows[y] = static_cast<png_bytep>(surface->pixels) + y * surface->pitch;
    png_read_image(png, rows.data());

    if (SDL_Palette* palette = surface->format->palette) {
        if (colourType == PNG_COLOR_TYPE_GRAY) {
            palette->ncolors = 256;
            for (int i = 0; i < 256; ++i)
                palette->colors[i] = SDL_Color{Uint8(i), Uint8(i), Uint8(i), 0};
        } else {
            png_colorp colours = nullptr;
            int count = 0;
            png_get_PLTE(png, info, &colours, &count);
            if (count > 0) {
                palette->ncolors = count;
                for (int i = 0; i < count; ++i)
                    palette->colors[i] =
                        SDL_Color{colours[i].red, colours[i].green, colours[i].blue, 0};
            }
        }
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return surface;
}

} // namespace sdl_layer
