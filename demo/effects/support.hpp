#pragma once
// Small helpers shared by the effects: float-to-integer truncation that is defined for
// every input, allocation that reports failure instead of throwing, and the palette type.

#include <array>
#include <cstddef>
#include <cstdint>
#include <new>
#include <stdexcept>
#include <vector>

#include "engine/core/pixel.hpp"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// 256 packed 0xAARRGGBB colours.
using Palette = std::array<uint32_t, 256>;

namespace effects {

// Truncation toward zero to 32 bits, or INT32_MIN for NaN and values outside the range:
// the value the processor's own conversion produces, so the result is what a plain cast
// gives on this target without its undefined behaviour.
inline int32_t truncOrMin(double value) {
    if (!(value > -2147483649.0 && value < 2147483648.0))
        return INT32_MIN;
    return int32_t(value);
}

// Resizes without throwing; false when the memory could not be had.
template <class T>
bool resizeNoThrow(std::vector<T>& values, size_t count) {
    try {
        values.resize(count);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    return true;
}

// Red, green and blue each summed and saturated at 255; the result's alpha is 0.
inline uint32_t addSaturateRgb(uint32_t d, uint32_t s) {
#if defined(__SSE2__)
    const __m128i sum = _mm_adds_epu8(_mm_cvtsi32_si128(int(d)), _mm_cvtsi32_si128(int(s)));
    return uint32_t(_mm_cvtsi128_si32(sum)) & 0x00FFFFFF;
#else
    return korvid::addSaturate(d, s) & 0x00FFFFFF;
#endif
}

} // namespace effects
