#include "demo/effects/cell_mosaic.hpp"
#include "effects_test_support.hpp"
#include "platform/crt_rand.hpp"

#include <algorithm>
#include <cmath>

using namespace effects_test;

namespace {

// Every pixel against every site, the earlier site winning ties.
std::vector<uint32_t> bruteForceMap(const std::vector<MosaicSite>& sites, int32_t w, int32_t h) {
    std::vector<uint32_t> map(size_t(w) * size_t(h), 0);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            int32_t best = 0x40000000;
            const MosaicSite* nearest = nullptr;
            for (const MosaicSite& s : sites) {
                const int32_t d = (s.x - x) * (s.x - x) + (s.y - y) * (s.y - y);
                if (d < best) {
                    best = d;
                    nearest = &s;
                }
            }
            if (nearest)
                map[size_t(y * w + x)] = uint32_t(std::min(nearest->y * w + nearest->x, w * h - 1));
        }
    return map;
}

std::vector<MosaicSite> randomSites(int32_t count, int32_t w, int32_t h, uint32_t seed) {
    std::vector<MosaicSite> sites;
    for (int32_t i = 0; i < count; ++i) {
        // Edges included, and every fifth site a repeat of an earlier one.
        if (i % 5 == 4)
            sites.push_back(sites[size_t(guarded::next(seed) % uint32_t(i))]);
        else
            sites.push_back({int32_t(guarded::next(seed) % uint32_t(w + 1)),
                             int32_t(guarded::next(seed) % uint32_t(h + 1))});
    }
    return sites;
}

} // namespace

TEST(CellMosaic, FastMapsEqualBruteForce) {
    struct Case {
        int32_t w, h, sites;
    };
    for (const Case& c : {Case{37, 23, 5}, Case{64, 48, 100}, Case{100, 80, 1}, Case{50, 50, 0},
                          Case{1, 1, 3}, Case{200, 7, 40}, Case{33, 90, 700}}) {
        const std::vector<MosaicSite> sites = randomSites(c.sites, c.w, c.h, uint32_t(c.sites + 1));
        std::vector<uint32_t> map;
        ASSERT_TRUE(nearest_site_map(sites, c.w, c.h, map));
        ASSERT_EQ(map, bruteForceMap(sites, c.w, c.h)) << c.w << "x" << c.h << " " << c.sites;
    }

    // Ties: the pixel halfway between two sites, and one equally far from four, take the
    // first drawn; the order of drawing decides, not the position.
    const std::vector<MosaicSite> ties = {{6, 2}, {2, 2}, {4, 6}, {4, 0}};
    std::vector<uint32_t> map;
    ASSERT_TRUE(nearest_site_map(ties, 9, 9, map));
    EXPECT_EQ(map[2 * 9 + 4], uint32_t(2 * 9 + 6));
    EXPECT_EQ(map, bruteForceMap(ties, 9, 9));

    // A site on the right edge reads the first pixel of the next row; one on the bottom
    // edge, whose index lies past the image, the last pixel.
    ASSERT_TRUE(nearest_site_map({{9, 3}, {4, 9}}, 9, 9, map));
    EXPECT_EQ(map[3 * 9 + 8], uint32_t(4 * 9 + 0));
    EXPECT_EQ(map[8 * 9 + 4], uint32_t(9 * 9 - 1));
}

TEST(CellMosaic, SitesComeFromTheGeneratorXThenY) {
    // Each coordinate is rand() * size / 32767 rounded down, x drawn before y; the float
    // arithmetic may land on either side of a whole number that the exact quotient nearly
    // or exactly hits.
    for (const auto& [w, h] : {std::pair{512, 384}, std::pair{37, 23}}) {
        crt::srand(4321);
        const std::vector<MosaicSite> sites = mosaic_sites(3000, w, h);
        ASSERT_EQ(sites.size(), 3000u);
        crt::srand(4321);
        const auto near = [](int32_t got, int32_t side) {
            const double exact = double(crt::rand()) * side / 32767.0;
            return got >= int32_t(std::floor(exact - 2e-4)) &&
                   got <= int32_t(std::floor(exact + 2e-4));
        };
        for (const MosaicSite& s : sites) {
            ASSERT_TRUE(near(s.x, w)) << w << " x " << s.x;
            ASSERT_TRUE(near(s.y, h)) << h << " y " << s.y;
        }
    }
    EXPECT_TRUE(mosaic_sites(0, 512, 384).empty());
}

