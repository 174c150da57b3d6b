#include "demo/pixel_zoom.hpp"

#include <cstring>

namespace {

// One row widened, then copied to the other rows of its blocks; the factor is a constant
// of each form, so the widening loop has no inner loop of its own.
template <int32_t factor>
void zoomBy(const uint32_t* from, int32_t width, int32_t height, int32_t fromPitch, uint32_t* to,
            int32_t toPitch) {
    const size_t rowBytes = size_t(width) * factor * sizeof(uint32_t);
    for (int32_t y = 0; y < height; ++y) {
        const uint32_t* in = from + size_t(y) * size_t(fromPitch);
        uint32_t* out = to + size_t(y) * factor * size_t(toPitch);
        for (int32_t x = 0; x < width; ++x)
            for (int32_t k = 0; k < factor; ++k)
                out[x * factor + k] = in[x];
        for (int32_t copy = 1; copy < factor; ++copy)
            std::memcpy(out + size_t(copy) * size_t(toPitch), out, rowBytes);
    }
}

} // namespace

void zoom_pixels(const uint32_t* from, int32_t width, int32_t height, int32_t fromPitch,
                 int32_t factor, uint32_t* to, int32_t toPitch) {
    switch (factor) {
    case 1:
        return zoomBy<1>(from, width, height, fromPitch, to, toPitch);
    case 2:
        return zoomBy<2>(from, width, height, fromPitch, to, toPitch);
    case 3:
        return zoomBy<3>(from, width, height, fromPitch, to, toPitch);
    case 4:
        return zoomBy<4>(from, width, height, fromPitch, to, toPitch);
    default:
        return;
    }
}
