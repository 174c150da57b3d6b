#include "demo/effects/grid_cells.hpp"
#include "demo/effects/grid_warp.hpp"
#include "effects_test_support.hpp"
#include "engine/core/cpu.hpp"

#include <cmath>

using namespace effects_test;
using korvid::Surface;

namespace {

// The points as the cells read them: 8.24 texture positions and brightness.
std::vector<GridRecord> recordsOf(const GridWarp& grid, float nw, float nh) {
    std::vector<GridRecord> recs;
    for (int32_t i = 0; i < grid.pointCount; ++i) {
        const GridWarp::Point& p = grid.points[size_t(i)];
        recs.push_back({float((p.x / nw + 0.5) * 16777216.0), float((p.y / nh + 0.5) * 16777216.0),
                        float(p.z * 256.0)});
    }
    return recs;
}

// The grid drawn the plain way: every pixel's texture coordinate from the cell's corner
// values by multiplication instead of repeated addition, the texel by row and column, and
// shading byte by byte.
std::vector<uint32_t> plainDraw(const GridWarp& grid, std::vector<uint32_t> target,
                                int32_t targetWidth, const std::vector<uint32_t>& texels,
                                int32_t texWidth, int32_t texHeight, float nw, float nh) {
    const int32_t stride = grid.cols + 1;
    const std::vector<GridRecord> recs = recordsOf(grid, nw, nh);
    const int32_t s = grid.shift, size = 1 << s;
    const int32_t wl = int32_t(std::log2(texWidth)), hl = int32_t(std::log2(texHeight));
    for (int32_t r = 0; r < grid.rows; ++r)
        for (int32_t c = 0; c < grid.cols; ++c) {
            const GridRecord& tl = recs[size_t(r * stride + c)];
            const GridRecord& tr = recs[size_t(r * stride + c + 1)];
            const GridRecord& bl = recs[size_t((r + 1) * stride + c)];
            const GridRecord& br = recs[size_t((r + 1) * stride + c + 1)];
            const int32_t w = std::min(int32_t(tl.b + tr.b) >> 1, 255);
            for (int32_t i = 0; i < size; ++i) {
                const int32_t lu = int32_t(tl.u) + i * (int32_t(bl.u - tl.u) >> s);
                const int32_t lv = int32_t(tl.v) + i * (int32_t(bl.v - tl.v) >> s);
                const int32_t ru = int32_t(tr.u) + i * (int32_t(br.u - tr.u) >> s);
                const int32_t rv = int32_t(tr.v) + i * (int32_t(br.v - tr.v) >> s);
                for (int32_t x = 0; x < size; ++x) {
                    const int32_t u = lu + x * ((ru - lu) >> s), v = lv + x * ((rv - lv) >> s);
                    const int32_t col = (u >> (24 - wl)) & (texWidth - 1);
                    const int32_t row = (v >> (24 - hl)) & (texHeight - 1);
                    uint32_t texel = texels[size_t(row * texWidth + col)];
                    if (grid.shaded) {
                        uint32_t shadedTexel = 0;
                        for (int b = 0; b < 32; b += 8)
                            shadedTexel |= ((((texel >> b) & 0xFF) * uint32_t(w)) >> 8) << b;
                        // A negative brightness multiplies the packed halves as they are.
                        if (w < 0)
                            shadedTexel = ((((texel >> 8) & 0xFF00FF) * uint32_t(w)) & 0xFF00FF00) |
                                          ((((texel & 0xFF00FF) * uint32_t(w)) >> 8) & 0xFF00FF);
                        texel = shadedTexel;
                    }
                    target[size_t(((r << s) + i) * targetWidth + (c << s) + x)] = texel;
                }
            }
        }
    return target;
}

} // namespace

