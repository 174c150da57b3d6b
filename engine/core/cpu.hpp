#pragma once
// What the processor runs beyond the x86-64 baseline, asked once: the pixel loops that have
// an AVX2 form choose it at run time, so one build serves every x86-64 processor.
//
// The AVX2 forms and the question exist only on x86. Elsewhere the SSE2 forms may still be
// compiled (WebAssembly's SIMD takes them with -msse2), and nothing is asked.

#if defined(__x86_64__) || defined(__i386__)
#define KORVID_AVX2_FORMS 1
#else
#define KORVID_AVX2_FORMS 0
#endif

namespace korvid {

#if defined(__SSE2__) && KORVID_AVX2_FORMS
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
