// PCX as SDL_image 1.2 reads it: 8 bits in one plane into an 8-bit surface with the
// 256-entry palette after the marker byte 12 at the end; one to four planes of 1 bit into
// 8 bits with the header's 16 colours; three planes of 8 bits into 24 bits with red in the
// low byte. Run-length or plain rows; a file cut short fails with "file truncated".

#include "image_file.hpp"

#include <cstring>
#include <vector>

namespace sdl_layer {

namespace {

constexpr size_t headerBytes = 128;

int16_t le16(const uint8_t* p) {
    return int16_t(p[0] | p[1] << 8);
}

} // namespace

bool isPcx(const FileBytes& file) {
    // Maker ZSoft (10), version 5, run-length (1) or plain (0) rows.
    return file.size() >= headerBytes && file[0] == 10 && file[1] == 5 &&
           (file[2] == 0 || file[2] == 1);
}

SDL_Surface* loadPcx(const FileBytes& file) {
    if (file.size() < headerBytes) {
        SDL_SetError("file truncated");
        return nullptr;
    }
    const uint8_t* h = file.data();
    const int encoding = h[2], bitsPerPlane = h[3], planes = h[65];
    const int width = le16(h + 8) - le16(h + 4) + 1;
    const int height = le16(h + 10) - le16(h + 6) + 1;
    const int bytesPerLine = le16(h + 66);
    const int sourceBits = bitsPerPlane * planes;
    int bits = 0;
    Uint32 rMask = 0, gMask = 0, bMask = 0;
    if ((bitsPerPlane == 1 && planes >= 1 && planes <= 4) || (bitsPerPlane == 8 && planes == 1)) {
        bits = 8;
    } else if (bitsPerPlane == 8 && planes == 3) {
        bits = 24;
        rMask = 0x000000FF;
        gMask = 0x0000FF00;
        bMask = 0x00FF0000;
    } else {
        SDL_SetError("unsupported PCX format");
        return nullptr;
    }
    SDL_Surface* surface =
        SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, bits, rMask, gMask, bMask, 0);
    if (!surface)
        return nullptr;
    const int lineBytes = planes * bytesPerLine;
    if (lineBytes < 0 || lineBytes > surface->pitch) {
        SDL_FreeSurface(surface);
        SDL_SetError("bytes per line is too large (corrupt?)");
        return nullptr;
    }
    auto fail = [&](const char* why) {
        SDL_FreeSurface(surface);
        SDL_SetError("%s", why);
        return nullptr;
    };

    size_t at = headerBytes;
    std::vector<uint8_t> line(size_t(lineBytes) + 1);
    uint8_t* row = static_cast<uint8_t*>(surface->pixels);
    for (int y = 0; y < surface->h; ++y, row += surface->pitch) {
        // One line of every plane, straight into the row when it is already 8 bits a pixel.
        uint8_t* out = sourceBits == 8 ? row : line.data();
        if (encoding == 0) {
            if (file.size() - at < size_t(lineBytes))
                return fail("file truncated");
            std::memcpy(out, file.data() + at, size_t(lineBytes));
            at += size_t(lineBytes);
        } else {
            int run = 0;
            uint8_t value = 0;
            for (int i = 0; i < lineBytes; ++i) {
                if (run == 0) {
                    if (at >= file.size())
                        return fail("file truncated");
                    value = file[at++];
                    run = 1;
                    // Top two bits set: a count of up to 63, then the byte to repeat.
                    if ((value & 0xC0) == 0xC0) {
                        run = value & 0x3F;
                        if (at >= file.size())
                            return fail("file truncated");
                        value = file[at++];
                    }
                }
                out[i] = value;
                --run;
            }
        }
        if (sourceBits <= 4) {
            // Each plane gives one bit of every pixel's index.
            const uint8_t* in = line.data();
            for (int plane = 0; plane < planes; ++plane) {
                int x = 0;
                for (int i = 0; i < bytesPerLine; ++i) {
                    const uint8_t byte = *in++;
                    for (int bit = 7; bit >= 0; --bit)
                        if (i * 8 + bit < width)
                            row[x++] |= uint8_t(((byte >> bit) & 1) << plane);
                }
            }
        } else if (sourceBits == 24) {
            const uint8_t* in = line.data();
            for (int plane = 0; plane < planes; ++plane)
                for (int x = 0; x < width; ++x)
                    row[x * planes + plane] = *in++;
        }
    }

    if (bits == 8) {
        SDL_Palette* palette = surface->format->palette;
        palette->ncolors = 1 << sourceBits;
        if (sourceBits == 8) {
            // The palette follows the first byte 12 after the pixels; entries past the end
            // of the file stay black.
            while (true) {
                if (at >= file.size())
                    return fail("file truncated");
                if (file[at++] == 12)
                    break;
            }
            for (int i = 0; i < 256 * 3 && at < file.size(); ++i) {
                SDL_Color& c = palette->colors[i / 3];
                (i % 3 == 0 ? c.r : i % 3 == 1 ? c.g : c.b) = file[at++];
            }
        } else {
            for (int i = 0; i < palette->ncolors; ++i)
                palette->colors[i] = SDL_Color{h[16 + i * 3], h[17 + i * 3], h[18 + i * 3], 0};
        }
    }
    return surface;
}

} // namespace sdl_layer