TEST(GridWarp, ResetAndMovementsFollowTheirFormulas) {
    Surface target, texture;
    makeSurface(target, 512, 384, 1);
    makeSurface(texture, 64, 64, 2);
    GridWarp grid;
    grid.bind(&target, &texture, 3, true);
    ASSERT_EQ(grid.cols, 64);
    ASSERT_EQ(grid.rows, 48);
    ASSERT_EQ(grid.pointCount, 65 * 49);
    grid.reset(1.0f);
    const GridWarp::Point& first = grid.points[0];
    EXPECT_EQ(first.x, -256.0f);
    EXPECT_EQ(first.y, -192.0f);
    EXPECT_EQ(first.z, 1.0f);
    EXPECT_EQ(grid.points[1].x, -256.0f + 512.0f / 65.0f);
    EXPECT_EQ(grid.points[65].y, -192.0f + 384.0f / 49.0f);
    const GridWarp::Point& last = grid.points[size_t(grid.pointCount - 1)];
    EXPECT_NEAR(last.x, 256.0f - 512.0f / 65.0f, 1e-3f);
    EXPECT_NEAR(last.y, 192.0f - 384.0f / 49.0f, 1e-3f);

    // Each movement against its formula in double precision, point by point, from the
    // points it was given.
    struct Moved {
        double x, y, z;
    };
    const double twoPi = 2.0 * M_PI;
    const auto check = [&grid](const char* name, auto&& move, auto&& formula) {
        const std::vector<GridWarp::Point> from(grid.points.get(),
                                                grid.points.get() + grid.pointCount);
        move();
        for (int32_t i = 0; i < grid.pointCount; ++i) {
            const Moved e = formula(from[size_t(i)]);
            const GridWarp::Point& p = grid.points[size_t(i)];
            ASSERT_NEAR(p.x, e.x, 2e-3 * (1.0 + std::fabs(e.x))) << name << " " << i;
            ASSERT_NEAR(p.y, e.y, 2e-3 * (1.0 + std::fabs(e.y))) << name << " " << i;
            ASSERT_NEAR(p.z, e.z, 1e-5 * (1.0 + std::fabs(e.z))) << name << " " << i;
        }
    };
    // Turned straight from the lattice, whose polar form the grid keeps, then moved on.
    grid.reset(0.8f);
    check(
        "rotate the lattice", [&] { grid.rotate(0.7f, 1.3f); },
        [&](const GridWarp::Point& p) {
            const double r = std::hypot(p.x, p.y) * 1.3, th = std::atan2(p.x, p.y) + 0.7;
            return Moved{std::sin(th) * r, std::cos(th) * r, p.z};
        });
    grid.reset(0.8f);
    check(
        "ripple", [&] { grid.ripple(1.0f, 0.6f, 0.3f); },
        [&](const GridWarp::Point& p) {
            const double c = std::cos(std::hypot(p.x, p.y) * twoPi / 512.0 - 0.3 * twoPi);
            const double s = (c + 0.4) * 0.6 + 1.0;
            return Moved{p.x * s, p.y * s, (c + 2.0) * p.z};
        });
    check(
        "wobble", [&] { grid.wobble(0.25f, 12.0f, 0.4f, 0.9f); },
        [&](const GridWarp::Point& p) {
            const double k = twoPi / 128.0;
            return Moved{p.x + std::sin(k * p.y + 0.4 * twoPi) * 12.0,
                         p.y + std::sin(k * p.x + 0.9 * twoPi) * 12.0, p.z};
        });
    check(
        "rotate", [&] { grid.rotate(0.7f, 1.3f); },
        [&](const GridWarp::Point& p) {
            const double r = std::hypot(p.x, p.y) * 1.3, th = std::atan2(p.x, p.y) + 0.7;
            return Moved{std::sin(th) * r, std::cos(th) * r, p.z};
        });
    check(
        "shade", [&] { grid.shade(-1.5f); },
        [&](const GridWarp::Point& p) {
            return Moved{p.x, p.y, -1.5 * p.z};
        });
}

