#pragma once
// Little-endian byte strings for 3DS files written by the tests: values, NUL-terminated
// names and chunks (a 16-bit id and a 32-bit length that includes the 6-byte header).

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

namespace korvid::testing {

using Bytes = std::vector<uint8_t>;

inline Bytes u16(uint16_t v) {
    return {uint8_t(v), uint8_t(v >> 8)};
}

inline Bytes u32(uint32_t v) {
    return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
}

inline Bytes f32(float f) {
    uint32_t v;
    std::memcpy(&v, &f, 4);
    return u32(v);
}

inline Bytes str(const std::string& s) {
    Bytes b(s.begin(), s.end());
    b.push_back(0);
    return b;
}

inline Bytes cat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

// `length` overrides the true length, to write damaged files.
inline Bytes chunk(uint16_t id, std::initializer_list<Bytes> parts, int64_t length = -1) {
    const Bytes body = cat(parts);
    return cat({u16(id), u32(length < 0 ? uint32_t(body.size() + 6) : uint32_t(length)), body});
}

inline void writeFile(const std::string& path, const Bytes& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!bytes.empty())
        std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

} // namespace korvid::testing
