#include "engine/math/math.hpp"
#include "engine/math/elementary.hpp"

#include <cmath>

namespace korvid {

Vector normalised(const Vector& v) {
    const float k = 1.0f / std::sqrt(lengthSquared(v));
    return {v.x * k, v.y * k, v.z * k};
}

Quaternion Quaternion::fromAxisAngle(const Vector& axis, float angle) {
    const float h = angle * 0.5f;
    const float s = korvid::sin(h);
    Quaternion q{axis.x * s, axis.y * s, axis.z * s, korvid::cos(h)};
    // A true division of each component: multiplying by 1 / length would round twice and
    // miss the correctly rounded quotient by an ulp for many angles.
    const float length = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
    return {q.x / length, q.y / length, q.z / length, q.w / length};
}

Matrix Matrix::identity() {
    Matrix r{};
    r.m[0][0] = r.m[1][1] = r.m[2][2] = r.m[3][3] = 1.0f;
    return r;
}

Matrix Matrix::translation(const Vector& t) {
    Matrix r = identity();
    r.m[0][3] = t.x;
    r.m[1][3] = t.y;
    r.m[2][3] = t.z;
    return r;
}

Matrix Matrix::scaling(const Vector& s) {
    Matrix r = identity();
    r.m[0][0] = s.x;
    r.m[1][1] = s.y;
    r.m[2][2] = s.z;
    return r;
}

Matrix Matrix::rotation(const Quaternion& q) {
    const float x = q.x, y = q.y, z = q.z, w = q.w;
    Matrix r = identity();
    r.m[0][0] = 1.0f - 2.0f * y * y - 2.0f * z * z;
    r.m[0][1] = 2.0f * x * y + 2.0f * w * z;
    r.m[0][2] = 2.0f * x * z - 2.0f * w * y;
    r.m[1][0] = 2.0f * x * y - 2.0f * w * z;
    r.m[1][1] = 1.0f - 2.0f * x * x - 2.0f * z * z;
    r.m[1][2] = 2.0f * y * z + 2.0f * w * x;
    r.m[2][0] = 2.0f * x * z + 2.0f * w * y;
    r.m[2][1] = 2.0f * y * z - 2.0f * w * x;
    r.m[2][2] = 1.0f - 2.0f * x * x - 2.0f * y * y;
    return r;
}

Matrix Matrix::lookAlong(const Vector& d, float roll) {
    const Vector f = normalised(d);
    const Vector r = normalised(cross(f, Vector{0.0f, 0.0f, -1.0f}));
    const Vector u = normalised(cross(r, f));
    Matrix b = identity();
    b.m[0][0] = r.x, b.m[0][1] = u.x, b.m[0][2] = f.x;
    b.m[1][0] = r.y, b.m[1][1] = u.y, b.m[1][2] = f.y;
    b.m[2][0] = r.z, b.m[2][1] = u.z, b.m[2][2] = f.z;
    return b * rotation(Quaternion::fromAxisAngle(Vector{0.0f, 0.0f, 1.0f}, roll));
}

Matrix Matrix::operator*(const Matrix& b) const {
    Matrix r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = m[i][0] * b.m[0][j] + m[i][1] * b.m[1][j] + m[i][2] * b.m[2][j] +
                        m[i][3] * b.m[3][j];
    return r;
}

Matrix Matrix::rotationPart() const {
    Matrix r = identity();
    for (int c = 0; c < 3; ++c) {
        const Vector axis = normalised(column(c));
        r.m[0][c] = axis.x;
        r.m[1][c] = axis.y;
        r.m[2][c] = axis.z;
    }
    return r;
}

Colour Colour::fromPacked(uint32_t argb) {
    return {float((argb >> 16) & 0xFF), float((argb >> 8) & 0xFF), float(argb & 0xFF),
            float(argb >> 24)};
}

Colour Colour::modulated(const Colour& o) const {
    const float k = 0.003921569f;
    return {r * o.r * k, g * o.g * k, b * o.b * k, a * o.a * k};
}

uint32_t packChannel(float c) {
    // Written so that NaN and huge values never reach the float-to-int conversion.
    if (!(c > 0.0f))
        return 0;
    if (c >= 255.0f)
        return 255;
    return uint32_t(c);
}

uint32_t Colour::packed() const {
    return packChannel(a) << 24 | packChannel(r) << 16 | packChannel(g) << 8 | packChannel(b);
}

} // namespace korvid
