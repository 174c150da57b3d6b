#pragma once
// Small helpers shared by the effects: float-to-integer truncation that is defined for
// every input, allocation that reports failure instead of throwing, and the palette type.

#include <array>
#include <cstddef>
#include <cstdint>
#include <new>
#include <stdexcept>
#include <vector>

// 256 packed 0xAARRGGBB colours.
using Palette = std::array<uint32_t, 256>;

namespace effects {

// Truncation toward zero to 32 bits. NaN and values outside the range give INT32_MIN,
// the value the processor's own conversion produces, so the result is what a plain cast
// gives on this target without its undefined behaviour.
inline int32_t trunc32(double value) {
    if (!(value > -2147483649.0 && value < 2147483648.0)) return INT32_MIN;
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

} // namespace effects
