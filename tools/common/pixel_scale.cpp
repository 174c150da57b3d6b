#include "tools/common/pixel_scale.hpp"

#include <algorithm>

void enlargeFrame(const uint32_t* pixels, int width, int height, int pitch, int factor,
                  std::vector<uint32_t>& out) {
    const size_t outWidth = size_t(width) * size_t(factor);
    out.resize(outWidth * size_t(height) * size_t(factor));
    uint32_t* row = out.data();
    for (int y = 0; y < height; ++y) {
        // One row widened, then copied for the other rows of its blocks.
        const uint32_t* from = pixels + size_t(y) * size_t(pitch);
        uint32_t* to = row;
        for (int x = 0; x < width; ++x, to += factor)
            std::fill(to, to + factor, from[x]);
        for (int copy = 1; copy < factor; ++copy)
            std::copy(row, row + outWidth, row + outWidth * size_t(copy));
        row += outWidth * size_t(factor);
    }
}
