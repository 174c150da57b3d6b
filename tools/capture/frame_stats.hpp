#pragma once
// Frame times per part of the show, where they went, and the start-up split, as tables and
// as JSON.

#include "demo/show_parts.hpp"
#include "engine/core/pass_clock.hpp"

#include <array>
#include <cstdio>
#include <string>
#include <vector>

class FrameStats {
public:
    static constexpr int partCount = showPartCount; // parts 0 to 11 and the closing image

    static constexpr size_t passCount = size_t(korvid::Pass::count);
    using PassTimes = std::array<double, passCount>;

    // One frame of `part`: its time and the time of each kind of pass in it.
    void add(int part, double ms, const PassTimes& passes);
    void setStartup(double load, double link, double effects, double total) {
        startup = {load, link, effects, total};
    }
    void printTable(std::FILE* out) const;
    bool writeJson(const std::string& path, int fps) const;

private:
    struct Summary {
        size_t frames = 0;
        double median = 0, p95 = 0, max = 0;
    };
    Summary summarise(int part) const;
    // Mean ms per frame of each pass, and of the rest of the frame.
    PassTimes passMeans(int part, double& rest) const;
    static std::string label(int part);

    std::array<std::vector<double>, partCount> frames;
    std::array<PassTimes, partCount> passSums{};
    std::array<double, 4> startup{}; // load, link, effects, total
};
