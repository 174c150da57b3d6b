#pragma once
// The engine's small value types: vectors, points, quaternions, 4x4 matrices and colours.
// Everything is single precision; every stored result is a 32-bit float.

#include <cstdint>

namespace korvid {

struct Vector {
    float x = 0.0f, y = 0.0f, z = 0.0f;
};

inline bool operator==(const Vector& a, const Vector& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}
inline bool operator!=(const Vector& a, const Vector& b) {
    return !(a == b);
}
inline Vector operator-(const Vector& a, const Vector& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vector operator+(const Vector& a, const Vector& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline float lengthSquared(const Vector& v) {
    return v.x * v.x + v.y * v.y + v.z * v.z;
}
inline float dot(const Vector& a, const Vector& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vector scaled(const Vector& v, float s) {
    return {s * v.x, s * v.y, s * v.z};
}
inline Vector cross(const Vector& a, const Vector& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
// No guard for the zero vector: the engine never normalises one.
Vector normalised(const Vector& v);

struct Point2 {
    float x = 0.0f, y = 0.0f;
};

inline bool operator==(const Point2& a, const Point2& b) {
    return a.x == b.x && a.y == b.y;
}
inline Point2 operator+(const Point2& a, const Point2& b) {
    return {a.x + b.x, a.y + b.y};
}

// Vector part first, scalar last.
struct Quaternion {
    float x = 0.0f, y = 0.0f, z = 0.0f, w = 1.0f;

    // Normalised over all four components, so a non-unit axis still gives a unit quaternion.
    static Quaternion fromAxisAngle(const Vector& axis, float angle);
};

// Row by row, m[row][col], acting on column vectors: the translation is the last column.
struct Matrix {
    float m[4][4];

    static Matrix identity();
    static Matrix translation(const Vector& t);
    static Matrix scaling(const Vector& s);
    // The transpose of the usual column-vector rotation of q; q is not normalised.
    static Matrix rotation(const Quaternion& q);
    // Looks along d (the node's +z), rolled by r radians about that axis; world up is +z.
    static Matrix lookAlong(const Vector& d, float roll);

    // this * b, through a temporary so that the result may alias an operand.
    Matrix operator*(const Matrix& b) const;
    // Rows 0..2 applied to p plus the translation; the bottom row is ignored.
    Vector transform(const Vector& p) const {
        return {m[0][0] * p.x + m[0][1] * p.y + m[0][2] * p.z + m[0][3],
                m[1][0] * p.x + m[1][1] * p.y + m[1][2] * p.z + m[1][3],
                m[2][0] * p.x + m[2][1] * p.y + m[2][2] * p.z + m[2][3]};
    }
    Vector getTranslation() const { return {m[0][3], m[1][3], m[2][3]}; }
    Vector column(int c) const { return {m[0][c], m[1][c], m[2][c]}; }
    // The first three columns normalised, no translation: a matrix for normals.
    Matrix rotationPart() const;
};

// Components on the scale 0..255; alpha 255 is opaque.
struct Colour {
    float r = 0.0f, g = 0.0f, b = 0.0f, a = 1.0f;

    static Colour fromPacked(uint32_t argb);
    Colour scaled(float s) const { return {r * s, g * s, b * s, a * s}; }
    // a * b / 255 per component, as a * b * 0.003921569.
    Colour modulated(const Colour& o) const;
    float intensity() const { return (r + g + b) * 0.33333334f; }
    // Truncated toward zero, below 0 gives 0, 256 and above gives 255; 0xAARRGGBB.
    uint32_t packed() const;
};

inline Colour operator+(const Colour& a, const Colour& b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b, a.a + b.a};
}
inline Colour operator-(const Colour& a, const Colour& b) {
    return {a.r - b.r, a.g - b.g, a.b - b.b, a.a - b.a};
}

// One channel of a packed colour: truncation with the clamps of Colour::packed.
uint32_t packChannel(float c);

} // namespace korvid
