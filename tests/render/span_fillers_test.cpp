// The fast fillers against plain ones that compute each pixel's fixed-point values from the
// span start plus i whole steps in 64-bit integers, with every clamp and blend written out.

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

int64_t level(int64_t shade, int32_t last) {
    const int64_t l = shade >> 16; // floor
    return l < 0 ? 0 : (l > last ? last : l);
}

// Calls pixel(x, i, y, fx, fy) for every pixel of the scanned spans.
template <class Pixel>
void eachPixel(Pixel&& pixel) {
    for (int32_t y = spanTable.yStart; y < spanTable.yEnd; ++y)
        for (int32_t x = spanTable.left[size_t(y)]; x < spanTable.right[size_t(y)]; ++x)
            pixel(x, x - spanTable.left[size_t(y)], y, float(spanTable.left[size_t(y)] + 1),
                  float(y));
}

// The plain walk shares one rule with the fast one: 1/z accumulates in float, pixel by pixel.
struct DepthWalk {
    float z = 0.0f;
    int32_t row = -1;
    float at(const Plane& invZ, int32_t i, int32_t y, float fx, float fy) {
        if (i == 0 || y != row) {
            z = invZ.at(fx, fy);
            row = y;
        } else {
            z += invZ.gx;
        }
        return z;
    }
};

void plainGouraud(Frame& f, const RampSpans& in) {
    const int64_t ds = int64_t(in.shade.gx * 65536.0f);
    DepthWalk walk;
    eachPixel([&](int32_t x, int32_t i, int32_t y, float fx, float fy) {
        const float z = walk.at(in.invZ, i, y, fx, fy);
        const int64_t s = int64_t(in.shade.at(fx, fy) * 65536.0f) + i * ds;
        if (z > f.depthAt(x, y)) {
            f.pixel(x, y) = in.ramp[level(s, in.lastLevel)];
            f.depthAt(x, y) = z;
        }
    });
}

uint32_t plainBlend(uint32_t old, uint32_t entry, int64_t a) {
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int64_t o = (old >> shift) & 255, n = (entry >> shift) & 255;
        out |= uint32_t((o * (255 - a) + n * a) / 256) << shift;
    }
    return out;
}

void plainFade(Frame& f, const RampSpans& in) {
    const int64_t ds = int64_t(in.shade.gx * 65536.0f);
    const int64_t df = int64_t(in.fade.gx * 256.0f);
    DepthWalk walk;
    eachPixel([&](int32_t x, int32_t i, int32_t y, float fx, float fy) {
        const float z = walk.at(in.invZ, i, y, fx, fy);
        const int64_t s = int64_t(in.shade.at(fx, fy) * 65536.0f) + i * ds;
        const int64_t fade = int64_t(in.fade.at(fx, fy) * 256.0f) + i * df;
        if (!(z > f.depthAt(x, y)))
            return;
        const uint32_t entry = in.ramp[level(s, in.lastLevel)];
        const int64_t a = (255 - (fade >> 8)) * int64_t(entry >> 24) / 256;
        if (a >= 255)
            f.pixel(x, y) = entry;
        else if (a > 0)
            f.pixel(x, y) = plainBlend(f.pixel(x, y), entry, a);
    });
}

// Texel by floor division and a positive remainder: the wrap of a power-of-two texture.
uint8_t plainTexel(const TextureSpans& in, int64_t u, int64_t v) {
    const int64_t w = int64_t(1) << in.widthLog2, h = int64_t(1) << in.heightLog2;
    const int64_t column = (((u >> (24 - in.widthLog2)) % w) + w) % w;
    const int64_t row = (((v >> (24 - in.heightLog2)) % h) + h) % h;
    return in.texels[row * in.pitch + column];
}

