#include "scenes.hpp"

namespace dataset {

bool writeScenes(const std::string& root, std::string& failed) {
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
    for (const Entry& e : entries) {
        SceneFile scene(e.frames);
        e.build(scene);
        if (!scene.save(root + "/" + e.path)) {
            failed = e.path;
            return false;
        }
    }
    return true;
}

} // namespace dataset
