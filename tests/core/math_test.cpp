#include "engine/math/elementary.hpp"
#include "engine/math/math.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace korvid;

TEST(Colour, PackingTruncatesAndClampsEachChannel) {
    EXPECT_EQ((Colour{-3.0f, 300.0f, 255.9f, 128.5f}.packed()), 0x8000FFFFu);
    EXPECT_EQ((Colour{255.0f, 127.99f, 0.99f, 256.0f}.packed()), 0xFFFF7F00u);
    EXPECT_EQ((Colour{NAN, 1e30f, -1e30f, 0.0f}.packed()), 0x0000FF00u);
    EXPECT_EQ(Colour::fromPacked(0x80402010u).packed(), 0x80402010u);
    const Colour c = Colour::fromPacked(0xFF336699u);
    EXPECT_EQ(c.r, 51.0f);
    EXPECT_EQ(c.g, 102.0f);
    EXPECT_EQ(c.b, 153.0f);
    EXPECT_EQ(c.a, 255.0f);
    EXPECT_FLOAT_EQ(c.intensity(), 102.0f);
    // Modulation is a * b / 255: full white leaves a colour as it is.
    const Colour m = c.modulated(Colour{255, 255, 255, 255});
    EXPECT_NEAR(m.r, 51.0f, 1e-4f);
    EXPECT_NEAR(m.b, 153.0f, 1e-4f);
}

TEST(Quaternion, RotationAboutZ) {
    const float a = 0.7f;
    const Matrix r = Matrix::rotation(Quaternion::fromAxisAngle({0, 0, 1}, a));
    EXPECT_NEAR(r.m[0][0], std::cos(a), 1e-6f);
    EXPECT_NEAR(r.m[0][1], std::sin(a), 1e-6f);
    EXPECT_NEAR(r.m[1][0], -std::sin(a), 1e-6f);
    EXPECT_NEAR(r.m[1][1], std::cos(a), 1e-6f);
    EXPECT_NEAR(r.m[2][2], 1.0f, 1e-6f);
    EXPECT_EQ(r.m[3][3], 1.0f);

    // A non-unit axis still gives a unit quaternion.
    const Quaternion q = Quaternion::fromAxisAngle({0, 0, 5}, a);
    EXPECT_NEAR(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w, 1.0f, 1e-6f);
    const float h = a / 2;
    EXPECT_NEAR(q.z,
                5 * std::sin(h) /
                    std::sqrt(25 * std::sin(h) * std::sin(h) + std::cos(h) * std::cos(h)),
                1e-6f);

    // Each component is divided by the length: the quotient of two floats taken in double
    // and rounded once is the correctly rounded one, which multiplying by 1 / length misses
    // by an ulp for many angles.
    int wrong = 0;
    for (int i = 0; i < 1000; ++i) {
        const float angle = -6.0f + float(i) * 0.0123f;
        const float s = korvid::sin(angle * 0.5f);
        const float raw[4] = {0.3f * s, -1.2f * s, 2.5f * s, korvid::cos(angle * 0.5f)};
        const double length =
            std::sqrt(raw[0] * raw[0] + raw[1] * raw[1] + raw[2] * raw[2] + raw[3] * raw[3]);
        const Quaternion u = Quaternion::fromAxisAngle({0.3f, -1.2f, 2.5f}, angle);
        const float got[4] = {u.x, u.y, u.z, u.w};
        for (int k = 0; k < 4; ++k)
            wrong += got[k] != float(double(raw[k]) / length);
    }
    EXPECT_EQ(wrong, 0);
}

TEST(Matrix, ProductsTransformsAndParts) {
    // A product may alias an operand.
    Matrix a = Matrix::translation({1, 2, 3}) *
               Matrix::rotation(Quaternion::fromAxisAngle({1, 1, 0}, 0.3f));
    const Matrix b = Matrix::scaling({2, 3, 4}) * Matrix::translation({-1, 0, 5});
    const Matrix fresh = a * b;
    a = a * b;
    EXPECT_EQ(std::memcmp(&a, &fresh, sizeof a), 0);

    // Translation in the last column; the rotation part drops it and the scale.
    EXPECT_EQ(Matrix::translation({1, 2, 3}).transform({10, 20, 30}), (Vector{11, 22, 33}));
    const Matrix r = (Matrix::translation({5, 6, 7}) * Matrix::scaling({2, 3, 4})).rotationPart();
    EXPECT_EQ(r.column(0), (Vector{1, 0, 0}));
    EXPECT_EQ(r.column(1), (Vector{0, 1, 0}));
    EXPECT_EQ(r.column(2), (Vector{0, 0, 1}));
    EXPECT_EQ(r.getTranslation(), (Vector{0, 0, 0}));

    // Looking along +y: right is -x, down is -z. A roll turns the right and down axes about
    // the viewing direction.
    const Matrix m = Matrix::lookAlong({0, 1, 0}, 0.0f);
    EXPECT_EQ(m.column(0), (Vector{-1, 0, 0}));
    EXPECT_EQ(m.column(1), (Vector{0, 0, -1}));
    EXPECT_EQ(m.column(2), (Vector{0, 1, 0}));
    const Matrix rolled = Matrix::lookAlong({0, 1, 0}, 1.5707964f);
    EXPECT_NEAR(rolled.column(2).y, 1.0f, 1e-6f);
    EXPECT_NEAR(std::fabs(rolled.column(0).z), 1.0f, 1e-6f);
}
