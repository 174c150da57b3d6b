#include "engine/core/image.hpp"

#include "engine/core/surface.hpp"

#include <SDL/SDL.h>
#include <SDL/SDL_image.h>

#include <cstring>
#include <vector>

namespace korvid {

namespace {

Error loadPalettised(Surface* target, SDL_Surface* image, bool mipmapped) {
    Error code = target->create(image->w, image->h, storage8, mipmapped);
    if (code != errNone) {
        SDL_FreeSurface(image);
        return code;
    }
    const SDL_Palette* colours = image->format->palette;
    if (colours && colours->ncolors > 0) {
        std::vector<uint32_t> entries(size_t(colours->ncolors));
        for (int i = 0; i < colours->ncolors; ++i) {
            const SDL_Color& c = colours->colors[i];
            entries[size_t(i)] =
                0xFF000000u + uint32_t(c.r) * 0x10000u + uint32_t(c.g) * 0x100u + uint32_t(c.b);
        }
        target->setPalette(entries);
    }
    uint8_t* pixels = nullptr;
    int32_t pitch = 0;
    if (SDL_LockSurface(image) < 0) {
        SDL_FreeSurface(image);
        return errSdl;
    }
    if (target->lock(pixels, pitch) != errNone) {
        SDL_UnlockSurface(image);
        SDL_FreeSurface(image);
        return errSdl;
    }
    const auto* from = static_cast<const uint8_t*>(image->pixels);
    for (int y = 0; y < image->h; ++y)
        std::memcpy(pixels + y * pitch, from + y * image->pitch, size_t(image->w));
    target->unlock();
    SDL_UnlockSurface(image);
    SDL_FreeSurface(image);
    target->buildMipmaps();
    return errNone;
}

Error loadTrueColour(Surface* target, SDL_Surface* image, bool mipmapped) {
    const bool hasAlpha = image->format->Amask != 0;
    SDL_Surface* converted = SDL_DisplayFormatAlpha(image);
    SDL_FreeSurface(image);
    if (!converted)
        return errSdl;
    Error code = target->create(converted->w, converted->h, storage32, mipmapped);
    if (code != errNone) {
        SDL_FreeSurface(converted);
        return code;
    }
    uint32_t* pixels = nullptr;
    int32_t pitch = 0;
    if (SDL_LockSurface(converted) < 0) {
        SDL_FreeSurface(converted);
        return errSdl;
    }
    if (target->lock(pixels, pitch) != errNone) {
        SDL_UnlockSurface(converted);
        SDL_FreeSurface(converted);
        return errSdl;
    }
    const auto* from = static_cast<const uint8_t*>(converted->pixels);
    for (int y = 0; y < converted->h; ++y)
        std::memcpy(pixels + y * pitch, from + y * converted->pitch, size_t(converted->w) * 4);
    target->unlock();
    SDL_UnlockSurface(converted);
    SDL_FreeSurface(converted);
    target->blendMode = hasAlpha ? blendAlpha : blendReplace;
    target->buildMipmaps();
    return errNone;
}

} // namespace

Error loadImage(Surface* target, const std::string& path, bool mipmapped) {
    if (!target)
        return errInvalidCall;
    SDL_Surface* image = IMG_Load(path.c_str());
    if (!image)
        return errSdl;
    if (image->format->BitsPerPixel == 8)
        return loadPalettised(target, image, mipmapped);
    return loadTrueColour(target, image, mipmapped);
}

Error loadAlphaImage(Surface* target, uint32_t colour, const std::string& path, bool mipmapped) {
    if (!target)
        return errInvalidCall;
    Surface mask;
    Error code = loadImage(&mask, path, mipmapped);
    if (code != errNone)
        return code;
    code = target->create(mask.width, mask.height, storage32, mipmapped);
    if (code != errNone)
        return code;
    uint32_t* pixels = nullptr;
    int32_t pitch = 0;
    code = target->lock(pixels, pitch);
    if (code != errNone)
        return code;

    // Only the low byte survives the shift: for a 32-bit mask that is the blue channel.
    if (mask.storage == storage8) {
        uint8_t* values = nullptr;
        int32_t maskPitch = 0;
        code = mask.lock(values, maskPitch);
        if (code != errNone) {
            target->unlock();
            return code;
        }
        for (int32_t y = 0; y < mask.height; ++y)
            for (int32_t x = 0; x < mask.width; ++x)
                pixels[y * pitch + x] = uint32_t(values[y * maskPitch + x]) << 24 | colour;
    } else {
        uint32_t* values = nullptr;
        int32_t maskPitch = 0;
        code = mask.lock(values, maskPitch);
        if (code != errNone) {
            target->unlock();
            return code;
        }
        for (int32_t y = 0; y < mask.height; ++y)
            for (int32_t x = 0; x < mask.width; ++x)
                pixels[y * pitch + x] = values[y * maskPitch + x] << 24 | colour;
    }
    mask.unlock();
    target->unlock();
    target->buildMipmaps();
    return errNone;
}

} // namespace korvid
