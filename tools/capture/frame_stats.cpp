#include "tools/capture/frame_stats.hpp"

#include <algorithm>
#include <cmath>

std::string FrameStats::label(int part) {
    return part == partCount - 1 ? "end" : std::to_string(part);
}

FrameStats::Summary FrameStats::summarise(int part) const {
    std::vector<double> sorted = frames[size_t(part)];
    Summary s;
    s.frames = sorted.size();
    if (sorted.empty())
        return s;
    std::sort(sorted.begin(), sorted.end());
    const size_t n = sorted.size();
    s.median = n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
    // Nearest rank: the smallest time that at least 95% of the frames do not exceed.
    s.p95 = sorted[size_t(std::ceil(0.95 * double(n))) - 1];
    s.max = sorted.back();
    return s;
}

void FrameStats::printTable(std::FILE* out) const {
    std::fprintf(out, "%-5s %7s %10s %8s %8s\n", "part", "frames", "median_ms", "p95_ms", "max_ms");
    for (int part = 0; part < partCount; ++part) {
        const Summary s = summarise(part);
        std::fprintf(out, "%-5s %7zu %10.3f %8.3f %8.3f\n", label(part).c_str(), s.frames, s.median,
                     s.p95, s.max);
    }
    std::fprintf(out, "start-up: load %.1f ms, link %.1f ms, effects %.1f ms, total %.1f ms\n",
                 startup[0], startup[1], startup[2], startup[3]);
}

bool FrameStats::writeJson(const std::string& path, int fps) const {
    std::FILE* out = std::fopen(path.c_str(), "w");
    if (!out)
        return false;
    std::fprintf(out,
                 "{\"fps\": %d, \"startup_ms\": {\"load\": %.3f, \"link\": %.3f, \"effects\": "
                 "%.3f, \"total\": %.3f}, \"parts\": [",
                 fps, startup[0], startup[1], startup[2], startup[3]);
    for (int part = 0; part < partCount; ++part) {
        const Summary s = summarise(part);
        std::fprintf(out,
                     "%s{\"part\": \"%s\", \"frames\": %zu, \"median_ms\": %.3f, \"p95_ms\": "
                     "%.3f, \"max_ms\": %.3f}",
                     part ? ", " : "", label(part).c_str(), s.frames, s.median, s.p95, s.max);
    }
    std::fprintf(out, "]}\n");
    return std::fclose(out) == 0;
}
