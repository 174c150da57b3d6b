#pragma once
// Pictures compared as a viewer sees them at a glance: in 16x16 blocks of mean brightness,
// in which the film grain averages out.

#include "png_reader.hpp"

#include <cmath>
#include <vector>

// The brightness of each 16x16 block: the sum of its pixels' brightness, 0 to 1 each.
inline std::vector<double> blockMeans(const Image& image) {
    std::vector<double> means(size_t(image.width / 16) * size_t(image.height / 16));
    for (int y = 0; y < image.height / 16 * 16; ++y)
        for (int x = 0; x < image.width / 16 * 16; ++x) {
            const uint32_t p = image.pixels[size_t(y * image.width + x)];
            means[size_t(y / 16 * (image.width / 16) + x / 16)] +=
                double(((p >> 16) & 255) + ((p >> 8) & 255) + (p & 255)) / (3.0 * 256.0);
        }
    return means;
}

// The mean difference of the blocks' brightness, in pixels' worth (a block holds 256).
inline double coarseDifference(const Image& a, const Image& b) {
    const std::vector<double> ma = blockMeans(a), mb = blockMeans(b);
    double sum = 0;
    for (size_t i = 0; i < ma.size(); ++i)
        sum += std::fabs(ma[i] - mb[i]);
    return sum / double(ma.size());
}
