#include "demo/assets.hpp"

#include "demo/clock.hpp"
#include "demo/program.hpp"
#include "engine/core/image.hpp"

using namespace korvid;

namespace {

// A new surface from `path`, registered as `name`; failures end the program.
Surface* load_image(const char* path, const char* name, bool mipmapped) {
    auto* surface = new Surface;
    const Error code = loadImage(surface, path, mipmapped);
    if (code != errNone) {
        delete surface;
        demo_check(code);
    }
    const Error added = engine.addResource(surface, name);
    if (added != errNone) {
        delete surface;
        demo_check(added);
    }
    return surface;
}

} // namespace

void show_wait_screen() {
    Surface* wait = load_image("img/wait.png", "wait", false);
    display.draw(wait, 0, 0, 1.0f, false, false);
    demo_frame();
}

void load_assets() {}
