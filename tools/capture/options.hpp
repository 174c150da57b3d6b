#pragma once
// The command line of demo-capture.

#include <string>
#include <vector>

struct CaptureOptions {
    int fps = 60;
    std::string pngFolder;      // --png DIR
    int every = 1;              // --every K
    std::vector<float> atTimes; // --at T,T,...
    std::vector<std::string> atNames;
    std::string video;      // --video FILE.mp4
    int scale = 1;          // --scale N: video frames enlarged N times by pixel repetition
    std::string storyboard; // --storyboard FILE.png
    bool bench = false;
    std::string json; // --json FILE
    std::string data; // --data DIR; the current folder when empty
    float until = 0;  // --until T: stop after the frame drawn at demo time T
    bool hasUntil = false;
    float from = 0; // --from T: the show starts at demo time T
    bool hasFrom = false;
    bool progress = false;
    bool hash = false; // --hash: print each --at frame's hash instead of needing --png
};

// Parses argv; on a mistake writes the reason and the usage to standard error and returns
// false.
bool parseOptions(int argc, char** argv, CaptureOptions& options);
