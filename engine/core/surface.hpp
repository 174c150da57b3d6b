#pragma once
// The engine's pixel buffer: 32-bit or 8-bit window-system storage, or plain 32-bit cells
// used as floats (depth values). A mipmapped surface keeps its chain in a band of
// height/2 rows below the base image.

#include "engine/core/errors.hpp"
#include "engine/core/resource.hpp"
#include "engine/math/math.hpp"

#include <cstdint>
#include <vector>

struct SDL_Surface;

namespace korvid {

using SurfaceStorage = int32_t;
enum : SurfaceStorage {
    storageCells = 0,
    storage32 = 1,
    storage8 = 2,
};

// Belongs to the surface being drawn, not to the destination.
using BlendMode = uint32_t;
enum : BlendMode {
    blendReplace = 0,
    blendAlpha = 1,
    blendAdd = 2,
};

// xmax and ymax are exclusive.
struct Rect {
    int32_t xmin = 0, xmax = 0, ymin = 0, ymax = 0;
};

// The smallest k with 2^k >= value; 0 for values of 1 or less.
int32_t ceilLog2(int32_t value);

class Surface : public Resource {
public:
    Surface() : Resource(kindSurface) {}
    ~Surface() override;

    // 1 for an unknown storage or mipmaps on cells, 2 when cells cannot be had,
    // 25 when the window system refuses the surface.
    Error create(int32_t width, int32_t height, SurfaceStorage storage, bool mipmapped);
    // Borrows the screen; 1 unless it has 32 bits per pixel.
    Error bindScreen(SDL_Surface* screen);

    // One lock per storage: 1 for the wrong storage, 5 when locked already,
    // 3 when the storage is missing, 25 when the window system refuses.
    Error lock(uint32_t*& pixels, int32_t& pitch);
    Error lock(uint8_t*& pixels, int32_t& pitch);
    Error lock(float*& cells, int32_t& pitch);
    Error unlock();

    void fill(uint32_t colour, const Rect* rect = nullptr);
    void fill(float value, const Rect* rect = nullptr);
    void clear(const Rect* rect = nullptr) { fill(uint32_t(0), rect); }

    // Draws source onto this surface at (x, y) in the source's blend mode, repeated
    // across this surface along the axes that tile.
    void draw(Surface* source, int32_t x, int32_t y, float opacity, bool tileX = false,
              bool tileY = false);
    void blit(Surface* source, int32_t x, int32_t y, float opacity);

    void buildMipmaps();

    void setPalette(const std::vector<uint32_t>& colours);
    void setPaletteEntry(int32_t index, uint32_t colour);
    // 256 entries from `from` to `to` in red, green and blue, whatever count says.
    void rampPalette(const Colour& from, const Colour& to, int32_t count);

    int32_t pitch = 0; // in pixels for 32-bit storage, bytes for 8-bit, cells for cells
    int32_t width = 0, height = 0;
    int32_t widthLog2 = 0, heightLog2 = 0, pitchLog2 = 0;
    bool locked = false;
    SurfaceStorage storage = storageCells;
    BlendMode blendMode = blendReplace;
    bool mipmapped = false;
    std::vector<uint32_t> palette;
    SDL_Surface* sdlSurface = nullptr;
    std::vector<float> cells;
    bool borrowed = false; // the screen belongs to the window system

private:
    void releaseStorage();
    bool needsWindowLock() const;
    Error lockWindowSurface(SurfaceStorage form, void*& pixels, int32_t& outPitch);
};

} // namespace korvid