void plainTexture(Frame& f, const TextureSpans& in, bool perspective) {
    DepthWalk walk;
    const int64_t ds = int64_t(in.shade.gx * 65536.0f);
    int64_t u0 = 0, v0 = 0, du = 0, dv = 0;
    eachPixel([&](int32_t x, int32_t i, int32_t y, float fx, float fy) {
        const float z = walk.at(in.invZ, i, y, fx, fy);
        if (i == 0) {
            if (perspective) {
                const float n = float(spanTable.right[size_t(y)] - spanTable.left[size_t(y)]);
                const float ws = in.invZ.at(fx, fy), we = ws + n * in.invZ.gx;
                const float us = in.u.at(fx, fy) / ws, ue = (in.u.at(fx, fy) + n * in.u.gx) / we;
                const float vs = in.v.at(fx, fy) / ws, ve = (in.v.at(fx, fy) + n * in.v.gx) / we;
                u0 = int64_t(us * 16777216.0f), du = int64_t((ue - us) / n * 16777216.0f);
                v0 = int64_t(vs * 16777216.0f), dv = int64_t((ve - vs) / n * 16777216.0f);
            } else {
                u0 = int64_t(in.u.at(fx, fy) * 16777216.0f), du = int64_t(in.u.gx * 16777216.0f);
                v0 = int64_t(in.v.at(fx, fy) * 16777216.0f), dv = int64_t(in.v.gx * 16777216.0f);
            }
        }
        const int64_t s = int64_t(in.shade.at(fx, fy) * 65536.0f) + i * ds;
        if (!(z > f.depthAt(x, y)))
            return;
        const uint8_t t = plainTexel(in, u0 + i * du, v0 + i * dv);
        f.pixel(x, y) = in.table[(level(s, in.lastLevel) << in.rowBits) + t];
        f.depthAt(x, y) = z;
    });
}

// Random triangles of both windings over a small frame, corners partly outside it.
struct RandomTriangles {
    std::mt19937 random{12345};
    std::uniform_real_distribution<float> x{-8.0f, 72.0f}, y{-8.0f, 56.0f}, invZ{0.05f, 1.0f};

    bool next(TriangleSetup& t, const RenderContext& ctx) {
        const ScreenPoint a{x(random), y(random), 0.0f, invZ(random)};
        const ScreenPoint b{x(random), y(random), 0.0f, invZ(random)};
        const ScreenPoint c{x(random), y(random), 0.0f, invZ(random)};
        scanTriangle(a, b, c, Rect{ctx.xmin, ctx.xmax, ctx.ymin, ctx.ymax}, true);
        return t.begin(a, b, c);
    }
    float uniform(float lo, float hi) {
        return std::uniform_real_distribution<float>(lo, hi)(random);
    }
    Plane plane(const TriangleSetup& t, float lo, float hi) {
        return t.plane(uniform(lo, hi), uniform(lo, hi), uniform(lo, hi));
    }
};

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
    std::vector<float> values = {0.0f,
                                 -0.0f,
                                 0.99f,
                                 -0.99f,
                                 1.5f,
                                 -1.5f,
                                 2147483520.0f,
                                 2147483648.0f,
                                 -2147483648.0f,
                                 -2147483904.0f,
                                 3e9f,
                                 -3e9f,
                                 4.5e18f,
                                 4.6e18f,
                                 -4.6e18f,
                                 1e30f,
                                 std::numeric_limits<float>::infinity(),
                                 -std::numeric_limits<float>::infinity(),
                                 std::nanf("")};
    std::mt19937 random(5);
    for (int i = 0; i < 20000; ++i)
        values.push_back(
            std::ldexp(std::uniform_real_distribution<float>(-1.0f, 1.0f)(random), i % 70));
    for (const float v : values) {
        ASSERT_EQ(truncSaturate(v), saturated(v)) << v;
        ASSERT_EQ(truncWrap(v), wrapped(v)) << v;
    }
}

