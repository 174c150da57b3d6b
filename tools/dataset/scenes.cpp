#include "scenes.hpp"

namespace dataset {

bool writeScenes(const std::string& root, std::string& failed, const StepProgress& progress) {
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
    const size_t count = sizeof entries / sizeof entries[0];
    for (size_t i = 0; i < count; ++i) {
        const Entry& e = entries[i];
        SceneFile scene(e.frames);
        e.build(scene);
        if (!scene.save(root + "/" + e.path)) {
            failed = e.path;
            return false;
        }
        report(progress, double(i + 1) / double(count));
    }
    return true;
}

} // namespace dataset
