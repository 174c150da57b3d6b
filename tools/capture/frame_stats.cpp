#include "tools/capture/frame_stats.hpp"

#include <algorithm>
#include <cmath>

namespace {

// Column names of the passes, in the order of korvid::Pass.
const char* const passNames[FrameStats::passCount] = {"scene",  "transform", "lighting",
                                                      "raster", "edges",     "2d"};

} // namespace

void FrameStats::add(int part, double ms, const PassTimes& passes) {
    frames[size_t(part)].push_back(ms);
    for (size_t i = 0; i < passCount; ++i)
        passSums[size_t(part)][i] += passes[i];
}

FrameStats::PassTimes FrameStats::passMeans(int part, double& rest) const {
    PassTimes means{};
    rest = 0.0;
    const size_t n = frames[size_t(part)].size();
    if (n == 0)
        return means;
    double total = 0.0;
    for (double ms : frames[size_t(part)])
        total += ms;
    rest = total / double(n);
    for (size_t i = 0; i < passCount; ++i) {
        means[i] = passSums[size_t(part)][i] / double(n);
        rest -= means[i];
    }
    return means;
}

std::string FrameStats::label(int part) {
    return part == closingImagePart ? "end" : std::to_string(part);
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
    std::fprintf(out, "\nwhere the time goes, mean ms per frame:\n%-5s", "part");
    for (const char* name : passNames)
        std::fprintf(out, " %9s", name);
    std::fprintf(out, " %9s\n", "other");
    for (int part = 0; part < partCount; ++part) {
        double rest = 0.0;
        const PassTimes means = passMeans(part, rest);
        std::fprintf(out, "%-5s", label(part).c_str());
        for (double ms : means)
            std::fprintf(out, " %9.3f", ms);
        std::fprintf(out, " %9.3f\n", rest);
    }
    std::fprintf(out, "\nstart-up: load %.1f ms, link %.1f ms, effects %.1f ms, total %.1f ms\n",
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
                     "%.3f, \"max_ms\": %.3f, \"mean_pass_ms\": {",
                     part ? ", " : "", label(part).c_str(), s.frames, s.median, s.p95, s.max);
        double rest = 0.0;
        const PassTimes means = passMeans(part, rest);
        for (size_t i = 0; i < passCount; ++i)
            std::fprintf(out, "\"%s\": %.3f, ", passNames[i], means[i]);
        std::fprintf(out, "\"other\": %.3f}}", rest);
    }
    std::fprintf(out, "]}\n");
    return std::fclose(out) == 0;
}
