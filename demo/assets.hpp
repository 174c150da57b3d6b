#pragma once
// The show's data set: every image, material and scene, loaded in a fixed order and
// registered in the Engine context under its name, the images the effects read for
// themselves, and the soundtrack. Failures end the program. The tables are the one list
// of the data set: the data set generator writes the files they name and the tests check
// them.

#include "engine/math/math.hpp"

#include <cstdint>
#include <vector>

struct ImageAsset {
    const char* path;
    const char* name; // registered under it
    bool mipmapped;   // used as a texture
};

// Image 1, shown as soon as it is loaded.
inline constexpr ImageAsset waitImage{"img/wait.png", "wait", false};

// Images 2 to 28, in load order; the title mask and the logo texture get extra steps.
inline constexpr ImageAsset showImages[] = {
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

// The four maps of a twister, in the order they are loaded.
struct TwisterImagePaths {
    const char* spec;
    const char* light;
    const char* height;
    const char* colour;
};

// The images the effects read for themselves, once the link step has run, each loaded
// without mipmaps; the swarm loads its sprite itself.
inline constexpr const char* tunnelImagePath = "img/darkground2.gif";
inline constexpr TwisterImagePaths rockImagePaths{"img2/specmap.png", "img2/lightmap1.png",
                                                  "img2/rock1.png", "img2/rock1b.png"};
inline constexpr TwisterImagePaths clothImagePaths{"img2/specmap.png", "img2/lightmap2.png",
                                                   "img2/pant1.png", "img2/pant1b.png"};
inline constexpr const char* swarmImagePath = "img/ildflue_liten.pcx";

// Every image file the effects read, each once, in the order they are first read.
inline constexpr const char* effectImageFiles[] = {
    tunnelImagePath,        rockImagePaths.spec,    rockImagePaths.light,
    rockImagePaths.height,  rockImagePaths.colour,  clothImagePaths.light,
    clothImagePaths.height, clothImagePaths.colour, swarmImagePath,
};

// Every image file the show reads, each once, in the order it first reads them: the wait
// screen, the rest of the asset list, then the effects' own.
inline std::vector<const char*> show_image_files() {
    std::vector<const char*> paths{waitImage.path};
    for (const ImageAsset& image : showImages)
        paths.push_back(image.path);
    for (const char* path : effectImageFiles)
        paths.push_back(path);
    return paths;
}

// The material classes: GouraudRampMaterial, FadeRampMaterial, TextureRampMaterial.
enum MaterialKind { gouraudRamp, fadeRamp, textureRamp };

struct MaterialAsset {
    const char* name;
    MaterialKind kind;
    const char* texture; // texture materials only
    float fade;          // fade materials only
    korvid::Colour colourA, colourB;
    int32_t levels;
};

// All four components doubled, alpha included (510).
constexpr korvid::Colour twice(korvid::Colour c) {
    return {c.r * 2.0f, c.g * 2.0f, c.b * 2.0f, c.a * 2.0f};
}

// In creation order; each replaces any registered material of its name.
inline constexpr MaterialAsset showMaterials[] = {
    {"cartoonwhite", gouraudRamp, nullptr, 0, twice({32, 32, 32, 255}), twice({80, 80, 64, 255}),
     64},
    {"cartoonred", gouraudRamp, nullptr, 0, {32, 48, 48, 255}, {128, 128, 160, 255}, 64},
    {"cartoonblack", gouraudRamp, nullptr, 0, {0, 0, 0, 255}, {255, 0, 0, 255}, 64},
    {"realpants", gouraudRamp, nullptr, 0, {64, 64, 64, 255}, {255, 255, 255, 255}, 4},
    {"realsaale", gouraudRamp, nullptr, 0, {0, 0, 0, 255}, {255, 255, 255, 255}, 4},
    {"realshoe", textureRamp, "realshoe", 0, {64, 64, 64, 255}, {255, 255, 255, 255}, 4},
    {"grass", textureRamp, "grass", 0, {0, 0, 0, 255}, {255, 255, 255, 255}, 64},
    {"darkpants", fadeRamp, nullptr, 1.0f, {0, 0, 0, 0}, {32, 32, 32, 255}, 64},
    {"darksaale", fadeRamp, nullptr, 1.0f, {0, 0, 0, 0}, {0, 0, 0, 255}, 64},
    {"darkshoe", fadeRamp, nullptr, 1.0f, {0, 0, 0, 0}, {64, 48, 32, 255}, 64},
    {"darkgrass", textureRamp, "darkground", 0, {0, 0, 0, 255}, {64, 64, 64, 255}, 64},
    {"ruklogo", textureRamp, "ruklogo_tex", 0, {255, 255, 255, 0}, {255, 255, 255, 255}, 64},
    {"tovik", gouraudRamp, nullptr, 0, {0, 0, 0, 255}, {255, 255, 255, 255}, 4},
    {"kroll", textureRamp, "darkground", 0, {64, 64, 64, 255}, twice({255, 255, 255, 255}), 64},
    {"kroll2", textureRamp, "grass", 0, {64, 64, 64, 255}, twice({255, 255, 255, 255}), 64},
};

struct SceneAsset {
    const char* name;
    const char* path;
};

// In load order.
inline constexpr SceneAsset showScenes[] = {
    {"dame", "3ds/dame.3ds"},         {"tovik", "3ds/tovik.3ds"}, {"boots", "3ds/boots.3ds"},
    {"wisplogo", "3ds/wisplogo.3ds"}, {"kroll", "3ds/kroll.3ds"},
};

// The soundtrack.
inline constexpr const char* musicPath = "music/tune3.mp3";

// Loads the wait image, draws it onto the Display and presents one frame.
void show_wait_screen();

// Loads the rest of the data set, in order, after the wait screen.
void load_assets();
