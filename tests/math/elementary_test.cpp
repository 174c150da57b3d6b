// The maths functions against the x87 long double functions of the C library, whose
// results carry 11 bits more than a double: each result must be within 1 ulp (counted in
// representable values between them) of the oracle rounded to double, over the ranges
// the show uses, over wide random ranges and at the special values.

#include "engine/math/elementary.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace {

// The position of a double among all doubles, in order: the difference of two positions
// is the number of representable values from one to the other.
int64_t ordinal(double x) {
    int64_t i;
    std::memcpy(&i, &x, sizeof i);
    return i < 0 ? INT64_MIN - i : i;
}

int32_t ordinal(float x) {
    int32_t i;
    std::memcpy(&i, &x, sizeof i);
    return i < 0 ? INT32_MIN - i : i;
}

// Representable values between a result and the expected one; NaN matches only NaN.
template <class T>
uint64_t ulpsApart(T got, T want) {
    if (std::isnan(got) || std::isnan(want))
        return std::isnan(got) && std::isnan(want) ? 0 : UINT64_MAX;
    const int64_t d = int64_t(ordinal(got)) - int64_t(ordinal(want));
    return uint64_t(d < 0 ? -d : d);
}

// The accuracy of one function over a set of inputs: the most ulps any result is from the
// oracle, and how many are not its correctly rounded value.
struct Accuracy {
    uint64_t worst = 0;
    size_t misses = 0, count = 0;
    double worstAt = 0.0;
};

template <class F, class O>
Accuracy measure(const std::vector<double>& xs, F f, O oracle) {
    Accuracy a;
    for (double x : xs) {
        const uint64_t d = ulpsApart(f(x), double(oracle((long double)x)));
        if (d > a.worst)
            a.worst = d, a.worstAt = x;
        a.misses += d != 0;
        ++a.count;
    }
    return a;
}

template <class F, class O>
Accuracy measure2(const std::vector<double>& ys, const std::vector<double>& xs, F f, O oracle) {
    Accuracy a;
    for (size_t i = 0; i < xs.size(); ++i) {
        const uint64_t d =
            ulpsApart(f(ys[i], xs[i]), double(oracle((long double)ys[i], (long double)xs[i])));
        if (d > a.worst)
            a.worst = d, a.worstAt = ys[i];
        a.misses += d != 0;
        ++a.count;
    }
    return a;
}

// Within 1 ulp everywhere, and the correctly rounded value nearly everywhere: a lost
// low-order term shows as a rise in misses long before a result strays by 2 ulps. The
// functions that carry two doubles to the end miss about 1 in 1000 (about half of them the
// oracle's own double rounding), sine and cosine, whose correction term is rounded, about
// 1 in 80.
void expectAccurate(const Accuracy& a, const char* what, size_t oneIn = 200) {
    EXPECT_LE(a.worst, 1u) << what << ", worst at " << a.worstAt;
    EXPECT_LT(a.misses, a.count / oneIn + 1) << what << ": " << a.misses << " of " << a.count;
}

std::vector<double> uniform(double lo, double hi, size_t n, unsigned seed) {
    std::mt19937_64 g(seed);
    std::uniform_real_distribution<double> d(lo, hi);
    std::vector<double> v(n);
    for (double& x : v)
        x = d(g);
    return v;
}

// Random doubles whose exponents are spread evenly from 2^lo to 2^hi, of both signs.
std::vector<double> logUniform(int lo, int hi, size_t n, unsigned seed) {
    std::mt19937_64 g(seed);
    std::uniform_real_distribution<double> e(lo, hi);
    std::vector<double> v(n);
    for (size_t i = 0; i < n; ++i)
        v[i] = std::exp2(e(g)) * (g() & 1 ? -1.0 : 1.0);
    return v;
}

