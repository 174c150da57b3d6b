#include "demo/effects/textured_tunnel.hpp"
#include "effects_test_support.hpp"

#include <SDL/SDL.h>

#include <array>
#include <cmath>

using namespace effects_test;

namespace {

struct TunnelData {
    std::vector<uint8_t> image;
    Palette palette{};
    TunnelData() {
        uint32_t seed = 17;
        for (int i = 0; i < 65536; ++i)
            image.push_back(uint8_t(guarded::next(seed)));
        for (uint32_t& c : palette)
            c = 0xFF000000 | (guarded::next(seed) & 0xFFFFFF);
    }
};

// A block pixel in closed form: the carried values are 4 times the bilinear sum of the
// corners with weights (8 - x)(8 - y), x(8 - y), (8 - x)y, xy (which add up to 64).
uint32_t plainBlockPixel(const TexturedTunnel& tunnel, int32_t bx, int32_t by, int32_t x,
                         int32_t y) {
    const int32_t stride = tunnel.blocksX + 1;
    const TexturedTunnel::Corner* c[4] = {&tunnel.grid[size_t(by * stride + bx)],
                                          &tunnel.grid[size_t(by * stride + bx + 1)],
                                          &tunnel.grid[size_t((by + 1) * stride + bx)],
                                          &tunnel.grid[size_t((by + 1) * stride + bx + 1)]};
    const int64_t w[4] = {(8 - x) * (8 - y), x * (8 - y), (8 - x) * y, x * y};
    int64_t v = 0, u = 0, l = 0;
    for (int i = 0; i < 4; ++i) {
        v += w[i] * c[i]->v;
        u += w[i] * c[i]->u;
        l += w[i] * c[i]->l;
    }
    const auto bits = [](int64_t sum) { return uint32_t((sum * 4) >> 16) & 0xFF; };
    const uint8_t index = tunnel.image[bits(u) * 256 + bits(v)];
    return tunnel.shadeTable[index * 256u + uint32_t((l * 4) >> 16)];
}

} // namespace

TEST(TexturedTunnel, ShadeTableRunsFromBlackToThePalette) {
    const TunnelData data;
    TexturedTunnel tunnel(512, 384, data.image.data(), data.palette, 255.0f);
    ASSERT_TRUE(tunnel.ready);
    for (uint32_t p = 0; p < 256; ++p) {
        const uint32_t r = (data.palette[p] >> 16) & 0xFF, g = (data.palette[p] >> 8) & 0xFF,
                       b = data.palette[p] & 0xFF;
        for (uint32_t i = 0; i <= 128; ++i)
            ASSERT_EQ(tunnel.shadeTable[p * 256 + i],
                      (i * r / 128) << 16 | (i * g / 128) << 8 | i * b / 128);
        ASSERT_EQ(tunnel.shadeTable[p * 256 + 128], data.palette[p] & 0xFFFFFF);
    }
    // advance turns and moves.
    EXPECT_EQ(tunnel.advance(0.5f), 1);
    EXPECT_EQ(tunnel.angles[0], 0.8f);
    EXPECT_EQ(tunnel.angles[1], -1.15f);
    EXPECT_EQ(tunnel.travel, -50.0f);
}

