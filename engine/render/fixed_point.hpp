#pragma once
// Float to fixed-point conversions for the span fillers. Both truncate toward zero, like a
// plain cast, but never hand a NaN or an out-of-range value to the conversion: slivers and
// points behind the camera can give gradients of any size.

#include <cstdint>

#if defined(__SSE2__)
#include <xmmintrin.h>
#endif

namespace korvid {

// Truncated toward zero and clamped to the int32 range; NaN gives 0. Used for shade and
// fade values, whose integer part is clamped again before any table read.
inline int32_t truncSaturate(float value) {
#if defined(__SSE2__)
    // The processor's own conversion is exact inside the range and gives INT32_MIN for NaN
    // and for anything outside it; only then do the clamps below have to decide.
    const int32_t quick = _mm_cvtt_ss2si(_mm_set_ss(value));
    if (quick != INT32_MIN)
        return quick;
#endif
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
#if defined(__SSE2__)
    // Inside the int32 range the 32-bit conversion gives the same low bits.
    const int32_t quick = _mm_cvtt_ss2si(_mm_set_ss(value));
    if (quick != INT32_MIN)
        return uint32_t(quick);
#endif
    if (!(value > -4.6e18f && value < 4.6e18f))
        return 0;
    return uint32_t(uint64_t(int64_t(value)));
}

} // namespace korvid
