// The data set generator: writes every image, scene and the soundtrack of the show into
// one folder, the same bytes on every run.
//
//     korvid_dataset <folder> [--progress]
//
// A progress bar goes to standard error when it is a terminal, or always with --progress.

#include "demo/assets.hpp"
#include "images.hpp"
#include "scenes.hpp"
#include "soundtrack.hpp"
#include "tools/common/progress.hpp"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
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

// The two threads' shares of the work, weighed by the time each step takes: the pictures
// about 4 s (images 3.4, scenes, contact sheet 0.5), the music about 13 s (synthesis 8,
// encoding 5). The bar is drawn on the main thread only.
class Progress {
public:
    explicit Progress(bool forced) : bar(forced) {}

    void pictures(double images, double scenes, double sheet) {
        picturesDone = images * 3.4 + scenes * 0.1 + sheet * 0.5;
        draw();
    }
    // Called on the music's thread.
    void music(double synthesis, double encoding) { musicDone = synthesis * 8.0 + encoding * 5.0; }

    void draw() {
        const double music = musicDone;
        char detail[64];
        std::snprintf(detail, sizeof detail, "pictures %3d%%  soundtrack %3d%%",
                      int(picturesDone / 4.0 * 100.0), int(music / 13.0 * 100.0));
        bar.update((picturesDone + music) / 17.0, detail);
    }
    void finish() { bar.finish(); }

private:
    tools::ProgressBar bar;
    double picturesDone = 0.0;
    std::atomic<double> musicDone{0.0};
};

} // namespace

int main(int argc, char** argv) {
    const bool forced = argc == 3 && !std::strcmp(argv[2], "--progress");
    if (argc != 2 && !forced) {
        std::fprintf(stderr, "usage: korvid_dataset <folder> [--progress]\n");
        return 2;
    }
    const std::string root = argv[1];
    for (const char* folder : {"", "/img", "/img2", "/3ds", "/music"})
        if (!makeFolder(root + folder))
            return fail(root + folder);

    // The soundtrack takes the longest: it is made on a second thread while the pictures
    // and scenes are drawn. Each writes its own files, so the bytes do not depend on timing.
    Progress progress(forced);
    bool musicWritten = false;
    std::atomic<bool> musicFinished{false};
    std::thread music([&] {
        const std::vector<int16_t> samples =
            dataset::renderSoundtrack([&](double f) { progress.music(f, 0.0); });
        musicWritten = dataset::writeMp3(root + "/" + musicPath, samples,
                                         [&](double f) { progress.music(1.0, f); });
        musicFinished = true;
    });
    std::string failed;
    bool picturesWritten =
        dataset::writeImages(root, failed, [&](double f) { progress.pictures(f, 0.0, 0.0); }) &&
        dataset::writeScenes(root, failed, [&](double f) { progress.pictures(1.0, f, 0.0); });
    if (picturesWritten && !dataset::writeContactSheet(root)) {
        picturesWritten = false;
        failed = "contact-sheet.png";
    }
    progress.pictures(1.0, 1.0, 1.0);
    while (!musicFinished) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        progress.draw();
    }
    music.join();
    progress.draw();
    progress.finish();
    if (!picturesWritten)
        return fail(failed);
    if (!musicWritten)
        return fail(musicPath);
    return 0;
}