TEST(TexturedTunnel, CornerHitsMatchDoublePrecision) {
    const TunnelData data;
    TexturedTunnel tunnel(512, 384, data.image.data(), data.palette, 255.0f);
    const int32_t stride = tunnel.blocksX + 1;
    for (const float dt : {0.0f, 0.5f, 1.37f}) {
        tunnel.advance(dt);
        tunnel.trace();
        // The four corner rays in double: a row vector times Rx, Ry, Rz is three turns in
        // the planes (y, z), (z, x) and (x, y), then normalised.
        const auto turn = [](double& p, double& q, double a) {
            const double np = p * std::cos(a) - q * std::sin(a);
            q = p * std::sin(a) + q * std::cos(a);
            p = np;
        };
        std::array<std::array<double, 3>, 4> ray;
        for (int k = 0; k < 4; ++k) {
            std::array<double, 3>& d = ray[size_t(k)];
            d = {k & 1 ? 240.0 : -240.0, k & 2 ? 240.0 : -240.0, 128.0};
            turn(d[1], d[2], tunnel.angles[0]);
            turn(d[2], d[0], tunnel.angles[1]);
            turn(d[0], d[1], tunnel.angles[2]);
            const double length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
            for (double& v : d)
                v /= length;
        }
        for (int32_t row = 0; row <= tunnel.blocksY; row += 3)
            for (int32_t col = 0; col <= tunnel.blocksX; col += 4) {
                double d[3];
                for (size_t b = 0; b < 3; ++b) {
                    const double left = ray[0][b] + row * (ray[2][b] - ray[0][b]) / 26.0;
                    const double right = ray[1][b] + row * (ray[3][b] - ray[1][b]) / 26.0;
                    d[b] = left + col * (right - left) / 41.0;
                }
                // From (0, 0, -128) on the axis the hit lies radius / |d.xy| behind.
                const double t = -255.0 / std::hypot(d[0], d[1]);
                const double pz = -128.0 + t * d[2];
                const double light = 32768.0 - std::fabs(pz + 128.0) * 20.48;
                if (light < 8.0)
                    continue; // far hits: only their light is certain
                const TexturedTunnel::Corner& c = tunnel.grid[size_t(row * stride + col)];
                const double v = std::fabs(tunnel.travel * 8.0 + pz) * 51.2;
                EXPECT_NEAR(c.v, v, 8.0 + 1e-5 * v) << col << "," << row << " dt " << dt;
                EXPECT_NEAR(c.u, std::fabs(std::atan2(t * d[1], t * d[0])) * 65536.0 / M_PI, 8.0);
                EXPECT_NEAR(c.l, light, 8.0);
            }
    }
    // With all angles 0 the rays around corner column 20.5, row 13 run down the axis: the
    // far end is black.
    TexturedTunnel still(512, 384, data.image.data(), data.palette, 255.0f);
    still.trace();
    EXPECT_EQ(still.grid[size_t(13 * stride + 20)].l, 0);
    EXPECT_EQ(still.grid[size_t(13 * stride + 21)].l, 0);
    EXPECT_GT(still.grid[0].l, 20000);
}

TEST(TexturedTunnel, BlocksMatchTheBilinearForm) {
    const TunnelData data;
    TexturedTunnel tunnel(512, 384, data.image.data(), data.palette, 255.0f);
    SDL_Surface* frame = sdlFrame(512, 384);
    ASSERT_NE(frame, nullptr);
    for (float dt : {0.0f, 0.37f}) {
        tunnel.advance(dt);
        EXPECT_EQ(tunnel.render(frame), 1);
        const auto* pixels = static_cast<const uint32_t*>(frame->pixels);
        for (int32_t y = 0; y < 384; ++y)
            for (int32_t x = 0; x < 512; ++x)
                ASSERT_EQ(pixels[y * 512 + x], plainBlockPixel(tunnel, x / 8, y / 8, x % 8, y % 8))
                    << x << "," << y << " dt " << dt;
    }

    // Corners far apart (a wrapped position along the axis) follow the same form.
    uint32_t seed = 3;
    for (TexturedTunnel::Corner& c : tunnel.grid)
        c = {int32_t(guarded::next(seed) & 0x7FFFFF), int32_t(guarded::next(seed) & 0xFFFF),
             int32_t(guarded::next(seed) % 32769)};
    std::vector<uint32_t> block(16 * 8 * 2);
    tunnel.fillBlocks(block.data(), 16, 2, 1);
    for (int32_t y = 0; y < 8; ++y)
        for (int32_t x = 0; x < 16; ++x)
            ASSERT_EQ(block[size_t(y * 16 + x)], plainBlockPixel(tunnel, x / 8, 0, x % 8, y));

    // Nothing to draw into, or a frame smaller than the tunnel: only whole blocks that fit.
    EXPECT_EQ(tunnel.render(nullptr), 0);
    SDL_Surface* small = sdlFrame(20, 12);
    SDL_FillRect(small, nullptr, 0x12345678);
    EXPECT_EQ(tunnel.render(small), 1);
    const auto* smallPixels = static_cast<const uint32_t*>(small->pixels);
    EXPECT_EQ(smallPixels[0], plainBlockPixel(tunnel, 0, 0, 0, 0));
    EXPECT_EQ(smallPixels[16], 0x12345678u);
    EXPECT_EQ(smallPixels[8 * 20], 0x12345678u);
    TexturedTunnel blind(512, 384, nullptr, data.palette, 255.0f);
    EXPECT_EQ(blind.render(frame), 0);
    SDL_FreeSurface(small);
    SDL_FreeSurface(frame);
}
