#pragma once
// Levels of interleaved 16-bit stereo at 44100 Hz, and where the soundtrack's first
// downbeat starts in it.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

// The largest magnitude on either channel in [from, to) seconds.
inline int peakOf(const std::vector<int16_t>& s, double from, double to) {
    int peak = 0;
    for (size_t i = size_t(from * 44100) * 2; i < std::min(s.size(), size_t(to * 44100) * 2); ++i)
        peak = std::max(peak, std::abs(int(s[i])));
    return peak;
}

// The sample frame where the kick planned at 1.025 s first passes 30% of its peak: above
// the hi-hats of the lead-in and the codec's pre-echo, a third of a millisecond into the
// kick's attack. SIZE_MAX when nothing rises between 0.95 and 1.1 s.
inline size_t firstDownbeat(const std::vector<int16_t>& s) {
    const int level = peakOf(s, 1.0, 1.1) * 3 / 10;
    for (size_t i = size_t(0.95 * 44100) * 2; i < std::min(s.size(), size_t(1.1 * 44100) * 2); ++i)
        if (std::abs(int(s[i])) > level)
            return i / 2;
    return SIZE_MAX;
}
