#ifndef KORVID_WEB_SDL_IMAGE_H
#define KORVID_WEB_SDL_IMAGE_H
// SDL_image 1.2's loading call, as the browser build's layer provides it: the formats of
// the show's images (PNG, JPEG, GIF, PCX), each read into the surface that SDL_image 1.2
// gives for it, with its error texts.

#include <SDL/SDL.h>

#ifdef __cplusplus
extern "C" {
#endif

// The file's type is told by its first bytes. NULL on failure, with the reason in
// SDL_GetError: "Couldn't open FILE", "Unsupported image format", or the format's own.
SDL_Surface* IMG_Load(const char* file);

#define IMG_GetError SDL_GetError
#define IMG_SetError SDL_SetError

#ifdef __cplusplus
}
#endif

#endif
