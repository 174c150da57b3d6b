#pragma once
// Frame times per part of the show and the start-up split, as a table and as JSON.

#include <array>
#include <cstdio>
#include <string>
#include <vector>

class FrameStats {
public:
    static constexpr int partCount = 13; // parts 0 to 11 and the closing image

    void add(int part, double ms) { frames[size_t(part)].push_back(ms); }
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
    static std::string label(int part);

    std::array<std::vector<double>, partCount> frames;
    std::array<double, 4> startup{}; // load, link, effects, total
};
