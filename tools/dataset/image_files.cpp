#include "image_files.hpp"

#include <fcntl.h>
#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <mutex>

namespace dataset {

namespace {

std::mutex catalogueGuard;
std::map<std::string, Canvas> written;

void record(const std::string& path, Canvas picture) {
    std::lock_guard<std::mutex> lock(catalogueGuard);
    written[path] = std::move(picture);
}

// Bayer 8x8 thresholds, centred on zero, in units of one 8-bit step.
float ditherAt(int x, int y) {
    static const uint8_t bayer[8][8] = {
        {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
        {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
        {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
        {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21}};
    return (float(bayer[y & 7][x & 7]) + 0.5f) / 64.0f - 0.5f;
}

uint8_t toByte(float v, float dither) {
    const float scaled = clamp01(v) * 255.0f + dither * 0.75f;
    return uint8_t(std::min(255.0f, std::max(0.0f, std::round(scaled))));
}

// Canvas as the loaded file will show it: rounded to 8 bits per channel.
Canvas roundTrip(const std::vector<uint8_t>& bytes, int width, int height, bool alpha) {
    Canvas out(width, height);
    const int channels = alpha ? 4 : 3;
    for (size_t i = 0; i < out.pixels.size(); ++i) {
        const uint8_t* p = &bytes[i * size_t(channels)];
        out.pixels[i] = {p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f, alpha ? p[3] / 255.0f : 1.0f};
    }
    return out;
}

struct Box {
    std::vector<uint32_t> colours; // 0xRRGGBB
    int longest = 0;               // channel shift (16, 8, 0) with the widest range
    int range = 0;
};

void measure(Box& box) {
    int lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0};
    for (uint32_t c : box.colours)
        for (int k = 0; k < 3; ++k) {
            const int v = int((c >> (16 - 8 * k)) & 0xFF);
            lo[k] = std::min(lo[k], v);
            hi[k] = std::max(hi[k], v);
        }
    box.range = -1;
    for (int k = 0; k < 3; ++k)
        if (hi[k] - lo[k] > box.range) {
            box.range = hi[k] - lo[k];
            box.longest = 16 - 8 * k;
        }
}

uint32_t average(const Box& box) {
    uint64_t sum[3] = {0, 0, 0};
    for (uint32_t c : box.colours)
        for (int k = 0; k < 3; ++k)
            sum[k] += (c >> (16 - 8 * k)) & 0xFF;
    const uint64_t n = std::max<uint64_t>(1, box.colours.size());
    return uint32_t((sum[0] + n / 2) / n) << 16 | uint32_t((sum[1] + n / 2) / n) << 8 |
           uint32_t((sum[2] + n / 2) / n);
}

} // namespace

Canvas Indexed::expanded() const {
    Canvas out(width, height);
    for (size_t i = 0; i < indices.size(); ++i)
        out.pixels[i] = hex(palette[indices[i]]);
    return out;
}

Indexed quantise(const Canvas& canvas, int colours) {
    Indexed out;
    out.width = canvas.width();
    out.height = canvas.height();
    const std::vector<uint8_t> bytes = toBytes(canvas, false);
    std::vector<uint32_t> pixels(canvas.pixels.size());
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] =
            uint32_t(bytes[3 * i]) << 16 | uint32_t(bytes[3 * i + 1]) << 8 | bytes[3 * i + 2];

    std::vector<Box> boxes(1);
    boxes[0].colours = pixels;
    measure(boxes[0]);
    while (int(boxes.size()) < colours) {
        // Split the box whose widest channel times population is largest.
        size_t pick = boxes.size();
        double best = 0.0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            const double score = double(boxes[i].range) * double(boxes[i].colours.size());
            if (boxes[i].colours.size() > 1 && boxes[i].range > 0 && score > best) {
                best = score;
                pick = i;
            }
        }
        if (pick == boxes.size())
            break;
        Box& box = boxes[pick];
        const int shift = box.longest;
        std::sort(box.colours.begin(), box.colours.end(), [shift](uint32_t a, uint32_t b) {
            const uint32_t ka = (a >> shift) & 0xFF, kb = (b >> shift) & 0xFF;
            return ka != kb ? ka < kb : a < b;
        });
        Box upper;
        const size_t half = box.colours.size() / 2;
        upper.colours.assign(box.colours.begin() + long(half), box.colours.end());
        box.colours.resize(half);
        measure(box);
        measure(upper);
        boxes.push_back(std::move(upper));
    }
    for (size_t i = 0; i < boxes.size(); ++i)
        out.palette[i] = average(boxes[i]);

