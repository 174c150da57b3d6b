#pragma once
// How smoothly demo time follows the wall clock, from the demo time seen at each present.

#include <cstdio>
#include <vector>

struct ClockFigures {
    size_t presents = 0;
    double seconds = 0;  // wall clock from the first present to the last
    double newShare = 0; // share of presents whose demo time differs from the one before
    // ms between demo time and a straight line through its second of the wall clock
    double jitterMedian = 0, jitterP99 = 0, jitterMax = 0;
    double driftPerMinute = 0; // ms the demo time gains on the wall clock in a minute
};

// `wall` in seconds, `music` the demo time in seconds of music, one pair per present.
ClockFigures clockFigures(const std::vector<double>& wall, const std::vector<double>& music);
void printClockFigures(std::FILE* out, const ClockFigures& figures);
