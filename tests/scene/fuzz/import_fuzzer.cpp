// libFuzzer target: any byte string, written to a file and imported as a scene, must give
// an error code or a scene that links, animates and updates without fault.
#include "engine/core/engine.hpp"
#include "engine/link/link.hpp"
#include "engine/scene/import.hpp"
#include "engine/scene/scene.hpp"

#include <cstdio>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/korvid-import-fuzz-" + std::to_string(getpid()) + ".3ds";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    korvid::Engine engine;
    if (korvid::importScene(engine, "a", path) == korvid::errNone) {
        // A second import shares the meshes of the first.
        korvid::importScene(engine, "b", path);
        linkResources(engine);
        auto* scene = engine.find<korvid::Scene>(korvid::kindScene, "a");
        for (float t : {0.0f, 0.5f, 7.25f, -3.0f}) {
            scene->setTime(t);
            scene->updateWorlds(nullptr);
        }
    }
    return 0;
}
