// The C library's maths functions that the libraries linked into the generator import,
// answered by the project's own: the mp3 encoder's (sin, cos, tan, atan, exp, log, log10,
// pow, and log10 and pow in float), libpng's pow and lib3ds's sin, cos, atan2 and acos.
// The dynamic linker looks a name up in the program before the libraries it loads, so
// these definitions answer the libraries' calls: the encoder's decisions, and so the
// soundtrack's bytes, then depend on neither the C library nor the processor.

#include "engine/math/elementary.hpp"

extern "C" {

double sin(double x) noexcept {
    return korvid::sin(x);
}
double cos(double x) noexcept {
    return korvid::cos(x);
}
double tan(double x) noexcept {
    return korvid::tan(x);
}
double atan(double x) noexcept {
    return korvid::atan(x);
}
double atan2(double y, double x) noexcept {
    return korvid::atan2(y, x);
}
double acos(double x) noexcept {
    return korvid::acos(x);
}
double exp(double x) noexcept {
    return korvid::exp(x);
}
double log(double x) noexcept {
    return korvid::log(x);
}
double log10(double x) noexcept {
    return korvid::log10(x);
}
float log10f(float x) noexcept {
    return korvid::log10(x);
}
double pow(double x, double y) noexcept {
    return korvid::pow(x, y);
}
float powf(float x, float y) noexcept {
    return korvid::pow(x, y);
}

} // extern "C"
