// The fillers against their values worked out per pixel in double precision: every value is
// the blend of its three corner values at one pixel right of the pixel, and the pixel
// follows from it by the filler's rule. The fixed-point stepping may stray from the exact
// value by its truncations, so a value that close to a level, texel or depth boundary may
// land on either side; every other pixel must match exactly.

#include "engine/render/fixed_point.hpp"
#include "engine/render/span_fillers.hpp"
#include "engine/render/span_table.hpp"
#include "frame.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace korvid {
namespace {

using test::Frame;

// The rows of the latest face scanned.
SpanTable spanTable;

constexpr double unit16 = 1.0 / 65536.0, unit8 = 1.0 / 256.0, unit24 = 1.0 / 16777216.0;
constexpr float storedDepth = 0.5f; // faces in front of it are drawn

// A front-facing triangle over a 64x48 frame (corners partly outside) with random corner
// values for every interpolated quantity, and the exact value of each at any point.
struct Face {
    ScreenPoint p[3];
    double invZ[3], shade[3], fade[3], u[3], v[3];
    TriangleSetup setup;

    double at(const double a[3], double x, double y) const {
        const double ax = p[0].x, ay = p[0].y;
        const double area = (p[1].x - ax) * (p[2].y - ay) - (p[2].x - ax) * (p[1].y - ay);
        const double w1 = ((x - ax) * (p[2].y - ay) - (p[2].x - ax) * (y - ay)) / area;
        const double w2 = ((p[1].x - ax) * (y - ay) - (x - ax) * (p[1].y - ay)) / area;
        return a[0] * (1.0 - w1 - w2) + a[1] * w1 + a[2] * w2;
    }
    Plane plane(const double a[3]) const {
        return setup.plane(float(a[0]), float(a[1]), float(a[2]));
    }
};

struct RandomFaces {
    std::mt19937 random{12345};
    float uniform(float lo, float hi) {
        return std::uniform_real_distribution<float>(lo, hi)(random);
    }

    // Scans the face into spanTable. Slivers are skipped: their gradients are so steep that
    // the float planes alone stray by more than a level.
    bool next(Face& f, const Frame& frame) {
        for (ScreenPoint& q : f.p)
            q = ScreenPoint{uniform(-8.0f, 72.0f), uniform(-8.0f, 56.0f), 0.0f, 0.0f};
        for (int k = 0; k < 3; ++k) {
            f.invZ[k] = f.p[k].invZ = uniform(0.3f, 0.7f);
            f.shade[k] = uniform(-3.0f, 16.0f); // beyond both ends of the ramp
            f.fade[k] = uniform(-20.0f, 300.0f);
            f.u[k] = uniform(-3.0f, 3.0f);
            f.v[k] = uniform(-3.0f, 3.0f);
        }
        if (!f.setup.begin(f.p[0], f.p[1], f.p[2]) || f.setup.det < 300.0f)
            return false;
        scanTriangle(f.p[0], f.p[1], f.p[2], Rect{0, frame.width, 0, frame.height}, true,
                     spanTable);
        return true;
    }
};

// The whole numbers that a value straying by up to `slack` floors to.
struct Floors {
    int64_t lo, hi;
    Floors(double value, double slack)
        : lo(int64_t(std::floor(value - slack))), hi(int64_t(std::floor(value + slack))) {}
    Floors clamped(int64_t last) const {
        Floors f = *this;
        f.lo = std::clamp<int64_t>(lo, 0, last), f.hi = std::clamp<int64_t>(hi, 0, last);
        return f;
    }
    bool certain() const { return lo == hi; }
};

// How far a plane's float value may stray at span position i: one unit of the fixed point
// for the start and for each step, and a few float ulps of the plane's terms.
double slack(const Plane& plane, int32_t i, double unit) {
    return (i + 2) * unit +
           1e-6 * (1.0 + std::fabs(plane.a0) + (std::fabs(plane.gx) + std::fabs(plane.gy)) * 100.0);
}

// Per channel (old * (255 - a) + new * a) / 256, alpha 0; a >= 255 writes the entry, a <= 0
// nothing.
uint32_t fadeOver(uint32_t old, uint32_t entry, int64_t fade) {
    const int64_t a = (255 - fade) * int64_t(entry >> 24) / 256;
    if (a >= 255)
        return entry;
    if (a <= 0)
        return old;
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int64_t o = (old >> shift) & 255, n = (entry >> shift) & 255;
        out |= uint32_t((o * (255 - a) + n * a) / 256) << shift;
    }
    return out;
}

