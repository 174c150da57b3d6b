#pragma once
// Writes small RGBA PNG files for image-loading tests.

#include <png.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// `pixels` are 0xAARRGGBB, row by row; `alpha` decides whether the file has an alpha channel.
inline bool writePng(const std::string& path, int w, int h, const std::vector<uint32_t>& pixels,
                     bool alpha) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, png_uint_32(w), png_uint_32(h), 8,
                 alpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<uint8_t> row(size_t(w) * 4);
    for (int y = 0; y < h; ++y) {
        uint8_t* out = row.data();
        for (int x = 0; x < w; ++x) {
            const uint32_t p = pixels[size_t(y) * size_t(w) + size_t(x)];
            *out++ = uint8_t(p >> 16);
            *out++ = uint8_t(p >> 8);
            *out++ = uint8_t(p);
            if (alpha)
                *out++ = uint8_t(p >> 24);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    return true;
}
