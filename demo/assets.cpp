#include "demo/assets.hpp"

#include "demo/clock.hpp"
#include "demo/program.hpp"
#include "engine/core/image.hpp"
#include "engine/render/fade_ramp_material.hpp"
#include "engine/render/gouraud_ramp_material.hpp"
#include "engine/render/texture_ramp_material.hpp"
#include "engine/scene/import.hpp"

#include <new>
#include <string>

using namespace korvid;

namespace {

struct ImageAsset {
    const char* path;
    const char* name;
    bool mipmapped;
};

// Images 2 to 28, in load order; the mask and the logo texture get extra steps below.
const ImageAsset images[] = {
    {"img/slutt.png", "slutt", false},
    {"img/allgreets.png", "allgreets", false},
    {"img/pellogo.png", "pellogo", false},
    {"img/startx.png", "startx", false},
    {"img/startx2.png", "startx2", false},
    {"img/stripetex.png", "stripetex", true},
    {"img/end.png", "end", false},
    {"img/end_tex.jpg", "end_tex", true},
    {"img/realshoe.gif", "realshoe", true},
    {"img/grass.gif", "grass", true},
    {"img/greetings_back.png", "greetings_back", false},
    {"img/ruklogo.png", "ruklogo", true},
    {"img/darkground.gif", "darkground", true},
    {"img/credits_music.png", "cred_music", false},
    {"img/credits_code.png", "cred_code", false},
    {"img/credits_graphics.png", "cred_graphics", false},
    {"img/credits_music_text.png", "cred_music_txt", false},
    {"img/credits_code_text.png", "cred_code_txt", false},
    {"img/credits_graphics_text.png", "cred_graphics_txt", false},
    {"img/allcreds_tex.png", "allcreds_tex", false},
    {"img/bg_credits.jpg", "bg_credits", false},
    {"img/bg_credits_tex.jpg", "bg_credits_tex", false},
    {"img/bgfx0.png", "bgfx0", false},
    {"img/bgfx1.png", "bgfx1", false},
    {"img/bgfx2.png", "bgfx2", false},
    {"img/bgfx3.png", "bgfx3", false},
    {"img/ruklogo_tex.gif", "ruklogo_tex", true},
};

// The title mask: white, its alpha read from the image.
constexpr const char* maskName = "startx";
constexpr uint32_t maskColour = 0xFFFFFF;
// The logo texture's background index, made transparent black.
constexpr const char* logoTextureName = "ruklogo_tex";
constexpr int32_t logoBackground = 250;

enum class Kind { gouraud, fade, texture };

struct MaterialAsset {
    const char* name;
    Kind kind;
    const char* texture; // texture materials only
    float fade;          // fade materials only
    Colour colourA, colourB;
    int32_t levels;
};

constexpr Colour twice(Colour c) {
    return {c.r * 2.0f, c.g * 2.0f, c.b * 2.0f, c.a * 2.0f};
}

const MaterialAsset materials[] = {
    {"cartoonwhite", Kind::gouraud, nullptr, 0, twice({32, 32, 32, 255}), twice({80, 80, 64, 255}),
     64},
    {"cartoonred", Kind::gouraud, nullptr, 0, {32, 48, 48, 255}, {128, 128, 160, 255}, 64},
    {"cartoonblack", Kind::gouraud, nullptr, 0, {0, 0, 0, 255}, {255, 0, 0, 255}, 64},
    {"realpants", Kind::gouraud, nullptr, 0, {64, 64, 64, 255}, {255, 255, 255, 255}, 4},
    {"realsaale", Kind::gouraud, nullptr, 0, {0, 0, 0, 255}, {255, 255, 255, 255}, 4},
    {"realshoe", Kind::texture, "realshoe", 0, {64, 64, 64, 255}, {255, 255, 255, 255}, 4},
    {"grass", Kind::texture, "grass", 0, {0, 0, 0, 255}, {255, 255, 255, 255}, 64},
    {"darkpants", Kind::fade, nullptr, 1.0f, {0, 0, 0, 0}, {32, 32, 32, 255}, 64},
    {"darksaale", Kind::fade, nullptr, 1.0f, {0, 0, 0, 0}, {0, 0, 0, 255}, 64},
    {"darkshoe", Kind::fade, nullptr, 1.0f, {0, 0, 0, 0}, {64, 48, 32, 255}, 64},
    {"darkgrass", Kind::texture, "darkground", 0, {0, 0, 0, 255}, {64, 64, 64, 255}, 64},
    {"ruklogo", Kind::texture, "ruklogo_tex", 0, {255, 255, 255, 0}, {255, 255, 255, 255}, 64},
    {"tovik", Kind::gouraud, nullptr, 0, {0, 0, 0, 255}, {255, 255, 255, 255}, 4},
    {"kroll", Kind::texture, "darkground", 0, {64, 64, 64, 255}, twice({255, 255, 255, 255}), 64},
    {"kroll2", Kind::texture, "grass", 0, {64, 64, 64, 255}, twice({255, 255, 255, 255}), 64},
};

struct SceneAsset {
    const char* name;
    const char* path;
};

const SceneAsset scenes[] = {
    {"dame", "3ds/dame.3ds"},         {"tovik", "3ds/tovik.3ds"}, {"boots", "3ds/boots.3ds"},
    {"wisplogo", "3ds/wisplogo.3ds"}, {"kroll", "3ds/kroll.3ds"},
};

// A new surface from `path`, registered as `name`; failures end the program.
Surface* load_image(const char* path, const char* name, bool mipmapped, bool mask = false) {
    auto* surface = new (std::nothrow) Surface;
    if (!surface)
        demo_check(errMemory);
    const Error code = mask ? loadAlphaImage(surface, maskColour, path, mipmapped)
                            : loadImage(surface, path, mipmapped);
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

Material* make_material(const MaterialAsset& m) {
    switch (m.kind) {
    case Kind::gouraud:
        return new (std::nothrow) GouraudRampMaterial(m.colourA, m.colourB, m.levels);
    case Kind::fade:
        return new (std::nothrow) FadeRampMaterial(m.fade, m.colourA, m.colourB, m.levels);
    case Kind::texture:
        return new (std::nothrow) TextureRampMaterial(m.texture, m.colourA, m.colourB, m.levels);
    }
    return nullptr;
}

} // namespace

void show_wait_screen() {
    Surface* wait = load_image("img/wait.png", "wait", false);
    display.draw(wait, 0, 0, 1.0f, false, false);
    demo_frame();
}

void load_assets() {
    for (const ImageAsset& image : images) {
        const bool mask = std::string(image.name) == maskName;
        Surface* surface = load_image(image.path, image.name, image.mipmapped, mask);
        if (mask)
            surface->blendMode = blendAlpha;
        if (std::string(image.name) == logoTextureName)
            surface->setPaletteEntry(logoBackground, 0);
    }

    // A material replaces any registered one of its name.
    for (const MaterialAsset& m : materials) {
        Material* material = make_material(m);
        if (!material)
            demo_check(errMemory);
        engine.removeResource(kindMaterial, m.name);
        const Error added = engine.addResource(material, m.name);
        if (added != errNone) {
            delete material;
            demo_check(added);
        }
    }

    for (const SceneAsset& scene : scenes)
        demo_check(importScene(engine, scene.name, scene.path));
}