// Calls check(x, y, i, n) for every pixel of the scanned spans, and fails for any pixel
// outside them that changed.
template <class Check>
void eachPixel(const Frame& before, const Frame& after, Check&& check) {
    for (int32_t y = 0; y < after.height; ++y) {
        const bool scanned = y >= spanTable.yStart && y < spanTable.yEnd;
        const int32_t left = scanned ? spanTable.left[size_t(y)] : 0;
        const int32_t right = scanned ? spanTable.right[size_t(y)] : 0;
        for (int32_t x = 0; x < after.width; ++x) {
            const size_t o = size_t(y * after.width + x);
            if (x >= left && x < right)
                check(x, y, x - left, right - left);
            else
                ASSERT_TRUE(after.colour[o] == before.colour[o] &&
                            after.depth[o] == before.depth[o])
                    << x << "," << y;
        }
    }
}

// Pixels drawn, and those whose every value was clear of its boundaries.
struct Tally {
    int64_t drawn = 0, certain = 0;
};

// One pixel of the span: hidden when its 1/z (sampled one pixel right) is clearly behind
// the stored depth, drawn with a colour among `match`'s when clearly in front, either near
// it. A drawn pixel's depth is its 1/z, or stays for a filler that writes no depth.
void judge(const Face& f, const Frame& before, const Frame& after, int32_t x, int32_t y, int32_t i,
           bool match, bool certain, bool writesDepth, Tally& tally) {
    const size_t o = size_t(y * after.width + x);
    const double z = f.at(f.invZ, x + 1.0, y), near = 1e-5 + i * 1e-7;
    const bool unchanged = after.colour[o] == before.colour[o] && after.depth[o] == before.depth[o];
    if (z < storedDepth - near) {
        ASSERT_TRUE(unchanged) << x << "," << y;
    } else if (z > storedDepth + near || !unchanged) {
        ASSERT_TRUE(match) << x << "," << y;
        ASSERT_NEAR(after.depth[o], writesDepth ? z : storedDepth, 1e-5) << x << "," << y;
        ++tally.drawn;
        tally.certain += certain;
    }
}

TEST(FixedPoint, ConversionsTruncateClampAndWrap) {
    // Against truncation in double precision: clamped to the int32 range (NaN gives 0) for
    // shades, taken modulo 2^32 (0 for NaN and beyond 4.6e18) for texture coordinates.
    auto saturated = [](float v) -> int32_t {
        if (v != v)
            return 0;
        const double t = std::trunc(double(v));
        return t >= 2147483647.0 ? INT32_MAX : t <= -2147483648.0 ? INT32_MIN : int32_t(t);
    };
    auto wrapped = [](float v) -> uint32_t {
        if (!(std::fabs(double(v)) < double(4.6e18f)))
            return 0;
        return uint32_t(uint64_t(int64_t(std::trunc(double(v)))));
    };
    // Both signs of values at the ends of the ranges and past them.
    std::vector<float> values = {std::nanf("")};
    for (float v : {0.0f, 0.99f, 1.5f, 2147483520.0f, 2147483648.0f, 2147483904.0f, 3e9f, 4.5e18f,
                    4.6e18f, 1e30f, std::numeric_limits<float>::infinity()})
        values.insert(values.end(), {v, -v});
    std::mt19937 random(5);
    for (int i = 0; i < 20000; ++i)
        values.push_back(
            std::ldexp(std::uniform_real_distribution<float>(-1.0f, 1.0f)(random), i % 70));
    for (const float v : values) {
        ASSERT_EQ(truncSaturate(v), saturated(v)) << v;
        ASSERT_EQ(truncWrap(v), wrapped(v)) << v;
    }
}

