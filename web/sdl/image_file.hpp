#pragma once
// The browser build's IMG_Load: a whole image file in memory, and the readers of the
// show's formats, each giving the surface SDL_image 1.2 gives for the file (the same
// format, masks, palette, colour key and pixels) or null with SDL_image's error text.

#include <SDL/SDL.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sdl_layer {

using FileBytes = std::vector<uint8_t>;

bool isPng(const FileBytes& file);
bool isJpeg(const FileBytes& file);
bool isGif(const FileBytes& file);
bool isPcx(const FileBytes& file);

SDL_Surface* loadPng(const FileBytes& file);
SDL_Surface* loadJpeg(const FileBytes& file);
SDL_Surface* loadGif(const FileBytes& file);
SDL_Surface* loadPcx(const FileBytes& file);

} // namespace sdl_layer
