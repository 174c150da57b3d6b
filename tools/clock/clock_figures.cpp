#include "tools/clock/clock_figures.hpp"

#include <algorithm>
#include <cmath>

namespace {

// The least-squares line through points [from, to), about their means so that the sums
// stay well conditioned: its slope, and each point's distance from it in ms.
double fitLine(const std::vector<double>& x, const std::vector<double>& y, size_t from, size_t to,
               std::vector<double>& offsets) {
    const double n = double(to - from);
    double mx = 0, my = 0;
    for (size_t i = from; i < to; ++i) {
        mx += x[i];
        my += y[i];
    }
    mx /= n;
    my /= n;
    double sxx = 0, sxy = 0;
    for (size_t i = from; i < to; ++i) {
        sxx += (x[i] - mx) * (x[i] - mx);
        sxy += (x[i] - mx) * (y[i] - my);
    }
    const double slope = sxx > 0 ? sxy / sxx : 1.0;
    for (size_t i = from; i < to; ++i)
        offsets.push_back(std::fabs(y[i] - (my + slope * (x[i] - mx))) * 1000.0);
    return slope;
}

} // namespace

ClockFigures clockFigures(const std::vector<double>& wall, const std::vector<double>& music) {
    ClockFigures f;
    const size_t n = std::min(wall.size(), music.size());
    f.presents = n;
    if (n < 3)
        return f;
    f.seconds = wall[n - 1] - wall[0];
    size_t changed = 0;
    for (size_t i = 1; i < n; ++i)
        changed += music[i] != music[i - 1];
    f.newShare = double(changed) / double(n - 1);

    std::vector<double> offsets;
    f.driftPerMinute = (fitLine(wall, music, 0, n, offsets) - 1.0) * 60000.0;
    // Jitter is what a viewer sees from frame to frame: each second gets its own line, so
    // a device whose pace wanders over many seconds does not count as jitter.
    offsets.clear();
    for (size_t from = 0; from < n;) {
        size_t to = from;
        while (to < n && wall[to] < wall[from] + 1.0)
            ++to;
        if (to - from >= 3)
            fitLine(wall, music, from, to, offsets);
        from = to;
    }
    std::sort(offsets.begin(), offsets.end());
    if (!offsets.empty()) {
        const auto percentile = [&](double p) {
            const size_t rank = size_t(std::ceil(p * double(offsets.size())));
            return offsets[std::min(std::max<size_t>(rank, 1), offsets.size()) - 1];
        };
        f.jitterMedian = percentile(0.5);
        f.jitterP99 = percentile(0.99);
        f.jitterMax = offsets.back();
    }
    return f;
}

void printClockFigures(std::FILE* out, const ClockFigures& f) {
    std::fprintf(out, "presents          %zu in %.2f s (%.1f a second)\n", f.presents, f.seconds,
                 f.seconds > 0 ? double(f.presents - 1) / f.seconds : 0.0);
    std::fprintf(out, "new demo time     %.1f%% of presents\n", f.newShare * 100.0);
    std::fprintf(out,
                 "jitter            %.2f ms (99th percentile), %.2f ms median, %.2f ms at most, "
                 "against a straight line through each second of the wall clock\n",
                 f.jitterP99, f.jitterMedian, f.jitterMax);
    std::fprintf(out, "drift             %+.1f ms a minute against the wall clock\n",
                 f.driftPerMinute);
}