    std::map<uint32_t, uint8_t> nearest;
    out.indices.resize(pixels.size());
    for (size_t i = 0; i < pixels.size(); ++i) {
        auto found = nearest.find(pixels[i]);
        if (found == nearest.end()) {
            int bestIndex = 0, bestDistance = 1 << 30;
            for (size_t k = 0; k < boxes.size(); ++k) {
                int d = 0;
                for (int s = 0; s < 24; s += 8) {
                    const int diff =
                        int((pixels[i] >> s) & 0xFF) - int((out.palette[k] >> s) & 0xFF);
                    d += diff * diff;
                }
                if (d < bestDistance) {
                    bestDistance = d;
                    bestIndex = int(k);
                }
            }
            found = nearest.emplace(pixels[i], uint8_t(bestIndex)).first;
        }
        out.indices[i] = found->second;
    }
    return out;
}

std::vector<uint8_t> toBytes(const Canvas& canvas, bool alpha) {
    const int channels = alpha ? 4 : 3;
    std::vector<uint8_t> bytes(canvas.pixels.size() * size_t(channels));
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) {
            const Rgba& p = canvas.at(x, y);
            const float d = ditherAt(x, y);
            uint8_t* out =
                &bytes[(size_t(y) * size_t(canvas.width()) + size_t(x)) * size_t(channels)];
            out[0] = toByte(p.r, d);
            out[1] = toByte(p.g, d);
            out[2] = toByte(p.b, d);
            if (alpha)
                out[3] = toByte(p.a, 0.0f);
        }
    return bytes;
}

bool writePng(const std::string& path, const Canvas& canvas, bool alpha) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    const std::vector<uint8_t> bytes = toBytes(canvas, alpha);
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(canvas.width()), png_uint_32(canvas.height()), 8,
                 alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const size_t rowBytes = size_t(canvas.width()) * (alpha ? 4 : 3);
    for (int y = 0; y < canvas.height(); ++y)
        png_write_row(png, &bytes[size_t(y) * rowBytes]);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    const bool ok = std::fclose(file) == 0;
    if (ok)
        record(path, roundTrip(bytes, canvas.width(), canvas.height(), alpha));
    return ok;
}

bool writeJpeg(const std::string& path, const Canvas& canvas, int quality) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = JDIMENSION(canvas.width());
    cinfo.image_height = JDIMENSION(canvas.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<uint8_t> bytes = toBytes(canvas, false);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = &bytes[size_t(cinfo.next_scanline) * size_t(canvas.width()) * 3];
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    const bool ok = std::fclose(file) == 0;
    if (ok)
        record(path, roundTrip(bytes, canvas.width(), canvas.height(), false));
    return ok;
}

bool writeGif(const std::string& path, const Indexed& image) {
    // Opened here rather than by giflib, which would leave the file readable by its owner only.
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    int error = 0;
    GifFileType* gif = EGifOpenFileHandle(fd, &error);
    if (!gif) {
        close(fd);
        return false;
    }
    GifColorType colours[256];
    for (int i = 0; i < 256; ++i) {
        colours[i].Red = GifByteType(image.palette[size_t(i)] >> 16);
        colours[i].Green = GifByteType(image.palette[size_t(i)] >> 8);
        colours[i].Blue = GifByteType(image.palette[size_t(i)]);
    }
    ColorMapObject* map = GifMakeMapObject(256, colours);
    bool ok = map && EGifPutScreenDesc(gif, image.width, image.height, 8, 0, map) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, image.width, image.height, false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < image.height; ++y) {
        auto* row = const_cast<GifPixelType*>(&image.indices[size_t(y) * size_t(image.width)]);
        ok = EGifPutLine(gif, row, image.width) == GIF_OK;
    }
    GifFreeMapObject(map);
    ok = EGifCloseFile(gif, &error) == GIF_OK && ok;
    if (ok)
        record(path, image.expanded());
    return ok;
}

bool writePcx(const std::string& path, const Indexed& image) {
    std::vector<uint8_t> out(128, 0);
    const int bytesPerLine = (image.width + 1) & ~1; // rows are padded to an even length
    auto put16 = [&](size_t at, int v) {
        out[at] = uint8_t(v & 0xFF);
        out[at + 1] = uint8_t((v >> 8) & 0xFF);
    };
    out[0] = 10; // manufacturer
    out[1] = 5;  // version 3.0 with a 256-colour palette
    out[2] = 1;  // run-length encoding
    out[3] = 8;  // bits per pixel and plane
    put16(8, image.width - 1);
    put16(10, image.height - 1);
    put16(12, 72);
    put16(14, 72);
    out[65] = 1; // planes
    put16(66, bytesPerLine);
    put16(68, 1); // colour palette
    for (int y = 0; y < image.height; ++y) {
        std::vector<uint8_t> row(size_t(bytesPerLine), 0);
        std::copy_n(&image.indices[size_t(y) * size_t(image.width)], image.width, row.begin());
        // Runs of up to 63 equal bytes; a single byte of 0xC0 or more needs a count too.
        for (size_t x = 0; x < row.size();) {
            size_t run = 1;
            while (x + run < row.size() && run < 63 && row[x + run] == row[x])
                ++run;
            if (run > 1 || row[x] >= 0xC0)
                out.push_back(uint8_t(0xC0 | run));
            out.push_back(row[x]);
            x += run;
        }
    }
    out.push_back(12); // palette marker
    for (uint32_t c : image.palette) {
        out.push_back(uint8_t(c >> 16));
        out.push_back(uint8_t(c >> 8));
        out.push_back(uint8_t(c));
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool wrote = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    const bool ok = std::fclose(file) == 0 && wrote;
    if (ok)
        record(path, image.expanded());
    return ok;
}

std::vector<CatalogueEntry> catalogue() {
    std::lock_guard<std::mutex> lock(catalogueGuard);
    std::vector<CatalogueEntry> out;
    for (const auto& [path, picture] : written)
        out.push_back({path, picture});
    return out;
}

} // namespace dataset
