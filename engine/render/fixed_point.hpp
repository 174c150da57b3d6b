#pragma once
// Float to fixed-point conversions for the span fillers. Both truncate toward zero, like a
// plain cast, but never hand a NaN or an out-of-range value to the conversion: slivers and
// points behind the camera can give gradients of any size.

#include <cstdint>

namespace korvid {

// Truncated toward zero and clamped to the int32 range; NaN gives 0. Used for shade and
// fade values, whose integer part is clamped again before any table read.
inline int32_t truncSaturate(float value) {
    if (value >= 2147483520.0f)
        return INT32_MAX; // the largest float below 2^31
    if (value <= -2147483648.0f)
        return INT32_MIN;
    if (!(value == value))
        return 0;
    return int32_t(value);
}

// Truncated toward zero and taken modulo 2^32, so that texture coordinates keep wrapping
// like the repeats they stand for. NaN and magnitudes beyond 2^62 give 0.
inline uint32_t truncWrap(float value) {
    if (!(value > -4.6e18f && value < 4.6e18f))
        return 0;
    return uint32_t(uint64_t(int64_t(value)));
}

} // namespace korvid
