#include "tools/common/png_writer.hpp"

#include <png.h>

#include <cstdio>
#include <vector>

namespace tools {

bool writePng(const std::string& path, const uint32_t* pixels, int width, int height, int pitch,
              bool alpha, int compression) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_compression_level(png, compression);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8,
                 alpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> row(size_t(width) * 4);
    for (int y = 0; y < height; ++y) {
        png_byte* out = row.data();
        for (const uint32_t* p = pixels + size_t(y) * size_t(pitch);
             out < row.data() + size_t(width) * (alpha ? 4 : 3); ++p) {
            *out++ = png_byte(*p >> 16);
            *out++ = png_byte(*p >> 8);
            *out++ = png_byte(*p);
            if (alpha)
                *out++ = png_byte(*p >> 24);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

} // namespace tools
