// The zoomed window's pictures: every pixel repeated factor x factor times, and nothing
// written outside the enlarged picture.

#include "demo/pixel_zoom.hpp"

#include <gtest/gtest.h>

#include <vector>

TEST(Zoom, EveryPixelBecomesABlockAndNothingElseIsWritten) {
    // Rows of both pictures lie further apart than they are wide: the gaps are sentinels.
    constexpr int32_t width = 13, height = 5, fromPitch = 17;
    constexpr uint32_t gap = 0xDEADBEEF, untouched = 0x5A5A5A5A;
    std::vector<uint32_t> from(size_t(fromPitch * height), gap);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            from[size_t(y * fromPitch + x)] = 0x01000000u * uint32_t(y + 1) + uint32_t(x * 977 + 1);
    for (int32_t factor = 1; factor <= 4; ++factor) {
        const int32_t toPitch = width * factor + 3;
        std::vector<uint32_t> to(size_t(toPitch * height * factor + 7), untouched);
        zoom_pixels(from.data(), width, height, fromPitch, factor, to.data(), toPitch);
        for (int32_t y = 0; y < height * factor; ++y)
            for (int32_t x = 0; x < toPitch; ++x) {
                const uint32_t wanted = x < width * factor
                                            ? from[size_t(y / factor * fromPitch + x / factor)]
                                            : untouched;
                ASSERT_EQ(to[size_t(y * toPitch + x)], wanted) << factor << ": " << x << "," << y;
            }
        for (size_t i = size_t(toPitch * height * factor); i < to.size(); ++i)
            ASSERT_EQ(to[i], untouched) << factor;
    }
}
