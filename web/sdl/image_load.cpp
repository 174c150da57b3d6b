// IMG_Load: the file is read whole, then the first reader, in SDL_image 1.2's order of
// formats, whose type is the file's extension or whose signature the file has, reads it.

#include "image_file.hpp"

#include <SDL/SDL_image.h>
#include <strings.h>

#include <cstdio>
#include <cstring>

using namespace sdl_layer;

namespace {

struct Reader {
    const char* type;
    bool (*is)(const FileBytes&);
    SDL_Surface* (*load)(const FileBytes&);
};

// SDL_image 1.2's order, less the formats the show has none of.
const Reader readers[] = {
    {"GIF", isGif, loadGif},
    {"JPG", isJpeg, loadJpeg},
    {"PCX", isPcx, loadPcx},
    {"PNG", isPng, loadPng},
};

bool readWhole(const char* path, FileBytes& bytes) {
    std::FILE* in = std::fopen(path, "rb");
    if (!in)
        return false;
    bool ok = true;
    uint8_t chunk[65536];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, in)) > 0;)
        bytes.insert(bytes.end(), chunk, chunk + n);
    ok = !std::ferror(in);
    std::fclose(in);
    return ok;
}

} // namespace

SDL_Surface* IMG_Load(const char* file) {
    FileBytes bytes;
    if (!file || !readWhole(file, bytes)) {
        SDL_SetError("Couldn't open %s", file ? file : "(null)");
        return nullptr;
    }
    const char* dot = std::strrchr(file, '.');
    const char* extension = dot ? dot + 1 : "";
    for (const Reader& reader : readers)
        if (strcasecmp(extension, reader.type) == 0 || reader.is(bytes))
            return reader.load(bytes);
    SDL_SetError("Unsupported image format");
    return nullptr;
}
