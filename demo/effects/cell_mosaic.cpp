#include "demo/effects/cell_mosaic.hpp"

#include "demo/effects/support.hpp"
#include "engine/core/pass_clock.hpp"
#include "engine/math/elementary.hpp"
#include "platform/crt_rand.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

std::vector<MosaicSite> mosaic_sites(int32_t count, int32_t width, int32_t height) {
    std::vector<MosaicSite> sites;
    if (count <= 0 || !effects::resizeNoThrow(sites, size_t(count)))
        return sites;
    // rand() * size is exact in float for sizes up to 512; the factor is 1/32767 as a
    // float, and the product is rounded to float before the truncation.
    constexpr float scale = 3.0518509447574615e-5f;
    for (MosaicSite& site : sites) {
        site.x = int32_t(float(int64_t(crt::rand()) * width) * scale);
        site.y = int32_t(float(int64_t(crt::rand()) * height) * scale);
    }
    return sites;
}

namespace {

constexpr int32_t maxSide = 16384;

// Sites sorted into square buckets of `size` pixels, each bucket's sites in index order.
struct SiteGrid {
    int32_t size = 1, cols = 0, rows = 0;
    std::vector<int32_t> start; // bucket b holds order[start[b] .. start[b + 1])
    std::vector<int32_t> order;

    bool build(const std::vector<MosaicSite>& sites, int32_t width, int32_t height) {
        // About two sites per bucket. The grid covers 0..width and 0..height inclusive,
        // since sites may lie on the far edges.
        const double area = double(width) * double(height) * 2.0 / double(sites.size());
        size = std::max(1, int32_t(std::sqrt(area)));
        cols = width / size + 1;
        rows = height / size + 1;
        if (!effects::resizeNoThrow(start, size_t(cols) * size_t(rows) + 1) ||
            !effects::resizeNoThrow(order, sites.size()))
            return false;
        for (const MosaicSite& s : sites)
            ++start[size_t(bucket(s)) + 1];
        for (size_t b = 1; b < start.size(); ++b)
            start[b] += start[b - 1];
        std::vector<int32_t> fill;
        if (!effects::resizeNoThrow(fill, start.size() - 1))
            return false;
        std::copy(start.begin(), start.end() - 1, fill.begin());
        for (size_t i = 0; i < sites.size(); ++i)
            order[size_t(fill[size_t(bucket(sites[i]))]++)] = int32_t(i);
        return true;
    }

    int32_t bucket(const MosaicSite& s) const { return (s.y / size) * cols + s.x / size; }
};

} // namespace

bool nearest_site_map(const std::vector<MosaicSite>& sites, int32_t width, int32_t height,
                      std::vector<uint32_t>& map) {
    map.clear();
    // Squared distances must stay below the starting best of 2^30.
    if (width > maxSide || height > maxSide)
        return false;
    if (width <= 0 || height <= 0)
        return true;
    if (!effects::resizeNoThrow(map, size_t(width) * size_t(height)))
        return false;
    if (sites.empty())
        return true;
    SiteGrid grid;
    if (!grid.build(sites, width, height))
        return false;

    const int32_t size = grid.size;
    uint32_t* out = map.data();
    for (int32_t y = 0; y < height; ++y) {
        const int32_t by = y / size;
        for (int32_t x = 0; x < width; ++x) {
            const int32_t bx = x / size;
            int32_t best = 0x40000000, bestIndex = -1;
            // Search rings of buckets outward. Every site outside rings 0..k-1 is at least
            // `reach` away along x or y; the search stops once reach^2 exceeds the best
            // distance, since then no unseen site can come closer or tie.
            for (int32_t k = 0;; ++k) {
                if (k > 0) {
                    const int32_t reach =
                        std::min({x - (bx - k + 1) * size + 1, (bx + k) * size - x,
                                  y - (by - k + 1) * size + 1, (by + k) * size - y});
                    if (reach * reach > best)
                        break;
                    if (bx - k < 0 && by - k < 0 && bx + k >= grid.cols && by + k >= grid.rows)
                        break;
                }
                const int32_t row0 = std::max(by - k, 0), row1 = std::min(by + k, grid.rows - 1);
                const int32_t col0 = std::max(bx - k, 0), col1 = std::min(bx + k, grid.cols - 1);
                for (int32_t r = row0; r <= row1; ++r) {
                    // Only the ring itself: the whole first and last rows, the two ends of
                    // the rows between.
                    const bool edgeRow = r == by - k || r == by + k;
                    const int32_t stride = edgeRow || k == 0 ? 1 : 2 * k;
                    for (int32_t c = edgeRow ? col0 : bx - k; c <= col1; c += stride) {
                        if (c < col0)
                            continue;
                        const int32_t b = r * grid.cols + c;
                        for (int32_t j = grid.start[size_t(b)]; j < grid.start[size_t(b) + 1];
                             ++j) {
                            const int32_t index = grid.order[size_t(j)];
                            const int32_t dx = sites[size_t(index)].x - x;
                            const int32_t dy = sites[size_t(index)].y - y;
                            const int32_t d = dx * dx + dy * dy;
                            if (d < best || (d == best && index < bestIndex)) {
                                best = d;
                                bestIndex = index;
                            }
                        }
                    }
                }
            }
            // A site on the right edge (x = width) reads the first pixel of the next row;
            // only an index past the last pixel, from a site on the bottom edge, is held
            // at the last pixel.
            const MosaicSite& s = sites[size_t(bestIndex)];
            *out++ = uint32_t(std::min(s.y * width + s.x, width * height - 1));
        }
    }
    return true;
}

