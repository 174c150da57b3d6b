#pragma once
// The cell mosaic: every destination pixel takes the source pixel at the nearest of a set
// of random sites. Levels with fewer and fewer sites are precomputed as lookup maps, so a
// frame is remapped with table lookups alone.

#include <cstdint>
#include <vector>

struct MosaicSite {
    int32_t x, y;
};

// `count` sites from the show's generator, x then y for each; x lies in 0..width and y in
// 0..height (a draw of 32767 reaches the far edge itself).
std::vector<MosaicSite> mosaic_sites(int32_t count, int32_t width, int32_t height);

// map[y * width + x] = site.y * width + site.x of the nearest site by squared distance,
// the earlier site winning ties; an index past the last pixel (a site on the bottom edge)
// is held at the last pixel. Without sites every entry is 0. False when memory runs out.
bool nearest_site_map(const std::vector<MosaicSite>& sites, int32_t width, int32_t height,
                      std::vector<uint32_t>& map);

class CellMosaic {
public:
    // Level i of `levels` has trunc(width * height / 10^e) sites, with e running from e1
    // (level 0, the finest) to e2 (the coarsest). Sites are drawn level by level. False
    // when memory runs out; the mosaic then stays not ready.
    bool build(int32_t levels, int32_t width, int32_t height, double e1, double e2);

    // Fills the destination from the source through the level's map. Without a map for
    // this level, size and pitch (the maps assume pitch == width) it copies the source:
    // `width` pixels per row, rows `pitch` pixels apart in both.
    void remap(uint32_t* destination, const uint32_t* source, int32_t width, int32_t height,
               int32_t pitch, int32_t level) const;

    std::vector<std::vector<uint32_t>> maps; // one per level, width * height source indices

    // A map read as runs of equal entries, in pixel order: offsets up to `end` (exclusive)
    // copy source pixel `source`. A cell crosses a row in a few runs of several pixels, so
    // a remap reads one source pixel a run and fills the run with it.
    struct Run {
        uint32_t source, end;
    };
    std::vector<std::vector<Run>> runs; // one per level, made from the maps at build

    uint8_t ready = 0;
    int32_t mapWidth = 0, mapHeight = 0;
};
