#include "png_file.hpp"

#include "engine/core/surface.hpp"

#include <png.h>

#include <cstdio>
#include <vector>

namespace {

// libpng reports errors by longjmp; every object that must be released on that path is
// created before setjmp and released after it.
bool writeRows(std::FILE* file, const std::vector<png_bytep>& rows, int32_t width, int32_t height) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, const_cast<png_bytepp>(rows.data()));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

bool writePng(korvid::Surface& surface, const std::string& path) {
    uint32_t* pixels = nullptr;
    int32_t pitch = 0;
    if (surface.lock(pixels, pitch) != korvid::errNone) return false;
    const int32_t width = surface.width, height = surface.height;
    std::vector<png_byte> rgb(size_t(width) * size_t(height) * 3);
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    for (int32_t y = 0; y < height; ++y) {
        png_bytep row = &rgb[size_t(y) * size_t(width) * 3];
        rows[size_t(y)] = row;
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t p = pixels[y * pitch + x];
            row[x * 3] = png_byte(p >> 16);
            row[x * 3 + 1] = png_byte(p >> 8);
            row[x * 3 + 2] = png_byte(p);
        }
    }
    surface.unlock();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = writeRows(file, rows, width, height);
    return std::fclose(file) == 0 && written;
}