TEST(SpanFillers, RampFillersMatchThePlainVersions) {
    std::vector<uint32_t> ramp(13);
    for (size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = uint32_t(0x10000000u * (i + 3) + 0x00132537u * i + 0x20);
    Frame fast(64, 48), plain(64, 48);
    for (const bool fade : {false, true}) {
        RandomTriangles triangles;
        int drawn = 0;
        for (int n = 0; n < 300; ++n) {
            TriangleSetup t;
            if (!triangles.next(t, fast.ctx))
                continue;
            RampSpans in;
            in.invZ = t.plane(t.p[0].invZ, t.p[1].invZ, t.p[2].invZ);
            in.shade = triangles.plane(t, -3.0f, 16.0f); // beyond both ends of the ramp
            in.fade = triangles.plane(t, -20.0f, 300.0f);
            in.ramp = ramp.data();
            in.lastLevel = int32_t(ramp.size()) - 1;
            if (fade) {
                fillFadeSpans(fast.ctx, in);
                plainFade(plain, in);
            } else {
                fillGouraudSpans(fast.ctx, in);
                plainGouraud(plain, in);
            }
            ++drawn;
        }
        EXPECT_GT(drawn, 100);
        EXPECT_GT(fast.countNot(0xFF102030), 1500);
        EXPECT_EQ(fast.colour, plain.colour);
        EXPECT_EQ(fast.depth, plain.depth);
    }
}

TEST(SpanFillers, TexturedFillersMatchThePlainVersions) {
    // An 8x4 texture in a 16-byte pitch, and a square one whose rows are its width (the
    // shape the show's textures have); a table of 8 levels of 32 entries.
    struct Texture {
        int32_t widthLog2, heightLog2, pitch;
    };
    for (const Texture& shape : {Texture{3, 2, 16}, Texture{7, 7, 128}}) {
        std::vector<uint8_t> texels(size_t(shape.pitch) << shape.heightLog2);
        for (size_t i = 0; i < texels.size(); ++i)
            texels[i] = uint8_t((i * 7 + 3 + i / 131) % 32);
        std::vector<uint32_t> table(8 * 32);
        for (size_t i = 0; i < table.size(); ++i)
            table[i] = uint32_t(0xFF000000u | (i * 0x00010203u));
        Frame fast(64, 48), plain(64, 48);
        for (const bool perspective : {false, true}) {
            RandomTriangles triangles;
            for (int n = 0; n < 300; ++n) {
                TriangleSetup t;
                if (!triangles.next(t, fast.ctx))
                    continue;
                TextureSpans in;
                in.invZ = t.plane(t.p[0].invZ, t.p[1].invZ, t.p[2].invZ);
                in.shade = triangles.plane(t, -2.0f, 10.0f);
                in.u = triangles.plane(t, -3.0f, 3.0f);
                in.v = triangles.plane(t, -3.0f, 3.0f);
                in.table = table.data();
                in.lastLevel = 7;
                in.rowBits = 5;
                in.texels = texels.data();
                in.pitch = shape.pitch;
                in.widthLog2 = shape.widthLog2;
                in.heightLog2 = shape.heightLog2;
                if (perspective)
                    fillTexturePerspectiveSpans(fast.ctx, in);
                else
                    fillTextureAffineSpans(fast.ctx, in);
                plainTexture(plain, in, perspective);
            }
            EXPECT_GT(fast.countNot(0xFF102030), 1500);
            EXPECT_EQ(fast.colour, plain.colour) << shape.widthLog2;
            EXPECT_EQ(fast.depth, plain.depth);
        }
    }
}

TEST(SpanFillers, EqualDepthIsNotDrawnAndValuesStartOnePixelRight) {
    Frame f(32, 16);
    std::vector<uint32_t> ramp{0xFF000000, 0xFF111111, 0xFF222222, 0xFF333333};
    TriangleSetup t;
    const ScreenPoint a{0.0f, 0.0f, 2.0f, 0.5f}, b{0.0f, 16.0f, 2.0f, 0.5f},
        c{32.0f, 0.0f, 2.0f, 0.5f};
    scanTriangle(a, b, c, Rect{0, 32, 0, 16}, true);
    ASSERT_TRUE(t.begin(a, b, c));
    RampSpans in;
    in.invZ = t.plane(0.5f, 0.5f, 0.5f);
    in.shade = t.plane(0.0f, 0.0f, 4.0f); // one level every 8 pixels to the right
    in.ramp = ramp.data();
    in.lastLevel = 3;
    f.depthAt(3, 0) = 0.5f;
    f.depthAt(4, 0) = 0.4999f;
    fillGouraudSpans(f.ctx, in);
    EXPECT_EQ(f.pixel(3, 0), 0xFF102030u); // same 1/z as stored: hidden
    EXPECT_EQ(f.pixel(4, 0), 0xFF000000u);
    EXPECT_EQ(f.depthAt(4, 0), 0.5f);
    EXPECT_EQ(f.pixel(6, 0), 0xFF000000u);  // sampled at x = 7
    EXPECT_EQ(f.pixel(7, 0), 0xFF111111u);  // sampled at x = 8: level 1
    EXPECT_EQ(f.pixel(31, 0), 0xFF333333u); // level 4 clamps to the last entry
}

} // namespace
} // namespace korvid
