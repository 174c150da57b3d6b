#pragma once
// The generator's own deterministic numbers: a hash for noise lattices and a small
// sequence generator (splitmix64) for scattering things. Same seed, same art, on every run.

#include <cstdint>

namespace dataset {

// Well-mixed 32 bits from three integers and a seed.
inline uint32_t hash3(int32_t x, int32_t y, int32_t z, uint32_t seed) {
    uint32_t h = seed * 0x9E3779B1u;
    h ^= uint32_t(x) * 0x85EBCA77u;
    h = (h << 13 | h >> 19) * 0xC2B2AE3Du;
    h ^= uint32_t(y) * 0x27D4EB2Fu;
    h = (h << 13 | h >> 19) * 0x165667B1u;
    h ^= uint32_t(z) * 0x9E3779B1u;
    h ^= h >> 15;
    h *= 0x85EBCA77u;
    h ^= h >> 13;
    h *= 0xC2B2AE3Du;
    h ^= h >> 16;
    return h;
}

// 0..1 from a hash.
inline float unitFloat(uint32_t h) {
    return float(h >> 8) * (1.0f / 16777216.0f);
}

class Random {
public:
    explicit Random(uint64_t seed) : state(seed) {}

    uint32_t next() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return uint32_t((z ^ (z >> 31)) >> 32);
    }
    // 0 <= value < 1.
    float uniform() { return unitFloat(next()); }
    float range(float lo, float hi) { return lo + (hi - lo) * uniform(); }
    // 0 <= value < count.
    int below(int count) { return int(uint64_t(next()) * uint64_t(count) >> 32); }

private:
    uint64_t state;
};

} // namespace dataset
