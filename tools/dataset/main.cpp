// The data set generator: writes every image, scene and the soundtrack of the show into
// one folder, the same bytes on every run.
//
//     korvid_dataset <folder>

#include "images.hpp"
#include "scenes.hpp"

#include <cstdio>
#include <string>
#include <sys/stat.h>

namespace {

bool makeFolder(const std::string& path) {
    return mkdir(path.c_str(), 0755) == 0 || errno == EEXIST;
}

int fail(const std::string& what) {
    std::fprintf(stderr, "korvid_dataset: cannot write %s\n", what.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: korvid_dataset <folder>\n");
        return 2;
    }
    const std::string root = argv[1];
    for (const char* folder : {"", "/img", "/img2", "/3ds", "/music"})
        if (!makeFolder(root + folder)) return fail(root + folder);

    std::string failed;
    if (!dataset::writeImages(root, failed)) return fail(failed);
    if (!dataset::writeScenes(root, failed)) return fail(failed);
    if (!dataset::writeContactSheet(root)) return fail("contact-sheet.png");
    return 0;
}
