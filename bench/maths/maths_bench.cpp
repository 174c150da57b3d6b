// The engine's maths functions beside the C library's, on inputs of the show's ranges.
// Run: build/bench/maths/bench_maths (times are per call).

#include "engine/math/elementary.hpp"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

std::vector<double> inputs(double lo, double hi, unsigned seed) {
    std::mt19937_64 g(seed);
    std::uniform_real_distribution<double> d(lo, hi);
    std::vector<double> v(4096);
    for (double& x : v)
        x = d(g);
    return v;
}

template <class F>
void run(benchmark::State& state, double lo, double hi, F f) {
    const std::vector<double> xs = inputs(lo, hi, 1);
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(f(xs[i]));
        i = (i + 1) & 4095;
    }
}

template <class F>
void run2(benchmark::State& state, double lo, double hi, F f) {
    const std::vector<double> ys = inputs(lo, hi, 2), xs = inputs(lo, hi, 3);
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(f(ys[i], xs[i]));
        i = (i + 1) & 4095;
    }
}

void sinOurs(benchmark::State& s) {
    run(s, -10, 10, [](double x) { return korvid::sin(x); });
}
void sinLibrary(benchmark::State& s) {
    run(s, -10, 10, [](double x) { return std::sin(x); });
}
void sincosOurs(benchmark::State& s) {
    run(s, -10, 10, [](double x) {
        double a, b;
        korvid::sincos(x, a, b);
        return a + b;
    });
}
void sincosLibrary(benchmark::State& s) {
    run(s, -10, 10, [](double x) { return std::sin(x) + std::cos(x); });
}
void atan2Ours(benchmark::State& s) {
    run2(s, -300, 300, [](double y, double x) { return korvid::atan2(y, x); });
}
void atan2Library(benchmark::State& s) {
    run2(s, -300, 300, [](double y, double x) { return std::atan2(y, x); });
}
void acosfOurs(benchmark::State& s) {
    run(s, -1, 1, [](double x) { return korvid::acos(float(x)); });
}
void acosfLibrary(benchmark::State& s) {
    run(s, -1, 1, [](double x) { return std::acos(float(x)); });
}
void expOurs(benchmark::State& s) {
    run(s, -20, 20, [](double x) { return korvid::exp(x); });
}
void expLibrary(benchmark::State& s) {
    run(s, -20, 20, [](double x) { return std::exp(x); });
}
void logOurs(benchmark::State& s) {
    run(s, 0, 100, [](double x) { return korvid::log(x); });
}
void logLibrary(benchmark::State& s) {
    run(s, 0, 100, [](double x) { return std::log(x); });
}
void powOurs(benchmark::State& s) {
    run2(s, 0, 3, [](double x, double y) { return korvid::pow(x, y); });
}
void powLibrary(benchmark::State& s) {
    run2(s, 0, 3, [](double x, double y) { return std::pow(x, y); });
}

BENCHMARK(sinOurs);
BENCHMARK(sinLibrary);
BENCHMARK(sincosOurs);
BENCHMARK(sincosLibrary);
BENCHMARK(atan2Ours);
BENCHMARK(atan2Library);
BENCHMARK(acosfOurs);
BENCHMARK(acosfLibrary);
BENCHMARK(expOurs);
BENCHMARK(expLibrary);
BENCHMARK(logOurs);
BENCHMARK(logLibrary);
BENCHMARK(powOurs);
BENCHMARK(powLibrary);

} // namespace

BENCHMARK_MAIN();
