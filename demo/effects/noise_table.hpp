#pragma once
// The grey noise behind the film-grain blends: 2000 opaque greys drawn from the show's
// generator before main runs, read in order on the first pass and from random places
// after that.

#include <array>
#include <cstdint>

class NoiseTable {
public:
    static constexpr int32_t count = 2000;

    // Seeds the show's generator with 100, then draws the entries in order.
    NoiseTable();

    // Up to `wanted` (at least 1) consecutive values from the cursor on; returns how many.
    // Once the last entry has been read the cursor jumps to rand() % count at once, so
    // the draw happens exactly where a value-by-value reader would make it.
    int32_t take(int32_t wanted, const uint32_t*& values);

    // One value, as take(1, ...).
    uint32_t next();

    std::array<uint32_t, count> entries;
    int32_t cursor = 0;
};

// The program's one table; every noise blend continues where the previous one stopped.
extern NoiseTable noiseTable;
