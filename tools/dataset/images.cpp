#include "images.hpp"

#include "art.hpp"
#include "demo/assets.hpp"

#include <cstring>
#include <functional>
#include <vector>

namespace dataset {

namespace {

using Writer = std::function<bool(const std::string& path)>;

Writer png(Canvas (*make)(), bool alpha) {
    return [=](const std::string& path) { return writePng(path, make(), alpha); };
}
Writer jpeg(Canvas (*make)()) {
    return [=](const std::string& path) { return writeJpeg(path, make()); };
}
Writer gif(Indexed (*make)()) {
    return [=](const std::string& path) { return writeGif(path, make()); };
}
Writer pcx(Indexed (*make)()) {
    return [=](const std::string& path) { return writePcx(path, make()); };
}

struct ImageFile {
    const char* path;
    Writer write;
};

// The picture of every file the show reads.
std::vector<ImageFile> imageFiles() {
    return {
        {"img/wait.png", png(waitScreen, false)},
        {"img/slutt.png", png(closingScreen, false)},
        {"img/allgreets.png", png(greetingsStrip, false)},
        {"img/pellogo.png", png(smallLogo, true)},
        {"img/startx.png", png(titleMask, false)},
        {"img/startx2.png", png(titleColour, true)},
        {"img/stripetex.png", png(stripeTexture, false)},
        {"img/end.png", png(nightMeadow, false)},
        {"img/end_tex.jpg", jpeg(nightTexture)},
        {"img/realshoe.gif", gif(leatherTexture)},
        {"img/grass.gif", gif(grassTexture)},
        {"img/greetings_back.png", png(greetingsSky, false)},
        {"img/ruklogo.png", png(mainLogo, true)},
        {"img/darkground.gif", gif(darkGroundTexture)},
        {"img/credits_music.png", png(musicPicture, true)},
        {"img/credits_code.png", png(codePicture, true)},
        {"img/credits_graphics.png", png(graphicsPicture, true)},
        {"img/credits_music_text.png", png(musicCaption, true)},
        {"img/credits_code_text.png", png(codeCaption, true)},
        {"img/credits_graphics_text.png", png(graphicsCaption, true)},
        {"img/allcreds_tex.png", png(creditsTexture, true)},
        {"img/bg_credits.jpg", jpeg(creditsBackdrop)},
        {"img/bg_credits_tex.jpg", jpeg(creditsGridTexture)},
        {"img/bgfx0.png", png(emberFlow, false)},
        {"img/bgfx1.png", png(twisterBackdrop, false)},
        {"img/bgfx2.png", png(violetWaves, false)},
        {"img/bgfx3.png", png(nebula, false)},
        {"img/ruklogo_tex.gif", gif(logoTexture)},
        {"img/darkground2.gif", gif(tunnelTexture)},
        {"img2/specmap.png", png(specularMap, false)},
        {"img2/lightmap1.png", png(rockLightMap, false)},
        {"img2/rock1.png", png(rockHeight, false)},
        {"img2/rock1b.png", png(rockColour, false)},
        {"img2/lightmap2.png", png(clothLightMap, false)},
        {"img2/pant1.png", png(clothHeight, false)},
        {"img2/pant1b.png", png(clothColour, false)},
        {"img/ildflue_liten.pcx", pcx(fireflySprite)},
    };
}

} // namespace

bool writeImages(const std::string& root, std::string& failed, const StepProgress& progress) {
    const std::vector<ImageFile> files = imageFiles();
    const std::vector<const char*> paths = show_image_files();
    for (size_t i = 0; i < paths.size(); ++i) {
        const ImageFile* file = nullptr;
        for (const ImageFile& f : files)
            if (!std::strcmp(f.path, paths[i]))
                file = &f;
        // A file the show reads but that has no picture here cannot be written either.
        if (!file || !file->write(root + "/" + paths[i])) {
            failed = paths[i];
            return false;
        }
        report(progress, double(i + 1) / double(paths.size()));
    }
    return true;
}

} // namespace dataset