std::vector<double> join(std::vector<double> a, const std::vector<double>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

constexpr size_t samples = 20000;

TEST(Maths, SineAndCosineWithin1Ulp) {
    // The show's angles (demo time times rates, up to a few thousand radians), wide random
    // ones up to 2^1023, and doubles nearest to multiples of pi/2, where the reduction must
    // keep the few bits that are left.
    std::vector<double> xs =
        join(uniform(-3000.0, 3000.0, samples, 1), logUniform(-30, 1023, samples, 2));
    for (int k = 1; k < 2000; ++k)
        xs.push_back(double((long double)k * 1.57079632679489661923132169163975144L));
    xs.push_back(6381956970095103.0 * std::exp2(797.0)); // closest to a multiple of pi/2
    xs.push_back(DBL_MAX);
    xs.push_back(0x1p19); // both sides of the fast reduction's limit
    xs.push_back(std::nextafter(0x1p19, 0.0));
    expectAccurate(measure(
                       xs, [](double x) { return korvid::sin(x); }, sinl),
                   "sin", 40);
    expectAccurate(measure(
                       xs, [](double x) { return korvid::cos(x); }, cosl),
                   "cos", 40);
    expectAccurate(measure(
                       xs, [](double x) { return korvid::tan(x); }, tanl),
                   "tan", 25);

    // sincos gives the very bits of sin and cos.
    for (double x : xs) {
        double s, c;
        korvid::sincos(x, s, c);
        ASSERT_EQ(ordinal(s), ordinal(korvid::sin(x))) << x;
        ASSERT_EQ(ordinal(c), ordinal(korvid::cos(x))) << x;
    }
}

TEST(Maths, SineAndCosineSpecialValues) {
    EXPECT_EQ(ordinal(korvid::sin(-0.0)), ordinal(-0.0));
    EXPECT_EQ(ordinal(korvid::tan(-0.0)), ordinal(-0.0));
    EXPECT_EQ(ordinal(korvid::sin(0.0)), ordinal(0.0));
    EXPECT_EQ(korvid::cos(-0.0), 1.0);
    EXPECT_EQ(korvid::sin(4.9e-324), 4.9e-324);
    EXPECT_EQ(korvid::sin(0x1p-30), 0x1p-30);
    EXPECT_EQ(korvid::cos(0x1p-30), 1.0);
    for (double bad : {HUGE_VAL, -HUGE_VAL, double(NAN)}) {
        EXPECT_TRUE(std::isnan(korvid::sin(bad)));
        EXPECT_TRUE(std::isnan(korvid::cos(bad)));
        EXPECT_TRUE(std::isnan(korvid::tan(bad)));
    }
    // Odd and even, bit for bit, at any size.
    for (double x : logUniform(-20, 1000, 2000, 3)) {
        ASSERT_EQ(ordinal(korvid::sin(-x)), ordinal(-korvid::sin(x))) << x;
        ASSERT_EQ(ordinal(korvid::cos(-x)), ordinal(korvid::cos(x))) << x;
    }
}

TEST(Maths, ArctangentsWithin1Ulp) {
    // The twist's and the effects' coordinates, in every quadrant, and pairs of wide
    // random size, including ratios beyond 2^60 and numbers beyond 2^500.
    const std::vector<double> ys =
        join(uniform(-400.0, 400.0, samples, 4), logUniform(-1000, 1000, samples, 5));
    const std::vector<double> xs =
        join(uniform(-400.0, 400.0, samples, 6), logUniform(-1000, 1000, samples, 7));
    expectAccurate(measure2(
                       ys, xs, [](double y, double x) { return korvid::atan2(y, x); }, atan2l),
                   "atan2");
    const std::vector<double> ts =
        join(join(uniform(-3.0, 3.0, samples, 8), logUniform(-40, 80, samples, 9)),
             uniform(-1.0 / 32, 1.0 / 32, samples, 10));
    expectAccurate(measure(
                       ts, [](double x) { return korvid::atan(x); }, atanl),
                   "atan");
    const std::vector<double> us =
        join(uniform(-1.0, 1.0, samples, 11), logUniform(-60, 0, samples, 12));
    std::vector<double> nearOne;
    for (int i = 1; i < 2000; ++i)
        nearOne.push_back(1.0 - i * 0x1p-53), nearOne.push_back(-1.0 + i * 0x1p-40);
    expectAccurate(measure(
                       join(us, nearOne), [](double x) { return korvid::asin(x); }, asinl),
                   "asin");
    expectAccurate(measure(
                       join(us, nearOne), [](double x) { return korvid::acos(x); }, acosl),
                   "acos");
}

TEST(Maths, ArctangentSpecialValuesFollowTheCStandard) {
    // Every pairing of signed zeros, infinities, NaN and ordinary values: the C library's
    // results for these are fixed by the standard.
    const double v[] = {0.0, -0.0, 1.0, -1.0, 2.5, -2.5, HUGE_VAL, -HUGE_VAL, NAN, 1e-310, 1e308};
    for (double y : v)
        for (double x : v)
            EXPECT_EQ(ulpsApart(korvid::atan2(y, x), std::atan2(y, x)), 0u) << y << ", " << x;
    for (double x : v) {
        EXPECT_EQ(ulpsApart(korvid::atan(x), std::atan(x)), 0u) << x;
        EXPECT_EQ(ulpsApart(korvid::asin(x), std::asin(x)), 0u) << x;
        EXPECT_EQ(ulpsApart(korvid::acos(x), std::acos(x)), 0u) << x;
    }
    EXPECT_EQ(korvid::acos(1.0), 0.0);
    EXPECT_TRUE(std::isnan(korvid::acos(1.0 + 0x1p-52)));
    EXPECT_TRUE(std::isnan(korvid::asin(-1.0 - 0x1p-52)));
}

TEST(Maths, ExponentialsAndLogarithmWithin1Ulp) {
    std::vector<double> xs =
        join(uniform(-745.0, 709.7, samples, 13), uniform(-0.01, 0.01, samples, 14));
    expectAccurate(measure(
                       xs, [](double x) { return korvid::exp(x); }, expl),
                   "exp");
    xs = join(uniform(-1074.0, 1023.9, samples, 15), uniform(-1.0, 1.0, samples, 16));
    for (int i = -1074; i < 1024; ++i)
        xs.push_back(i); // exact powers of two
    expectAccurate(measure(
                       xs, [](double x) { return korvid::exp2(x); }, exp2l),
                   "exp2");
    std::vector<double> ps = logUniform(-1074, 1024, samples, 17);
    for (double& p : ps)
        p = std::fabs(p);
    ps = join(ps, uniform(0.5, 2.0, samples, 18));
    for (int i = 1; i < 2000; ++i)
        ps.push_back(1.0 + i * 0x1p-52), ps.push_back(1.0 - i * 0x1p-53);
    expectAccurate(measure(
                       ps, [](double x) { return korvid::log(x); }, logl),
                   "log");
    expectAccurate(measure(
                       ps, [](double x) { return korvid::log10(x); }, log10l),
                   "log10");
    for (int i = -300; i <= 300; ++i)
        ASSERT_EQ(korvid::log10(std::stod("1e" + std::to_string(i))), i);
}

TEST(Maths, PowerWithin1Ulp) {
    // The mosaic's 10^e, the data set's powers of numbers in 0..1, and wide pairs whose
    // result stays in range (y log x up to 700), where the logarithm's error is
    // magnified most.
    std::mt19937_64 g(19);
    std::vector<double> xs, ys;
    for (double e : uniform(-3.0, 0.0, samples, 20))
        xs.push_back(10.0), ys.push_back(e);
    for (double x : uniform(0.0, 1.0, samples, 21))
        xs.push_back(x), ys.push_back(double(g() % 6000) / 100.0);
    std::uniform_real_distribution<double> exponent(-1000.0, 1000.0), size(-700.0, 700.0);
    for (size_t i = 0; i < samples; ++i) {
        const double x = std::exp2(exponent(g));
        xs.push_back(x);
        ys.push_back(size(g) / std::log(x));
    }
    // Bases near 1 with exponents to match, where the logarithm's low-order terms count.
    std::uniform_real_distribution<double> nearOne(-0.02, 0.02);
    for (int i = 1; i < 4000; ++i) {
        const double x = i % 4 == 1   ? 1.0 + i * 0x1p-40
                         : i % 4 == 3 ? 1.0 - i * 0x1p-41
                                      : 1.0 + nearOne(g);
        xs.push_back(x);
        ys.push_back(double(g() % 1400 - 700) / std::log(x));
    }
    for (int i = -30; i <= 30; ++i)
        xs.push_back(-3.0), ys.push_back(i); // negative base, whole exponents
    expectAccurate(measure2(
                       xs, ys, [](double x, double y) { return korvid::pow(x, y); }, powl),
                   "pow");
    EXPECT_EQ(korvid::pow(10.0, 2.0), 100.0);
    EXPECT_EQ(korvid::pow(2.0, -1074.0), 4.9e-324);
    EXPECT_EQ(korvid::pow(-2.0, 3.0), -8.0);
}

TEST(Maths, PowerSpecialValuesFollowTheCStandard) {
    const double v[] = {0.0,  -0.0, 1.0,  -1.0,     0.5,       -0.5, 2.0,    -2.0,   3.0,
                        -3.0, 2.5,  -2.5, HUGE_VAL, -HUGE_VAL, NAN,  0x1p60, -0x1p60};
    for (double x : v)
        for (double y : v)
            EXPECT_EQ(ulpsApart(korvid::pow(x, y), std::pow(x, y)), 0u) << x << " ^ " << y;
    for (double x : v) {
        EXPECT_EQ(ulpsApart(korvid::exp(x), std::exp(x)), 0u) << x;
        EXPECT_EQ(ulpsApart(korvid::exp2(x), std::exp2(x)), 0u) << x;
        EXPECT_EQ(ulpsApart(korvid::log(x), std::log(x)), 0u) << x;
        EXPECT_EQ(ulpsApart(korvid::log10(x), std::log10(x)), 0u) << x;
    }
    EXPECT_EQ(korvid::exp(709.8), HUGE_VAL);
    EXPECT_EQ(korvid::exp(-745.2), 0.0);
    EXPECT_EQ(korvid::exp(-745.1), 4.9e-324);
}

// The float forms against the oracle rounded to float, over the data set's and the
// engine's ranges (sinh and tanh on both sides of 0.5, where their method changes) and wide
// random ones.
TEST(Maths, FloatFormsWithin1Ulp) {
    std::mt19937 g(22);
    std::uniform_real_distribution<float> angle(-200.0f, 200.0f), unit(-1.0f, 1.0f),
        small(-12.0f, 12.0f), positive(0.0f, 8.0f);
    std::vector<float> a(samples), u(samples), s(samples), p(samples), q(samples);
    for (size_t i = 0; i < samples; ++i)
        a[i] = angle(g), u[i] = unit(g), s[i] = small(g), p[i] = positive(g), q[i] = positive(g);
    auto check = [](const char* what, const std::vector<float>& xs, const std::vector<float>& ys,
                    auto f, auto oracle) {
        Accuracy accuracy;
        for (size_t i = 0; i < xs.size(); ++i) {
            const uint64_t d = ulpsApart(f(xs[i], ys[i]), float(oracle(xs[i], ys[i])));
            accuracy.worst = std::max(accuracy.worst, d);
            accuracy.misses += d != 0;
            ++accuracy.count;
        }
        expectAccurate(accuracy, what);
    };
    using L = long double;
    check(
        "sin", a, a, [](float x, float) { return korvid::sin(x); }, [](L x, L) { return sinl(x); });
    check(
        "cos", a, a, [](float x, float) { return korvid::cos(x); }, [](L x, L) { return cosl(x); });
    check(
        "tan", a, a, [](float x, float) { return korvid::tan(x); }, [](L x, L) { return tanl(x); });
    check(
        "atan", s, s, [](float x, float) { return korvid::atan(x); },
        [](L x, L) { return atanl(x); });
    check(
        "atan2", u, s, [](float y, float x) { return korvid::atan2(y, x); }, atan2l);
    check(
        "asin", u, u, [](float x, float) { return korvid::asin(x); },
        [](L x, L) { return asinl(x); });
    check(
        "acos", u, u, [](float x, float) { return korvid::acos(x); },
        [](L x, L) { return acosl(x); });
    check(
        "exp", s, s, [](float x, float) { return korvid::exp(x); }, [](L x, L) { return expl(x); });
    check(
        "exp2", s, s, [](float x, float) { return korvid::exp2(x); },
        [](L x, L) { return exp2l(x); });
    check(
        "log", p, p, [](float x, float) { return korvid::log(x); }, [](L x, L) { return logl(x); });
    check(
        "log10", p, p, [](float x, float) { return korvid::log10(x); },
        [](L x, L) { return log10l(x); });
    check(
        "pow", p, s, [](float x, float y) { return korvid::pow(x, y); }, powl);
    check(
        "hypot", p, q, [](float x, float y) { return korvid::hypot(x, y); }, hypotl);
    std::vector<float> halves = u, larger = s;
    for (float& h : halves)
        h *= 0.5f;
    check(
        "sinh", halves, halves, [](float x, float) { return korvid::sinh(x); },
        [](L x, L) { return sinhl(x); });
    check(
        "sinh", s, s, [](float x, float) { return korvid::sinh(x); },
        [](L x, L) { return sinhl(x); });
    check(
        "tanh", halves, halves, [](float x, float) { return korvid::tanh(x); },
        [](L x, L) { return tanhl(x); });
    check(
        "tanh", s, s, [](float x, float) { return korvid::tanh(x); },
        [](L x, L) { return tanhl(x); });

    for (float x : {0.0f, -0.0f, 1e-40f, -1e-40f, 1e30f, 100.0f, -100.0f}) {
        EXPECT_EQ(ordinal(korvid::sinh(x)), ordinal(sinhf(x))) << x;
        EXPECT_EQ(ordinal(korvid::tanh(x)), ordinal(tanhf(x))) << x;
        EXPECT_EQ(ordinal(korvid::tan(x)), ordinal(tanf(x))) << x;
    }
    EXPECT_EQ(korvid::hypot(HUGE_VALF, NAN), HUGE_VALF);
    EXPECT_EQ(korvid::hypot(NAN, -HUGE_VALF), HUGE_VALF);
    EXPECT_TRUE(std::isnan(korvid::hypot(1.0f, NAN)));
}

} // namespace
