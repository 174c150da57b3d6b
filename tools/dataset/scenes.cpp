#include "scenes.hpp"

#include "demo/assets.hpp"

#include <cstring>

namespace dataset {

bool writeScenes(const std::string& root, std::string& failed, const StepProgress& progress) {
    // The frames and the builder of every scene the show loads.
    struct Entry {
        const char* path;
        int frames;
        void (*build)(SceneFile&);
    };
    const Entry entries[] = {
        {"3ds/dame.3ds", 100, buildDame},  {"3ds/tovik.3ds", 64, buildTovik},
        {"3ds/boots.3ds", 64, buildBoots}, {"3ds/wisplogo.3ds", 100, buildWispLogo},
        {"3ds/kroll.3ds", 64, buildKroll},
    };
    const size_t count = sizeof showScenes / sizeof showScenes[0];
    for (size_t i = 0; i < count; ++i) {
        const char* path = showScenes[i].path;
        const Entry* e = nullptr;
        for (const Entry& entry : entries)
            if (!std::strcmp(entry.path, path))
                e = &entry;
        if (!e) {
            failed = path;
            return false;
        }
        SceneFile scene(e->frames);
        e->build(scene);
        if (!scene.save(root + "/" + path)) {
            failed = path;
            return false;
        }
        report(progress, double(i + 1) / double(count));
    }
    return true;
}

} // namespace dataset