TEST(SpanFillers, RampFillersFollowTheExactValues) {
    std::vector<uint32_t> ramp(13);
    for (size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = uint32_t(0x10000000u * (i + 3) + 0x00132537u * i + 0x20);
    const int64_t last = int64_t(ramp.size()) - 1;
    for (const bool fade : {false, true}) {
        RandomFaces faces;
        Tally tally;
        for (int n = 0; n < 300; ++n) {
            Face f;
            Frame before(64, 48, 0xFF102030 + uint32_t(n) * 0x010203u);
            std::fill(before.depth.begin(), before.depth.end(), storedDepth);
            if (!faces.next(f, before))
                continue;
            RampSpans in;
            in.invZ = f.plane(f.invZ);
            in.shade = f.plane(f.shade);
            in.fade = f.plane(f.fade);
            in.ramp = ramp.data();
            in.lastLevel = int32_t(last);
            Frame after(64, 48);
            after.colour = before.colour, after.depth = before.depth;
            (fade ? fillFadeSpans : fillGouraudSpans)(after.ctx, spanTable, in);

            eachPixel(before, after, [&](int32_t x, int32_t y, int32_t i, int32_t) {
                const size_t o = size_t(y * 64 + x);
                const Floors level =
                    Floors(f.at(f.shade, x + 1.0, y), slack(in.shade, i, unit16)).clamped(last);
                const Floors fades(f.at(f.fade, x + 1.0, y), slack(in.fade, i, unit8));
                bool match = false;
                for (int64_t l = level.lo; l <= level.hi; ++l)
                    for (int64_t q = fades.lo; q <= fades.hi; ++q)
                        match = match || after.colour[o] ==
                                             (fade ? fadeOver(before.colour[o], ramp[size_t(l)], q)
                                                   : ramp[size_t(l)]);
                judge(f, before, after, x, y, i, match,
                      level.certain() && (!fade || fades.certain()), !fade, tally);
            });
        }
        EXPECT_GT(tally.drawn, 15000) << fade;
        EXPECT_GT(tally.certain, tally.drawn * 4 / 5) << fade;
    }
}

TEST(SpanFillers, TexturedFillersFollowTheExactCoordinates) {
    // An 8x4 texture in a 16-byte pitch, and a square one whose rows are its width (the
    // shape the show's textures have); a table of 8 levels of 32 entries.
    struct Shape {
        int32_t widthLog2, heightLog2, pitch;
    };
    std::vector<uint32_t> table(8 * 32);
    for (size_t i = 0; i < table.size(); ++i)
        table[i] = uint32_t(0xFF000000u | (i * 0x00010203u));
    // Square sides of 7, 8 and 9 are addressed by shifts of their own, every other shape by
    // the general lookup.
    for (const Shape& shape :
         {Shape{3, 2, 16}, Shape{5, 5, 32}, Shape{7, 7, 128}, Shape{8, 8, 256}, Shape{9, 9, 512}})
        for (const bool perspective : {false, true}) {
            std::vector<uint8_t> texels(size_t(shape.pitch) << shape.heightLog2);
            for (size_t i = 0; i < texels.size(); ++i)
                texels[i] = uint8_t((i * 7 + 3 + i / 131) % 32);
            const int64_t width = int64_t(1) << shape.widthLog2, height = int64_t(1)
                                                                          << shape.heightLog2;
            RandomFaces faces;
            Tally tally;
            for (int n = 0; n < 150; ++n) {
                Face f;
                Frame before(64, 48);
                std::fill(before.depth.begin(), before.depth.end(), storedDepth);
                if (!faces.next(f, before))
                    continue;
                // The perspective filler takes the planes of u/z and v/z.
                double uz[3], vz[3];
                for (int k = 0; k < 3; ++k)
                    uz[k] = f.u[k] * f.invZ[k], vz[k] = f.v[k] * f.invZ[k];
                TextureSpans in;
                in.invZ = f.plane(f.invZ);
                in.shade = f.plane(f.shade);
                in.u = f.plane(perspective ? uz : f.u);
                in.v = f.plane(perspective ? vz : f.v);
                in.table = table.data();
                in.lastLevel = 7;
                in.rowBits = 5;
                in.texels = texels.data();
                in.pitch = shape.pitch;
                in.widthLog2 = shape.widthLog2;
                in.heightLog2 = shape.heightLog2;
                Frame after(64, 48);
                after.colour = before.colour, after.depth = before.depth;
                (perspective ? fillTexturePerspectiveSpans : fillTextureAffineSpans)(after.ctx,
                                                                                     spanTable, in);

                eachPixel(before, after, [&](int32_t x, int32_t y, int32_t i, int32_t count) {
                    const size_t o = size_t(y * 64 + x);
                    double u = f.at(f.u, x + 1.0, y), v = f.at(f.v, x + 1.0, y);
                    double su = slack(in.u, i, unit24), sv = slack(in.v, i, unit24);
                    if (perspective) {
                        // Divided at the span's two ends, linear between.
                        const double x0 = x - i + 1.0, x1 = x0 + count;
                        const double ws = f.at(f.invZ, x0, y), we = f.at(f.invZ, x1, y);
                        const double us = f.at(uz, x0, y) / ws, ue = f.at(uz, x1, y) / we;
                        const double vs = f.at(vz, x0, y) / ws, ve = f.at(vz, x1, y) / we;
                        u = us + (ue - us) * i / count;
                        v = vs + (ve - vs) * i / count;
                        su = (i + 2) * unit24 + 1e-5 * (1.0 + std::fabs(us) + std::fabs(ue));
                        sv = (i + 2) * unit24 + 1e-5 * (1.0 + std::fabs(vs) + std::fabs(ve));
                    }
                    const Floors level =
                        Floors(f.at(f.shade, x + 1.0, y), slack(in.shade, i, unit16)).clamped(7);
                    const Floors column(u * width, su * width), row(v * height, sv * height);
                    bool match = false;
                    for (int64_t l = level.lo; l <= level.hi; ++l)
                        for (int64_t c = column.lo; c <= column.hi; ++c)
                            for (int64_t r = row.lo; r <= row.hi; ++r)
                                match = match ||
                                        after.colour[o] ==
                                            table[size_t(l << 5) +
                                                  texels[size_t((r & (height - 1)) * shape.pitch +
                                                                (c & (width - 1)))]];
                    judge(f, before, after, x, y, i, match,
                          level.certain() && column.certain() && row.certain(), true, tally);
                });
            }
            EXPECT_GT(tally.drawn, 6000) << perspective << shape.widthLog2;
            EXPECT_GT(tally.certain, tally.drawn * 3 / 4) << perspective << shape.widthLog2;
        }
}

TEST(SpanFillers, EqualDepthIsNotDrawnAndValuesStartOnePixelRight) {
    Frame f(32, 16);
    std::vector<uint32_t> ramp{0xFF000000, 0xFF111111, 0xFF222222, 0xFF333333};
    TriangleSetup t;
    const ScreenPoint a{0.0f, 0.0f, 2.0f, 0.5f}, b{0.0f, 16.0f, 2.0f, 0.5f},
        c{32.0f, 0.0f, 2.0f, 0.5f};
    scanTriangle(a, b, c, Rect{0, 32, 0, 16}, true, spanTable);
    ASSERT_TRUE(t.begin(a, b, c));
    RampSpans in;
    in.invZ = t.plane(0.5f, 0.5f, 0.5f);
    in.shade = t.plane(0.0f, 0.0f, 4.0f); // one level every 8 pixels to the right
    in.ramp = ramp.data();
    in.lastLevel = 3;
    f.depthAt(3, 0) = 0.5f;
    f.depthAt(4, 0) = 0.4999f;
    fillGouraudSpans(f.ctx, spanTable, in);
    EXPECT_EQ(f.pixel(3, 0), 0xFF102030u); // same 1/z as stored: hidden
    EXPECT_EQ(f.pixel(4, 0), 0xFF000000u);
    EXPECT_EQ(f.depthAt(4, 0), 0.5f);
    EXPECT_EQ(f.pixel(6, 0), 0xFF000000u);  // sampled at x = 7
    EXPECT_EQ(f.pixel(7, 0), 0xFF111111u);  // sampled at x = 8: level 1
    EXPECT_EQ(f.pixel(31, 0), 0xFF333333u); // level 4 clamps to the last entry

    // The same face again at the same depth, through every filler that writes depth, with a
    // shade of one level and with a shade running over several (each has a loop of its
    // own), changes nothing.
    const std::vector<uint32_t> drawn = f.colour;
    const std::vector<uint32_t> other{0xFFAA0000, 0xFFBB0000, 0xFFCC0000, 0xFFDD0000};
    const uint8_t texels[4] = {0, 1, 2, 3};
    for (const float shade : {1.5f, 0.0f}) {
        in.shade = t.plane(shade, shade, shade == 0.0f ? 4.0f : shade);
        in.ramp = other.data();
        fillGouraudSpans(f.ctx, spanTable, in);
        TextureSpans textured;
        textured.invZ = in.invZ, textured.shade = in.shade;
        textured.u = textured.v = t.plane(0.0f, 0.3f, 0.6f);
        textured.table = other.data();
        textured.lastLevel = 3;
        textured.texels = texels;
        textured.pitch = 2;
        textured.widthLog2 = textured.heightLog2 = 1;
        fillTextureAffineSpans(f.ctx, spanTable, textured);
        fillTexturePerspectiveSpans(f.ctx, spanTable, textured);
        EXPECT_EQ(f.colour, drawn) << shade;
    }
}

} // namespace
} // namespace korvid
