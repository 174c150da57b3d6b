#pragma once
// Where the build put the data set, and small readers for checking its files.

#include "demo/assets.hpp"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

inline std::string dataPath(const std::string& relative) {
    return std::string(KORVID_BINARY_DIR) + "/data/" + relative;
}

inline std::vector<uint8_t> fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The show's material table: every face of every scene must name one of these.
inline const std::vector<std::string>& materialNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> all;
        for (const MaterialAsset& m : showMaterials)
            all.push_back(m.name);
        return all;
    }();
    return names;
}