TEST(GridWarp, CellsMatchThePlainInterpolation) {
    // A frame that is not a multiple of the cell size: its last rows and columns stay.
    Surface target, texture;
    makeSurface(target, 70, 50, 3);
    makeSurface(texture, 64, 32, 4);
    const std::vector<uint32_t> texels = readPixels(texture);

    // Every form of the cell filler that this processor runs, on the same records.
    using Fill = void (*)(const GridCells&, const GridTexture&);
    std::vector<Fill> forms = {scalar::fill_grid_cells};
#if defined(__SSE2__)
    forms.push_back(sse2::fill_grid_cells);
    if (korvid::cpuHasAvx2())
        forms.push_back(avx2::fill_grid_cells);
#endif
    auto everyForm = [&](const GridWarp& grid, float nw, float nh,
                         const std::vector<uint32_t>& expected) {
        const std::vector<GridRecord> recs = recordsOf(grid, nw, nh);
        GridTexture addressing;
        addressing.uShift = 24 - 6;
        addressing.vShift = 24 - 5 - 6;
        addressing.uMask = 63;
        addressing.vMask = 31 << 6;
        addressing.texels = texels.data();
        for (size_t form = 0; form < forms.size(); ++form) {
            std::vector<uint32_t> out = readPixels(target);
            GridCells cells;
            cells.records = recs.data();
            cells.cols = grid.cols;
            cells.rows = grid.rows;
            cells.shift = grid.shift;
            cells.shaded = grid.shaded != 0;
            cells.target = out.data();
            cells.pitch = 70;
            forms[form](cells, addressing);
            EXPECT_EQ(out, expected)
                << "form " << form << " shift " << grid.shift << " shaded " << cells.shaded;
        }
    };

    for (int32_t shift : {1, 3, 4})
        for (bool shaded : {false, true}) {
            writePixels(target, randomWords(70 * 50, uint32_t(3 + shift)));
            GridWarp grid;
            grid.bind(&target, &texture, shift, shaded);
            // After reset(1.0) alone, normalised to the texture; full brightness is clamped
            // to 255.
            grid.reset(1.0f);
            std::vector<uint32_t> expected =
                plainDraw(grid, readPixels(target), 70, texels, 64, 32, 64.0f, 32.0f);
            ASSERT_NE(readPixels(target), expected);
            everyForm(grid, 64.0f, 32.0f, expected);
            ASSERT_EQ(grid.draw(false), korvid::errNone);
            EXPECT_EQ(readPixels(target), expected) << "shaded " << shaded;

            // Moved and shaded points, normalised to the target; a negative shade too.
            for (float factor : {0.9f, -0.7f}) {
                if (factor < 0.0f && !shaded)
                    continue;
                grid.reset(0.8f);
                grid.rotate(0.7f, 1.3f);
                grid.ripple(1.0f, 0.6f, 0.3f);
                grid.wobble(0.25f, 12.0f, 0.4f, 0.9f);
                grid.shade(factor);
                expected = plainDraw(grid, readPixels(target), 70, texels, 64, 32, 70.0f, 50.0f);
                ASSERT_NE(readPixels(target), expected);
                everyForm(grid, 70.0f, 50.0f, expected);
                ASSERT_EQ(grid.draw(true), korvid::errNone);
                EXPECT_EQ(readPixels(target), expected) << "shaded " << shaded;
            }
            EXPECT_FALSE(target.locked || texture.locked);
            grid.release();
            EXPECT_EQ(grid.pointCount, 0);
        }
}

TEST(GridWarp, RefusesWhatItCannotAddress) {
    Surface target, texture, odd, paletted;
    makeSurface(target, 64, 64, 5);
    makeSurface(texture, 32, 32, 6);
    makeSurface(odd, 48, 32, 7);
    ASSERT_EQ(paletted.create(32, 32, korvid::storage8, false), korvid::errNone);
    const std::vector<uint32_t> before = readPixels(target);

    GridWarp grid;
    EXPECT_EQ(grid.draw(true), korvid::errInvalidCall); // never bound
    grid.bind(&target, &odd, 3, false);
    grid.reset(1.0f);
    EXPECT_EQ(grid.draw(true), korvid::errIllegalSurfaceUsage);
    grid.bind(&target, &paletted, 3, false);
    EXPECT_EQ(grid.draw(true), korvid::errInvalidCall);
    grid.bind(&target, &target, 3, false); // the second lock of one surface fails
    grid.reset(1.0f);
    EXPECT_EQ(grid.draw(true), korvid::errLockedTwice);
    grid.bind(&target, &texture, 3, false);
    grid.reset(1.0f);
    uint32_t* pixels = nullptr;
    int32_t pitch = 0;
    ASSERT_EQ(target.lock(pixels, pitch), korvid::errNone);
    EXPECT_EQ(grid.draw(true), korvid::errLockedTwice);
    target.unlock();
    grid.bind(nullptr, &texture, 3, false);
    grid.reset(1.0f);
    EXPECT_EQ(grid.draw(true), korvid::errInvalidCall);
    grid.bind(&target, &texture, 40, false);
    EXPECT_EQ(grid.draw(true), korvid::errInvalidCall);

    EXPECT_EQ(readPixels(target), before);
    EXPECT_FALSE(target.locked || texture.locked);
}
