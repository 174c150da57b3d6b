#pragma once
// Hash keys made of exact float bit patterns, for welding by equality in linear time.
// Equality of floats is not equality of bits: -0 equals +0, so zeros fold onto +0 before
// hashing; NaN equals nothing, so a value holding NaN is never looked up (see hasNan).

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace korvid {

inline uint32_t equalityBits(float f) {
    if (f == 0.0f)
        f = 0.0f;
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

template <size_t N>
struct ExactKey {
    std::array<uint32_t, N> word;

    bool operator==(const ExactKey& o) const { return word == o.word; }
};

template <size_t N>
struct ExactKeyHash {
    size_t operator()(const ExactKey<N>& k) const {
        uint64_t h = 0x9e3779b97f4a7c15ull;
        for (uint32_t w : k.word) {
            h ^= w;
            h *= 0xff51afd7ed558ccdull;
            h ^= h >> 32;
        }
        return size_t(h);
    }
};

inline bool hasNan(std::initializer_list<float> values) {
    for (float v : values)
        if (std::isnan(v))
            return true;
    return false;
}

} // namespace korvid
