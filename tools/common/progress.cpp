#include "tools/common/progress.hpp"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace tools {

ProgressBar::ProgressBar(bool forced) : enabled(forced || isatty(2)) {}

void ProgressBar::update(double fraction, const std::string& detail) {
    if (!enabled)
        return;
    constexpr int width = 40;
    const int percent = int(std::clamp(fraction, 0.0, 1.0) * 100.0);
    char bar[width + 1];
    for (int i = 0; i < width; ++i)
        bar[i] = i < percent * width / 100 ? '#' : '-';
    bar[width] = 0;
    // The trailing spaces wipe what a longer detail left on the line.
    std::fprintf(stderr, "\r[%s] %3d%%  %s    ", bar, percent, detail.c_str());
    std::fflush(stderr);
    drawn = true;
}

void ProgressBar::finish() {
    if (drawn)
        std::fprintf(stderr, "\n");
    drawn = false;
}

} // namespace tools
