// The data set played by the show itself, offline: the grass must be on screen through
// every camera of the opening and in the ground sweep that follows. A ground mesh that
// the renderer culls by its bounds would leave the clear colour there.

#include "data_files.hpp"
#include "run_program.hpp"

#include <SDL/SDL.h>
#include <SDL/SDL_image.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace {

struct Mean {
    double r = 0, g = 0, b = 0;
};

// Mean colour of the rows from `top` to the bottom of a captured frame.
Mean meanBelow(const std::string& path, int top) {
    Mean m;
    SDL_Surface* frame = IMG_Load(path.c_str());
    if (!frame)
        return m;
    SDL_Surface* rgb = SDL_ConvertSurface(frame, frame->format, 0);
    SDL_LockSurface(rgb);
    size_t count = 0;
    for (int y = top; y < rgb->h; ++y)
        for (int x = 0; x < rgb->w; ++x) {
            Uint8 r, g, b;
            Uint32 pixel = 0;
            std::memcpy(&pixel,
                        static_cast<Uint8*>(rgb->pixels) + y * rgb->pitch +
                            x * rgb->format->BytesPerPixel,
                        rgb->format->BytesPerPixel);
            SDL_GetRGB(pixel, rgb->format, &r, &g, &b);
            m.r += r;
            m.g += g;
            m.b += b;
            ++count;
        }
    SDL_UnlockSurface(rgb);
    SDL_FreeSurface(rgb);
    SDL_FreeSurface(frame);
    m.r /= double(count);
    m.g /= double(count);
    m.b /= double(count);
    return m;
}

} // namespace

TEST(DatasetShow, GrassIsOnScreenThroughTheOpeningsCameras) {
    const std::string folder = freshFolder("dataset-show");
    // Cameras 01, 02, 03, 02 narrowed, 02 widened, then the ground sweep.
    const char* times[] = {"8", "40", "72", "100", "126", "150", "160"};
    std::string at;
    for (const char* t : times)
        at += std::string(at.empty() ? "" : ",") + t;
    // Run from the scratch folder, which takes the program's output files: the build's
    // data set stays as the generator wrote it for the tests reading it meanwhile.
    const ProgramResult run =
        runProgram(folder, KORVID_CAPTURE_TOOL, "",
                   "--data " + dataPath("") + " --png " + folder + " --at " + at + " --until 160");
    ASSERT_EQ(run.status, 0) << run.err;
    for (const char* t : times) {
        // The clear colour and the grain are grey; grass is green over blue.
        const Mean m = meanBelow(folder + "/at-" + t + ".png", 300);
        EXPECT_GT(m.g, m.b + 8.0) << "T = " << t;
        EXPECT_GT(m.g, 30.0) << "T = " << t;
    }
    std::filesystem::remove_all(folder);
}
