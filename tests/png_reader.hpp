#pragma once
// Reads PNG files written by the tools back into 0xAARRGGBB pixels.

#include <png.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct Image {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
};

// An empty image when the file cannot be read.
inline Image readPng(const std::string& path) {
    Image image;
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str()))
        return image;
    png.format = PNG_FORMAT_BGRA; // little-endian 0xAARRGGBB words
    std::vector<uint32_t> pixels(size_t(png.width) * png.height);
    if (!png_image_finish_read(&png, nullptr, pixels.data(), 0, nullptr)) {
        png_image_free(&png);
        return image;
    }
    image.width = int(png.width);
    image.height = int(png.height);
    image.pixels = std::move(pixels);
    return image;
}
