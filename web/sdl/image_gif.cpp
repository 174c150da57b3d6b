// GIF as SDL_image 1.2 reads it: the first image of the file into an 8-bit surface of the
// image's own size, with the local or else the global colour table as its palette and a
// transparent index as its colour key. Pixels come from the LZW code stream until it ends,
// fails or fills the image, so a cut file gives the pixels it has and zero after them.

#include "image_file.hpp"

#include <cstring>

namespace sdl_layer {

namespace {

constexpr int maxCodeBits = 12;

class Reader {
public:
    explicit Reader(const FileBytes& file) : file(file) {}
    bool read(uint8_t* out, size_t count) {
        if (file.size() - at < count)
            return false;
        std::memcpy(out, file.data() + at, count);
        at += count;
        return true;
    }
    // A data sub-block into `out` (up to 255 bytes): its length, 0 for the terminator,
    // -1 when the file ends.
    int block(uint8_t* out) {
        uint8_t count = 0;
        if (!read(&count, 1) || (count && !read(out, count)))
            return -1;
        return count;
    }
    void skipBlocks() {
        uint8_t scratch[255];
        while (block(scratch) > 0) {
        }
    }

private:
    const FileBytes& file;
    size_t at = 0;
};

// The variable-width codes of one image, least significant bit first, across sub-blocks.
class CodeStream {
public:
    explicit CodeStream(Reader& in) : in(in) {}
    // The next code of `bits` bits, or -1 when the data runs out.
    int next(int bits) {
        while (held < bits) {
            if (at == length) {
                if (ended)
                    return -1;
                const int n = in.block(data);
                if (n <= 0) {
                    ended = true;
                    return -1;
                }
                length = n;
                at = 0;
            }
            buffer |= uint32_t(data[at++]) << held;
            held += 8;
        }
        const int code = int(buffer & ((1u << bits) - 1));
        buffer >>= bits;
        held -= bits;
        return code;
    }

private:
    Reader& in;
    uint8_t data[255] = {};
    int length = 0, at = 0;
    uint32_t buffer = 0;
    int held = 0;
    bool ended = false;
};

// Decodes indices into the surface row by row (in the interlaced order when asked) until
// the stream ends or fails, or the image is full.
void decodePixels(Reader& in, int minimumBits, SDL_Surface* image, bool interlaced) {
    const int clear = 1 << minimumBits, end = clear + 1;
    uint16_t prefix[1 << maxCodeBits];
    uint8_t suffix[1 << maxCodeBits];
    uint8_t stack[1 << maxCodeBits];
    for (int i = 0; i < clear; ++i) {
        prefix[i] = 0;
        suffix[i] = uint8_t(i);
    }
    CodeStream codes(in);
    int bits = minimumBits + 1, next = clear + 2;
    int previous = -1, first = 0;
    int x = 0, y = 0, pass = 0;
    auto put = [&](uint8_t index) {
        static_cast<uint8_t*>(image->pixels)[y * image->pitch + x] = index;
        if (++x < image->w)
            return true;
        x = 0;
        if (!interlaced) {
            ++y;
        } else {
            static const int step[4] = {8, 8, 4, 2}, start[4] = {0, 4, 2, 1};
            y += step[pass];
            while (y >= image->h && ++pass < 4)
                y = start[pass];
            if (pass >= 4)
                return false;
        }
        return y < image->h;
    };
    for (;;) {
        int code = codes.next(bits);
        if (code < 0 || code == end)
            return;
        if (code == clear) {
            bits = minimumBits + 1;
            next = clear + 2;
            previous = -1;
            continue;
        }
        if (previous < 0) {
            // The first code after a clear is a plain index.
            if (code >= clear)
                return;
            first = code;
            previous = code;
            if (!put(uint8_t(code)))
                return;
            continue;
        }
        // A code not in the table yet (normally the next one) stands for the previous
        // string and its own first index.
        int depth = 0;
        const int incoming = code;
        if (code >= next) {
            stack[depth++] = uint8_t(first);
            code = previous;
        }
        while (code >= clear) {
            if (depth >= (1 << maxCodeBits) || code == prefix[code])
                return;
            stack[depth++] = suffix[code];
            code = prefix[code];
        }
        first = suffix[code];
        stack[depth++] = uint8_t(first);
        if (next < (1 << maxCodeBits)) {
            prefix[next] = uint16_t(previous);
            suffix[next] = uint8_t(first);
            if (++next == (1 << bits) && bits < maxCodeBits)
                ++bits;
        }
        previous = incoming;
        while (depth > 0)
            if (!put(stack[--depth]))
                return;
    }
}

bool readColourTable(Reader& in, int count, SDL_Color* colours) {
    for (int i = 0; i < count; ++i) {
        uint8_t rgb[3];
        if (!in.read(rgb, 3))
            return false;
        colours[i] = SDL_Color{rgb[0], rgb[1], rgb[2], 0};
    }
    return true;
}

} // namespace

bool isGif(const FileBytes& file) {
    return file.size() >= 6 && std::memcmp(file.data(), "GIF", 3) == 0 &&
           (std::memcmp(file.data() + 3, "87a", 3) == 0 ||
            std::memcmp(file.data() + 3, "89a", 3) == 0);
}

SDL_Surface* loadGif(const FileBytes& file) {
    Reader in(file);
    uint8_t header[13];
    if (!in.read(header, 6)) {
        SDL_SetError("error reading magic number");
        return nullptr;
    }
    if (std::memcmp(header, "GIF", 3) != 0) {
        SDL_SetError("not a GIF file");
        return nullptr;
    }
    if (std::memcmp(header + 3, "87a", 3) != 0 && std::memcmp(header + 3, "89a", 3) != 0) {
        SDL_SetError("bad version number, not '87a' or '89a'");
        return nullptr;
    }
    if (!in.read(header + 6, 7)) {
        SDL_SetError("failed to read screen descriptor");
        return nullptr;
    }
    SDL_Color global[256] = {};
    const int globalCount = 2 << (header[10] & 0x07);
    if ((header[10] & 0x80) && !readColourTable(in, globalCount, global)) {
        SDL_SetError("error reading global colormap");
        return nullptr;
    }
    int transparent = -1;
    for (;;) {
        uint8_t c = 0;
        if (!in.read(&c, 1)) {
            SDL_SetError("EOF / read error on image data");
            return nullptr;
        }
        if (c == ';') {
            SDL_SetError("only 0 image found in file");
            return nullptr;
        }
        if (c == '!') {
            uint8_t label = 0;
            if (!in.read(&label, 1)) {
                SDL_SetError("EOF / read error on extention function code");
                return nullptr;
            }
            uint8_t data[255] = {};
            if (label == 0xF9 && in.block(data) >= 0 && (data[0] & 1))
                transparent = data[3];
            in.skipBlocks();
            continue;
        }
        if (c != ',')
            continue;

        uint8_t descriptor[9];
        if (!in.read(descriptor, 9)) {
            SDL_SetError("couldn't read left/top/width/height");
            return nullptr;
        }
        const int width = descriptor[4] | descriptor[5] << 8;
        const int height = descriptor[6] | descriptor[7] << 8;
        SDL_Color local[256] = {};
        const SDL_Color* colours = global;
        int colourCount = globalCount;
        if (descriptor[8] & 0x80) {
            colourCount = 1 << ((descriptor[8] & 0x07) + 1);
            if (!readColourTable(in, colourCount, local)) {
                SDL_SetError("error reading local colormap");
                return nullptr;
            }
            colours = local;
        }
        uint8_t minimumBits = 0;
        if (!in.read(&minimumBits, 1)) {
            SDL_SetError("EOF / read error on image data");
            return nullptr;
        }
        if (minimumBits > maxCodeBits) {
            SDL_SetError("error reading image");
            return nullptr;
        }
        SDL_Surface* image = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 8, 0, 0, 0, 0);
        if (!image)
            return nullptr;
        for (int i = 0; i < colourCount; ++i)
            image->format->palette->colors[i] = colours[i];
        if (width > 0 && height > 0)
            decodePixels(in, minimumBits, image, descriptor[8] & 0x40);
        if (transparent >= 0)
            SDL_SetColorKey(image, SDL_SRCCOLORKEY, Uint32(transparent));
        return image;
    }
}

} // namespace sdl_layer