TEST(CellMosaic, BuildDrawsTheSitesAndMatchesBruteForce) {
    // Reduced size, all three levels: the sites are drawn level by level.
    crt::srand(123);
    CellMosaic small;
    ASSERT_TRUE(small.build(3, 64, 48, 1.2, 2.4));
    ASSERT_TRUE(small.ready);
    ASSERT_EQ(small.maps.size(), 3u);
    crt::srand(123);
    for (int32_t level = 0; level < 3; ++level) {
        const int32_t counts[3] = {193, 48, 12};
        const std::vector<MosaicSite> sites = mosaic_sites(counts[level], 64, 48);
        EXPECT_EQ(small.maps[size_t(level)], bruteForceMap(sites, 64, 48)) << "level " << level;
    }

    // The show's mosaic: 12405, 3116 and 782 sites, 2 draws each; the coarsest level at
    // full size against brute force.
    crt::srand(77);
    CellMosaic mosaic;
    ASSERT_TRUE(mosaic.build(3, 512, 384, 1.2, 2.4));
    const int32_t next = crt::rand();
    crt::srand(77);
    mosaic_sites(12405, 512, 384);
    mosaic_sites(3116, 512, 384);
    const std::vector<MosaicSite> coarse = mosaic_sites(782, 512, 384);
    EXPECT_EQ(crt::rand(), next);
    EXPECT_EQ(mosaic.maps[2], bruteForceMap(coarse, 512, 384));

    // One level only: e1 alone.
    CellMosaic single;
    ASSERT_TRUE(single.build(1, 32, 32, 1.0, 5.0));
    EXPECT_EQ(single.maps.size(), 1u);
}

TEST(CellMosaic, RemapThroughTheMapsOrCopy) {
    // Frames whose pixel counts fall on and off the eight-pixel stores, with cells of every
    // size, remapped into a sentinel-filled destination with guards past its end.
    constexpr uint32_t sentinel = 0xDEADBEEF;
    for (const auto& [w, h] :
         {std::pair{40, 30}, std::pair{37, 23}, std::pair{13, 5}, std::pair{3, 2}}) {
        crt::srand(5);
        CellMosaic mosaic;
        ASSERT_TRUE(mosaic.build(3, w, h, 0.3, 1.8));
        const std::vector<uint32_t> source = randomWords(size_t(w * h), 3);
        for (int32_t level = 0; level < 3; ++level) {
            std::vector<uint32_t> out(size_t(w * h + 9), sentinel);
            mosaic.remap(out.data(), source.data(), w, h, w, level);
            for (size_t o = 0; o < out.size(); ++o)
                ASSERT_EQ(out[o],
                          o < size_t(w * h) ? source[mosaic.maps[size_t(level)][o]] : sentinel)
                    << w << "x" << h << " level " << level << " pixel " << o;
        }
        // No map for this level: a copy.
        std::vector<uint32_t> out(size_t(w * h), sentinel);
        mosaic.remap(out.data(), source.data(), w, h, w, 3);
        EXPECT_EQ(out, source);
    }

    // Not built, or another pitch: a copy, rows `pitch` apart in both.
    crt::srand(5);
    CellMosaic mosaic;
    std::vector<uint32_t> wide(48 * 30, sentinel), wideSource = randomWords(48 * 30, 4);
    for (int built = 0; built < 2; ++built) {
        mosaic.remap(wide.data(), wideSource.data(), 40, 30, 48, 0);
        for (int32_t y = 0; y < 30; ++y)
            for (int32_t x = 0; x < 48; ++x)
                ASSERT_EQ(wide[size_t(y * 48 + x)],
                          x < 40 ? wideSource[size_t(y * 48 + x)] : sentinel);
        ASSERT_TRUE(mosaic.build(2, 40, 30, 1.0, 2.0));
    }
}
