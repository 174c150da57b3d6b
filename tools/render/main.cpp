// korvid-render FILE.3ds --out FILE.png [--camera PATH] [--frame F] [--outline 0|1|2]
// [--size WxH]: renders one frame of a 3DS file through the engine and writes it as a PNG,
// staged as every tool stages a file (tools/common/scene_staging.hpp).
#include "engine/core/surface.hpp"
#include "tools/common/arguments.hpp"
#include "tools/common/png_writer.hpp"
#include "tools/common/scene_staging.hpp"

#include <cstdio>
#include <cstring>
#include <string>

using namespace korvid;

namespace {

struct Options : tools::ViewOptions {
    std::string output;
    float frame = 0.0f;
};

int usage() {
    std::fprintf(stderr, "usage: korvid-render FILE.3ds --out FILE.png [--camera PATH] "
                         "[--frame F] [--outline 0|1|2] [--size WxH]\n");
    return 1;
}

bool parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (const tools::Parsed p = tools::parseViewOption(argc, argv, i, o);
            p != tools::Parsed::notMine) {
            if (p == tools::Parsed::bad)
                return false;
        } else if (!std::strcmp(arg, "--out") && hasValue) {
            o.output = argv[++i];
        } else if (!std::strcmp(arg, "--frame") && hasValue) {
            if (!tools::parseFloat(argv[++i], o.frame))
                return false;
        } else {
            return false;
        }
    }
    return !o.input.empty() && !o.output.empty();
}

int fail(const Options& o, const std::string& text) {
    std::fprintf(stderr, "korvid-render: %s: %s\n", o.input.c_str(), text.c_str());
    return 1;
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

    Surface colour;
    if (const Error e = colour.create(o.width, o.height, storage32, false))
        return fail(o, std::string("cannot create the picture: ") + errorMessages[e]);
    if (const Error e = tools::drawFrame(staged, o.frame, o.outline, colour))
        return fail(o, std::string("cannot render: ") + errorMessages[e]);
    uint32_t* pixels = nullptr;
    int32_t pitch = 0;
    if (colour.lock(pixels, pitch) != errNone)
        return fail(o, "cannot read the picture");
    const bool written = tools::writePng(o.output, pixels, o.width, o.height, pitch, false);
    colour.unlock();
    if (!written)
        return fail(o, "cannot write " + o.output);
    return 0;
}
