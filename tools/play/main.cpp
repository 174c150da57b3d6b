// korvid-play FILE.3ds [--camera PATH] [--outline 0|1|2] [--size WxH] [--seconds S]: plays
// a 3DS file's animation in a window, looping over its frames at 30 frames a second of
// wall-clock time, drawn exactly as korvid-render draws a frame.
//
// Keys: C next camera, O next outline mode, Space pause, Left and Right one frame back
// or forward, + and - faster and slower, Escape (or closing the window) quits.
#include "engine/core/surface.hpp"
#include "tools/common/arguments.hpp"
#include "tools/common/scene_staging.hpp"
#include "tools/play/playback.hpp"

#include <SDL/SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

using namespace korvid;

namespace {

struct Options : tools::ViewOptions {
    float seconds = 0.0f; // 0: until the viewer quits
};

int usage() {
    std::fprintf(stderr, "usage: korvid-play FILE.3ds [--camera PATH] [--outline 0|1|2] "
                         "[--size WxH] [--seconds S]\n");
    return 1;
}

bool parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        if (const tools::Parsed p = tools::parseViewOption(argc, argv, i, o);
            p != tools::Parsed::notMine) {
            if (p == tools::Parsed::bad)
                return false;
        } else if (!std::strcmp(argv[i], "--seconds") && i + 1 < argc) {
            if (!tools::parseFloat(argv[++i], o.seconds) || !(o.seconds > 0.0f))
                return false;
        } else {
            return false;
        }
    }
    return !o.input.empty();
}

int fail(const Options& o, const std::string& text) {
    std::fprintf(stderr, "korvid-play: %s: %s\n", o.input.c_str(), text.c_str());
    return 1;
}

std::string baseName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// What a key does to the playback; false for Escape.
bool handleKey(SDLKey key, tools::Playback& playback) {
    switch (key) {
    case SDLK_ESCAPE:
        return false;
    case SDLK_c:
        playback.nextCamera();
        break;
    case SDLK_o:
        playback.nextOutline();
        break;
    case SDLK_SPACE:
        playback.togglePause();
        break;
    case SDLK_LEFT:
        playback.stepBack();
        break;
    case SDLK_RIGHT:
        playback.stepForward();
        break;
    case SDLK_PLUS:
    case SDLK_EQUALS: // + without shift on most keyboards
    case SDLK_KP_PLUS:
        playback.faster();
        break;
    case SDLK_MINUS:
    case SDLK_KP_MINUS:
        playback.slower();
        break;
    default:
        break;
    }
    return true;
}

// The window's loop; the exit status.
int play(const Options& o, tools::StagedScene& staged, int firstCamera) {
    SDL_Surface* screen = SDL_SetVideoMode(o.width, o.height, 32, SDL_SWSURFACE);
    if (!screen)
        return fail(o, std::string("cannot open a window: ") + SDL_GetError());
    Surface colour;
    if (const Error e = colour.bindScreen(screen))
        return fail(o, std::string("cannot draw into the window: ") + errorMessages[e]);
    SDL_EnableKeyRepeat(SDL_DEFAULT_REPEAT_DELAY, SDL_DEFAULT_REPEAT_INTERVAL);

    tools::Playback playback(staged.scene->frames, int(staged.cameras.size()), firstCamera,
                             o.outline);
    const std::string file = baseName(o.input);
    std::string caption;
    const uint32_t start = SDL_GetTicks();
    uint32_t last = start;
    for (;;) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            if (event.type == SDL_QUIT)
                return 0;
            if (event.type == SDL_KEYDOWN && !handleKey(event.key.keysym.sym, playback))
                return 0;
        }
        const uint32_t now = SDL_GetTicks();
        if (o.seconds > 0.0f && now - start >= uint32_t(o.seconds * 1000.0f))
            return 0;
        playback.advance(now - last);
        last = now;

        CameraNode* camera = staged.cameras[size_t(playback.cameraIndex())];
        if (camera != staged.camera)
            tools::useCamera(staged, *camera);
        if (const Error e =
                tools::drawFrame(staged, playback.frame(), playback.outlineMode(), colour))
            return fail(o, std::string("cannot render: ") + errorMessages[e]);
        SDL_Flip(screen);
        const std::string text = playback.caption(file, tools::cameraName(staged, camera));
        if (text != caption) {
            caption = text;
            SDL_WM_SetCaption(caption.c_str(), file.c_str());
        }
        // About 60 pictures a second at most: the animation is timed by the clock, so a
        // faster loop would only burn the processor.
        const uint32_t spent = SDL_GetTicks() - now;
        if (spent < 16)
            SDL_Delay(16 - spent);
    }
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    if (!parse(argc, argv, o))
        return usage();

    Engine engine;
    tools::StagedScene staged;
    std::string error;
    if (!tools::stageFile(engine, o, staged, error))
        return fail(o, error);
    const auto first = std::find(staged.cameras.begin(), staged.cameras.end(), staged.camera);
    if (SDL_Init(SDL_INIT_VIDEO) < 0)
        return fail(o, std::string("cannot open a window: ") + SDL_GetError());
    const int status = play(o, staged, int(first - staged.cameras.begin()));
    SDL_Quit();
    return status;
}
