#pragma once
// The bump-mapped twister: a vertical column whose cross-section, a three-lobed closed
// curve, turns and scales row by row. The visible side of each row is drawn as spans with
// a repeating texture, a bump map, a light map and an additive specular map.

#include <array>
#include <cstdint>
#include <vector>

class Twister {
public:
    static constexpr int32_t mapSize = 256;     // every map is 256 x 256, rows of 256
    static constexpr int32_t outlineCount = 65; // the closed outline, first point repeated
    static constexpr int32_t depthColumns = 1024;

    // Stores the maps (not owned; argument order as the timeline passes them) and builds
    // the slopes from the height map's low byte. False, and nothing stored, for a null map.
    bool setMaps(const uint32_t* specMap, const uint32_t* lightMap, const uint32_t* heightMap,
                 const uint32_t* colourMap);

    // Draws `height` rows, row r at pixels + r * pitch, around column centreX. Spans are
    // kept inside 0 .. min(width, 1024) - 1; in the show they never reach those edges.
    void draw(uint32_t* pixels, int32_t width, int32_t height, int32_t pitch, double d,
              int32_t centreX);

    const uint32_t* colourMap = nullptr;
    const uint32_t* heightMap = nullptr; // only the low byte (blue) is read
    const uint32_t* lightMap = nullptr;
    const uint32_t* specMap = nullptr;
    std::vector<int8_t> slopeX, slopeY; // (H[x+1] - H[x]) / 4 and (H[y+1] - H[y]) / 4, wrapping

private:
    struct OutlinePoint {
        double x, y, nx, ny; // base position and unit normal
        int32_t is;          // position along the outline, 8.24 (s * 2^24)
        int32_t ix, iz, in;  // turned: column, depth 16.16, normal x as 0x800000 + nx' * 2^23
    };
    void drawRow(uint32_t* row, int32_t t, int32_t centreX, int32_t limit);

    std::array<OutlinePoint, outlineCount> outline{};
    std::array<int32_t, depthColumns> depth{};
};

// min(255, (t * l >> 8) + s) in each byte, alpha included.
uint32_t twister_shade(uint32_t texel, uint32_t light, uint32_t specular);
