#pragma once
// Procedural noise for textures and skies. Every function takes a period in lattice
// cells (0 for none) so that textures can tile without a seam.

#include <cstdint>

namespace dataset {

// Gradient noise, about -1..1, lattice of unit cells.
float gradientNoise(float x, float y, int period, uint32_t seed);

// Sum of `octaves` layers of gradient noise, each twice as fine and `gain` as strong;
// normalised to about -1..1. The period doubles with every octave, so tiles stay seamless.
float fbm(float x, float y, int octaves, int period, uint32_t seed, float gain = 0.5f);

// Like fbm with folded layers: ridges where the noise crosses zero (cracks, veins).
float ridged(float x, float y, int octaves, int period, uint32_t seed);

// Cellular noise: distances to the nearest and second nearest feature point, in cells.
struct Cells {
    float nearest = 0.0f, second = 0.0f;
    uint32_t id = 0; // hash of the nearest cell, for per-cell colour
};
Cells cellular(float x, float y, int period, uint32_t seed);

} // namespace dataset
