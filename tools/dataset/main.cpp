// The data set generator: writes every image, scene and the soundtrack of the show into
// one folder, the same bytes on every run.
//
//     korvid_dataset <folder>

#include "images.hpp"
#include "scenes.hpp"
#include "soundtrack.hpp"

#include <cerrno>
#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <thread>

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
        if (!makeFolder(root + folder))
            return fail(root + folder);

    // The soundtrack takes the longest: it is made on a second thread while the pictures
    // and scenes are drawn. Each writes its own files, so the bytes do not depend on timing.
    bool musicWritten = false;
    std::thread music([&] {
        musicWritten = dataset::writeMp3(root + "/music/tune3.mp3", dataset::renderSoundtrack());
    });
    std::string failed;
    bool picturesWritten = dataset::writeImages(root, failed) && dataset::writeScenes(root, failed);
    if (picturesWritten && !dataset::writeContactSheet(root)) {
        picturesWritten = false;
        failed = "contact-sheet.png";
    }
    music.join();
    if (!picturesWritten)
        return fail(failed);
    if (!musicWritten)
        return fail("music/tune3.mp3");
    return 0;
}
