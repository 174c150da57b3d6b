#pragma once
// The maths functions of the whole project (engine, effects, show, tools and the data set
// generator), in place of the C library's: the C library's results differ between
// libraries, versions and processors, and these feed pixels and positions, which must be
// the same on every machine and in the browser. They use only IEEE arithmetic (+, -, *, /
// and sqrt, each correctly rounded) and integer operations, so every build computes the
// same bits.
//
// Every result lies within 1 ulp of the true value, and nearly all are the correctly
// rounded value. NaN, infinities, signed zeros and the special cases of atan2 and pow
// follow the C standard. The float forms compute in double and round once.

#include <cmath>

namespace korvid {

double sin(double x);
double cos(double x);
// sin x and cos x at once, the very bits that sin and cos give, for the cost of one
// argument reduction.
void sincos(double x, double& s, double& c);
double tan(double x);
double atan(double x);
double atan2(double y, double x);
double asin(double x);
double acos(double x);
double exp(double x);
double exp2(double x);
double log(double x);
double log10(double x);
double pow(double x, double y);

// Only in float: computed in double, where these are accurate to far less than a float's
// half ulp, and rounded once.
float sinh(float x);
float tanh(float x);

inline float sin(float x) {
    return float(sin(double(x)));
}
inline float cos(float x) {
    return float(cos(double(x)));
}
inline float tan(float x) {
    return float(tan(double(x)));
}
inline float atan(float x) {
    return float(atan(double(x)));
}
inline float atan2(float y, float x) {
    return float(atan2(double(y), double(x)));
}
// The square of a float is exact in double and 1 minus it rounded once, so the root is
// within 2^-52 of its size, and the angle (whose slope against it is at most 1/2) too.
inline float asin(float x) {
    const double v = x;
    return float(atan2(v, std::sqrt(1.0 - v * v)));
}
inline float acos(float x) {
    const double v = x;
    return float(atan2(std::sqrt(1.0 - v * v), v));
}
inline float exp(float x) {
    return float(exp(double(x)));
}
inline float exp2(float x) {
    return float(exp2(double(x)));
}
inline float log(float x) {
    return float(log(double(x)));
}
inline float log10(float x) {
    return float(log10(double(x)));
}
inline float pow(float x, float y) {
    return float(pow(double(x), double(y)));
}
// The squares of two floats are exact in double, their sum and its root rounded once
// each: well within a float's ulp. An infinity wins over a NaN, as in the C library.
inline float hypot(float x, float y) {
    if (std::isinf(x) || std::isinf(y))
        return HUGE_VALF;
    return float(std::sqrt(double(x) * double(x) + double(y) * double(y)));
}

} // namespace korvid
