/* The C library's maths functions, each giving the neighbour of its usual result: loaded
   into the show with LD_PRELOAD, it stands for another C library (or another version, or
   another processor) that rounds differently. The show must draw the same frames. */

#define _GNU_SOURCE
#include <dlfcn.h>
#include <math.h>

#define NUDGE1(type, name, up)                                                                     \
    type name(type x) {                                                                            \
        static type (*real)(type);                                                                 \
        if (!real)                                                                                 \
            real = (type(*)(type))dlsym(RTLD_NEXT, #name);                                         \
        return up(real(x), INFINITY);                                                              \
    }
#define NUDGE2(type, name, up)                                                                     \
    type name(type x, type y) {                                                                    \
        static type (*real)(type, type);                                                           \
        if (!real)                                                                                 \
            real = (type(*)(type, type))dlsym(RTLD_NEXT, #name);                                   \
        return up(real(x, y), INFINITY);                                                           \
    }

NUDGE1(double, sin, nextafter)
NUDGE1(double, cos, nextafter)
NUDGE1(double, tan, nextafter)
NUDGE1(double, asin, nextafter)
NUDGE1(double, acos, nextafter)
NUDGE1(double, atan, nextafter)
NUDGE1(double, exp, nextafter)
NUDGE1(double, exp2, nextafter)
NUDGE1(double, log, nextafter)
NUDGE1(double, log10, nextafter)
NUDGE1(double, sinh, nextafter)
NUDGE1(double, tanh, nextafter)
NUDGE2(double, atan2, nextafter)
NUDGE2(double, pow, nextafter)
NUDGE2(double, hypot, nextafter)
NUDGE1(float, sinf, nextafterf)
NUDGE1(float, cosf, nextafterf)
NUDGE1(float, tanf, nextafterf)
NUDGE1(float, asinf, nextafterf)
NUDGE1(float, acosf, nextafterf)
NUDGE1(float, atanf, nextafterf)
NUDGE1(float, expf, nextafterf)
NUDGE1(float, exp2f, nextafterf)
NUDGE1(float, logf, nextafterf)
NUDGE1(float, log10f, nextafterf)
NUDGE1(float, sinhf, nextafterf)
NUDGE1(float, tanhf, nextafterf)
NUDGE2(float, atan2f, nextafterf)
NUDGE2(float, powf, nextafterf)
NUDGE2(float, hypotf, nextafterf)
