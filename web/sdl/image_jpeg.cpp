// JPEG through libjpeg with SDL_image 1.2's settings: RGB output at full size with
// libjpeg's default methods into a 24-bit surface with red in the low byte; four-component
// (CMYK) files as they are into 32 bits. Warnings are not printed; a damaged file ends where
// the data does (libjpeg supplies the end), and only an error fails the load.

#include "image_file.hpp"

#include <cstdio>

#include <jpeglib.h>

#include <csetjmp>

namespace sdl_layer {

namespace {

struct ErrorExit {
    jpeg_error_mgr manager;
    jmp_buf escape;
};

void leave(j_common_ptr info) {
    longjmp(reinterpret_cast<ErrorExit*>(info->err)->escape, 1);
}

void silent(j_common_ptr) {}

} // namespace

bool isJpeg(const FileBytes& file) {
    return file.size() >= 2 && file[0] == 0xFF && file[1] == 0xD8;
}

SDL_Surface* loadJpeg(const FileBytes& file) {
    jpeg_decompress_struct info{};
    ErrorExit errors{};
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = leave;
    errors.manager.output_message = silent;
    SDL_Surface* volatile surface = nullptr;
    if (setjmp(errors.escape)) {
        jpeg_destroy_decompress(&info);
        SDL_FreeSurface(surface);
        SDL_SetError("JPEG loading error");
        return nullptr;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&info, TRUE);
    if (info.num_components == 4) {
        info.out_color_space = JCS_CMYK;
        info.quantize_colors = FALSE;
        jpeg_calc_output_dimensions(&info);
        surface =
            SDL_CreateRGBSurface(SDL_SWSURFACE, int(info.output_width), int(info.output_height), 32,
                                 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000);
    } else {
        info.out_color_space = JCS_RGB;
        info.quantize_colors = FALSE;
        jpeg_calc_output_dimensions(&info);
        surface =
            SDL_CreateRGBSurface(SDL_SWSURFACE, int(info.output_width), int(info.output_height), 24,
                                 0x0000FF, 0x00FF00, 0xFF0000, 0);
    }
    if (!surface) {
        jpeg_destroy_decompress(&info);
        SDL_SetError("Out of memory");
        return nullptr;
    }
    jpeg_start_decompress(&info);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row =
            static_cast<JSAMPROW>(surface->pixels) + info.output_scanline * surface->pitch;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return surface;
}

} // namespace sdl_layer
