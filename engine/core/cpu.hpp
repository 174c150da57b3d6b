#pragma once
// What the processor runs beyond the x86-64 baseline, asked once: the pixel loops that have
// an AVX2 form choose it at run time, so one build serves every x86-64 processor.

namespace korvid {

#if defined(__SSE2__)
inline bool cpuHasAvx2() {
    // The explicit init makes the answer right even when first asked from a constructor
    // that runs before the library's own.
    static const bool has = (__builtin_cpu_init(), __builtin_cpu_supports("avx2"));
    return has;
}
#else
inline bool cpuHasAvx2() {
    return false;
}
#endif

} // namespace korvid
