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

// The title mask: white, its alpha read from the image.
constexpr const char* maskName = "startx";
constexpr uint32_t maskColour = 0xFFFFFF;
// The logo texture's background index, made transparent black.
constexpr const char* logoTextureName = "ruklogo_tex";
constexpr int32_t logoBackground = 250;

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
    case gouraudRamp:
        return new (std::nothrow) GouraudRampMaterial(m.colourA, m.colourB, m.levels);
    case fadeRamp:
        return new (std::nothrow) FadeRampMaterial(m.fade, m.colourA, m.colourB, m.levels);
    case textureRamp:
        return new (std::nothrow) TextureRampMaterial(m.texture, m.colourA, m.colourB, m.levels);
    }
    return nullptr;
}

} // namespace

void show_wait_screen() {
    Surface* wait = load_image(waitImage.path, waitImage.name, waitImage.mipmapped);
    display.draw(wait, 0, 0, 1.0f, false, false);
    demo_frame();
}

void load_assets() {
    for (const ImageAsset& image : showImages) {
        const bool mask = std::string(image.name) == maskName;
        Surface* surface = load_image(image.path, image.name, image.mipmapped, mask);
        if (mask)
            surface->blendMode = blendAlpha;
        if (std::string(image.name) == logoTextureName)
            surface->setPaletteEntry(logoBackground, 0);
    }

    // A material replaces any registered one of its name.
    for (const MaterialAsset& m : showMaterials) {
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

    for (const SceneAsset& scene : showScenes)
        demo_check(importScene(engine, scene.name, scene.path));
}