namespace {

// The map's runs of equal entries; false when memory runs out.
bool runsOf(const std::vector<uint32_t>& map, std::vector<CellMosaic::Run>& runs) {
    try {
        runs.clear();
        for (size_t o = 0; o < map.size(); ++o)
            if (o + 1 == map.size() || map[o + 1] != map[o])
                runs.push_back({map[o], uint32_t(o + 1)});
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

} // namespace

bool CellMosaic::build(int32_t levels, int32_t width, int32_t height, double e1, double e2) {
    maps.clear();
    runs.clear();
    ready = 0;
    mapWidth = std::max(width, 0);
    mapHeight = std::max(height, 0);
    if (levels <= 0)
        return true;
    try {
        maps.resize(size_t(levels));
        runs.resize(size_t(levels));
    } catch (const std::bad_alloc&) {
        maps.clear();
        return false;
    }
    for (int32_t i = 0; i < levels; ++i) {
        const double f = levels > 1 ? double(i) / double(levels - 1) : 0.0;
        const double e = (e2 - e1) * f + e1;
        const int32_t n = effects::truncOrMin(1.0 / korvid::pow(10.0, e) * mapWidth * mapHeight);
        const std::vector<MosaicSite> sites = mosaic_sites(n, mapWidth, mapHeight);
        if ((n > 0 && sites.empty()) ||
            !nearest_site_map(sites, mapWidth, mapHeight, maps[size_t(i)]) ||
            !runsOf(maps[size_t(i)], runs[size_t(i)])) {
            maps.clear();
            runs.clear();
            return false;
        }
    }
    ready = 1;
    return true;
}

void CellMosaic::remap(uint32_t* destination, const uint32_t* source, int32_t width, int32_t height,
                       int32_t pitch, int32_t level) const {
    const korvid::PassTimer timer(korvid::Pass::twoD);
    if (!destination || !source || width <= 0 || height <= 0)
        return;
    const bool mapped = ready && level >= 0 && size_t(level) < maps.size() && width == mapWidth &&
                        height == mapHeight && pitch == width;
    if (!mapped) {
        for (int32_t y = 0; y < height; ++y)
            std::memmove(destination + size_t(y) * size_t(pitch),
                         source + size_t(y) * size_t(pitch), size_t(width) * 4);
        return;
    }
    uint32_t* to = destination;
    uint32_t* const last = destination + size_t(width) * size_t(height);
    for (const Run& run : runs[size_t(level)]) {
        const uint32_t colour = source[run.source];
        uint32_t* const end = destination + run.end;
#if defined(__SSE2__)
        // Eight pixels at once whatever the run's length, so that the usual short run costs
        // no branch on it: the next runs write over what lies past this one's end. Only
        // the last pixels of the frame go one at a time.
        const __m128i four = _mm_set1_epi32(int(colour));
        for (; to + 8 <= last; to += 8) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(to), four);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(to + 4), four);
            if (to + 8 >= end)
                break;
        }
        if (to + 8 > last)
#endif
            for (; to < end; ++to)
                *to = colour;
        to = end;
    }
}
