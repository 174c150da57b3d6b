// korvid-render FILE.3ds --out FILE.png [--camera PATH] [--frame F] [--outline 0|1|2]
// [--size WxH]: renders one frame of a 3DS file through the engine and writes it as a PNG.
// Every material name the meshes use gets a Gouraud ramp from black to the file's diffuse
// colour; a file without lights is lit from the camera, a file without a camera is seen
// from outside its bounds.
#include "engine/core/engine.hpp"
#include "engine/core/surface.hpp"
#include "engine/render/pipeline.hpp"
#include "engine/scene/import.hpp"
#include "engine/scene/scene.hpp"
#include "staging.hpp"
#include "tools/common/png_writer.hpp"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace korvid;

namespace {

struct Options {
    std::string input, output, cameraPath;
    float frame = 0.0f;
    uint32_t outline = 2;
    int32_t width = 512, height = 384;
};

int usage() {
    std::fprintf(stderr, "usage: korvid-render FILE.3ds --out FILE.png [--camera PATH] "
                         "[--frame F] [--outline 0|1|2] [--size WxH]\n");
    return 1;
}

bool parseFloat(const char* text, float& out) {
    char* end;
    out = std::strtof(text, &end);
    return end != text && !*end;
}

bool parseSize(const char* text, int32_t& width, int32_t& height) {
    char* end;
    const long w = std::strtol(text, &end, 10);
    if (end == text || *end != 'x')
        return false;
    const char* rest = end + 1;
    const long h = std::strtol(rest, &end, 10);
    if (end == rest || *end || w < 1 || h < 1 || w > 8192 || h > 8192)
        return false;
    width = int32_t(w);
    height = int32_t(h);
    return true;
}

bool parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg[0] != '-' && o.input.empty()) {
            o.input = arg;
        } else if (!std::strcmp(arg, "--out") && hasValue) {
            o.output = argv[++i];
        } else if (!std::strcmp(arg, "--camera") && hasValue) {
            o.cameraPath = argv[++i];
        } else if (!std::strcmp(arg, "--frame") && hasValue) {
            if (!parseFloat(argv[++i], o.frame))
                return false;
        } else if (!std::strcmp(arg, "--outline") && hasValue) {
            const std::string mode = argv[++i];
            if (mode != "0" && mode != "1" && mode != "2")
                return false;
            o.outline = uint32_t(mode[0] - '0');
        } else if (!std::strcmp(arg, "--size") && hasValue) {
            if (!parseSize(argv[++i], o.width, o.height))
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

// The named camera, else the first one of the scene; null when there is none.
CameraNode* chooseCamera(Scene& scene, const std::string& path) {
    if (!path.empty()) {
        Node* node = scene.root.find(path);
        return node && node->type == nodeCamera ? static_cast<CameraNode*>(node) : nullptr;
    }
    auto cameras = scene.nodesByType.find(nodeCamera);
    if (cameras == scene.nodesByType.end() || cameras->second.empty())
        return nullptr;
    return static_cast<CameraNode*>(cameras->second.begin()->first);
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    if (!parse(argc, argv, o))
        return usage();

    Engine engine;
    if (const Error e = importScene(engine, "scene", o.input))
        return fail(o, std::string("cannot import: ") + errorMessages[e]);
    Scene& scene = *engine.find<Scene>(kindScene, "scene");
    addMaterials(engine, o.input);
    engine.linkResources();
    if (!hasSomethingToDraw(scene))
        return fail(o, "nothing to draw: no mesh node has faces with a material");
    scene.setTime(o.frame);

    CameraNode* camera = chooseCamera(scene, o.cameraPath);
    if (!camera && !o.cameraPath.empty())
        return fail(o, "no camera node at " + o.cameraPath);
    if (!camera) {
        camera = addOverviewCamera(scene, float(o.height) / float(o.width));
        if (!camera)
            return fail(o, "cannot add a camera: its node name is taken");
        engine.linkResources();
    }
    if (!hasLights(scene)) {
        if (const Error e = addLightAtCamera(*camera))
            return fail(o, std::string("cannot add a light: ") + errorMessages[e]);
    }
    scene.root.renderMode = o.outline;

    Surface colour;
    if (const Error e = colour.create(o.width, o.height, storage32, false))
        return fail(o, std::string("cannot create the picture: ") + errorMessages[e]);
    colour.fill(uint32_t(0xFF404858));
    if (const Error e = renderScene(&colour, nullptr, camera, nullptr, nullptr, nullptr, false))
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
