// A long sweep of the maths functions against the x87 long double functions: for each,
// the largest error in ulps (as a fraction, measured in long double) and the share of
// results that are the correctly rounded value, over random inputs in the given ranges.
// Run: build/bench/maths/maths_sweep [millions of inputs per function, default 4]

#include "engine/math/elementary.hpp"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace {

// The error of `got` against the oracle, in units of the spacing of doubles at the oracle.
long double ulpError(double got, long double want) {
    const double rounded = double(want);
    const double spacing = std::nextafter(std::fabs(rounded), HUGE_VAL) - std::fabs(rounded);
    return std::fabs((long double)got - want) / spacing;
}

template <class Draw, class F, class O>
void sweep(const char* name, long count, Draw draw, F f, O oracle) {
    std::mt19937_64 g(7);
    long double worst = 0.0L;
    long exact = 0;
    for (long i = 0; i < count; ++i) {
        double x, y;
        draw(g, x, y);
        const long double want = oracle(x, y);
        const double got = f(x, y);
        const long double e = ulpError(got, want);
        if (e > worst)
            worst = e;
        exact += got == double(want);
    }
    std::printf("%-6s %8.4Lf ulp at most, %7.3f%% correctly rounded\n", name, worst,
                100.0 * double(exact) / double(count));
}

} // namespace

int main(int argc, char** argv) {
    const long count = (argc > 1 ? std::atol(argv[1]) : 4) * 1000000L;
    using G = std::mt19937_64;
    using L = long double;
    const auto angles = [](G& g, double& x, double&) {
        x = std::uniform_real_distribution<double>(-3000.0, 3000.0)(g);
    };
    const auto unit = [](G& g, double& x, double&) {
        x = std::uniform_real_distribution<double>(-1.0, 1.0)(g);
    };
    const auto plane = [](G& g, double& x, double& y) {
        std::uniform_real_distribution<double> d(-400.0, 400.0);
        x = d(g), y = d(g);
    };
    const auto exponents = [](G& g, double& x, double&) {
        x = std::uniform_real_distribution<double>(-700.0, 700.0)(g);
    };
    const auto positive = [](G& g, double& x, double&) {
        x = std::exp2(std::uniform_real_distribution<double>(-1000.0, 1000.0)(g));
    };
    const auto powers = [](G& g, double& x, double& y) {
        x = std::exp2(std::uniform_real_distribution<double>(-20.0, 20.0)(g));
        y = std::uniform_real_distribution<double>(-700.0, 700.0)(g) / std::log(x);
    };
    sweep(
        "sin", count, angles, [](double x, double) { return korvid::sin(x); },
        [](L x, L) { return sinl(x); });
    sweep(
        "cos", count, angles, [](double x, double) { return korvid::cos(x); },
        [](L x, L) { return cosl(x); });
    sweep(
        "tan", count, angles, [](double x, double) { return korvid::tan(x); },
        [](L x, L) { return tanl(x); });
    sweep(
        "atan2", count, plane, [](double y, double x) { return korvid::atan2(y, x); },
        [](L y, L x) { return atan2l(y, x); });
    sweep(
        "asin", count, unit, [](double x, double) { return korvid::asin(x); },
        [](L x, L) { return asinl(x); });
    sweep(
        "acos", count, unit, [](double x, double) { return korvid::acos(x); },
        [](L x, L) { return acosl(x); });
    sweep(
        "exp", count, exponents, [](double x, double) { return korvid::exp(x); },
        [](L x, L) { return expl(x); });
    sweep(
        "log", count, positive, [](double x, double) { return korvid::log(x); },
        [](L x, L) { return logl(x); });
    sweep(
        "pow", count, powers, [](double x, double y) { return korvid::pow(x, y); },
        [](L x, L y) { return powl(x, y); });
}
