// Draws the scenes of a data set the way the show frames them, into one sheet:
//
//     korvid_scene_preview <data folder> <sheet.png>

#include "preview_render.hpp"

#include "../art_common.hpp"
#include "../image_files.hpp"

#include <lib3ds/file.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <vector>

using namespace dataset;

namespace {

Shot shot(const char* scene, const std::string& camera, float frame) {
    Shot s;
    s.scene = scene;
    s.camera = camera;
    s.frame = frame;
    return s;
}

std::vector<Shot> shots() {
    std::vector<Shot> out;
    auto add = [&](Shot s) { out.push_back(s); };
    const Rgba grey = hex(0x404040);
    if (std::getenv("PREVIEW_WALK")) {
        for (int f = 0; f < 64; f += 4) {
            Shot s = shot("boots.3ds", std::getenv("PREVIEW_WALK"), float(f));
            s.groundFirst = true;
            s.clear = grey;
            s.label = s.camera + " f" + std::to_string(f);
            add(s);
        }
        return out;
    }
    for (int i = 0; i < 4; ++i) {
        Shot s = shot("boots.3ds", "Camera0" + std::to_string(i + 1), float(i * 16));
        s.groundFirst = true;
        s.clear = (i == 1) ? hex(0) : grey;
        s.label = s.camera + " f" + std::to_string(i * 16);
        add(s);
    }
    {
        Shot s = shot("boots.3ds", "Camera02", 40.0f);
        s.groundFirst = true;
        s.fovChange = -1.0471976f;
        s.positionChange = {-100.0f, 0.0f, 0.0f};
        s.roll = 0.157f;
        s.label = "Camera02 at T 96";
        add(s);
        s.fovChange += 0.8f;
        s.positionChange.x += 96.0f;
        s.roll = 0.078f;
        s.label = "Camera02 at T 112";
        add(s);
        s.fovChange += 0.8f;
        s.positionChange.x += 96.0f;
        s.roll = 0.0001f;
        s.label = "Camera02 at T 128";
        add(s);
    }
    for (float fov : {-0.74f, 0.7f, 1.4f}) {
        Shot s = shot("boots.3ds", "Camera01", 0.0f);
        s.groundFirst = true;
        s.clear = grey;
        s.fovChange = fov;
        s.positionChange = {0.0f, -82.0f, 0.0f}; // the show puts it at x = 8
        s.label = "ground, fov +" + std::to_string(fov).substr(0, 5);
        add(s);
    }
    {
        Shot s = shot("boots.3ds", "Camera04", 20.0f);
        s.materials = {{"realpants", "darkpants"},
                       {"realsaale", "darksaale"},
                       {"realshoe", "darkshoe"},
                       {"grass", "darkgrass"}};
        s.clear = hex(0x6A4070);
        s.label = "Camera04 dark";
        add(s);
    }
    for (float x : {220.0f, 120.0f, 0.0f}) {
        Shot s = shot("wisplogo.3ds", "Camera01", 0.0f);
        s.nodePositions["WispPlane"] = {x, 0.0f, 0.0f};
        s.spotRanges = true;
        s.clear = hex(0x202020);
        s.label = "wisplogo x " + std::to_string(int(x));
        add(s);
    }
    for (const char* c : {"Camera04", "Camera03", "Camera01"}) {
        Shot s = shot("dame.3ds", c, 0.0f);
        s.clear = hex(0x303030);
        s.label = std::string("dame ") + c;
        if (std::string(c) == "Camera01")
            s.centreOffset = {-0.37f, 0.16f, 0.0f};
        add(s);
    }
    for (float f : {0.0f, 24.0f, 48.0f}) {
        Shot s = shot("tovik.3ds", "Camera01", f);
        s.clear = hex(0x302840);
        s.label = "tovik f" + std::to_string(int(f));
        add(s);
    }
    for (float f : {0.0f, 16.0f, 32.0f, 48.0f}) {
        Shot s = shot("kroll.3ds", "Camera01", f);
        s.clear = hex(0x101018);
        s.label = "kroll f" + std::to_string(int(f));
        add(s);
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: korvid_scene_preview <data folder> <sheet.png>\n");
        return 2;
    }
    const std::string root = argv[1];
    std::map<std::string, Lib3dsFile*> files;
    const std::vector<Shot> list = shots();
    const int columns = 4, cellW = 320, cellH = 258;
    const int rows = (int(list.size()) + columns - 1) / columns;
    Canvas sheet(columns * cellW, rows * cellH, hex(0x14121C));
    TypeStyle label;
    label.font = fonts::sans;
    label.size = 12.0f;
    for (size_t i = 0; i < list.size(); ++i) {
        Lib3dsFile*& file = files[list[i].scene];
        if (!file)
            file = lib3ds_file_load((root + "/3ds/" + list[i].scene).c_str());
        if (!file)
            continue; // scenes not written yet are left blank
        const Canvas frame = resized(renderShot(list[i], file, 512, 384), 312, 234);
        const int x0 = int(i % columns) * cellW + 4, y0 = int(i / columns) * cellH + 4;
        for (int y = 0; y < frame.height(); ++y)
            for (int x = 0; x < frame.width(); ++x)
                sheet.at(x0 + x, y0 + y) = withAlpha(frame.at(x, y), 1.0f);
        paintText(sheet, list[i].label, float(x0), float(y0 + 248), label);
    }
    for (auto& [name, file] : files)
        if (file)
            lib3ds_file_free(file);
    return writePng(argv[2], sheet, false) ? 0 : 1;
}
