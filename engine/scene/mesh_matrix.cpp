#include "engine/scene/mesh_matrix.hpp"

#include <lib3ds/matrix.h>

#include <cmath>

namespace korvid {

namespace {

// Row r, column c.
using Matrix3 = double[3][3];

// The inverse by the adjugate; false when the determinant is 0 or not finite.
bool invert(const Matrix3 a, Matrix3 out) {
    Matrix3 cofactor;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            const int r1 = (r + 1) % 3, r2 = (r + 2) % 3, c1 = (c + 1) % 3, c2 = (c + 2) % 3;
            cofactor[r][c] = a[r1][c1] * a[r2][c2] - a[r1][c2] * a[r2][c1];
        }
    const double det =
        a[0][0] * cofactor[0][0] + a[0][1] * cofactor[0][1] + a[0][2] * cofactor[0][2];
    if (det == 0.0 || !std::isfinite(det))
        return false;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            out[r][c] = cofactor[c][r] / det;
    return true;
}

// The least-squares inverse A'(AA' + dI)^-1, with d so small a part of AA' that the
// result is the limit for d -> 0 to float precision wherever the singular values of A
// stay within a factor 1000 of one another; a zero matrix gets a zero inverse.
void leastSquaresInverse(const Matrix3 a, Matrix3 out) {
    Matrix3 square, squareInverse;
    double trace = 0.0;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            square[r][c] = a[r][0] * a[c][0] + a[r][1] * a[c][1] + a[r][2] * a[c][2];
            if (r == c)
                trace += square[r][c];
        }
    for (int i = 0; i < 3; ++i)
        square[i][i] += 1e-13 * trace;
    if (!invert(square, squareInverse)) {
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                out[r][c] = 0.0;
        return;
    }
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            out[r][c] = a[0][r] * squareInverse[0][c] + a[1][r] * squareInverse[1][c] +
                        a[2][r] * squareInverse[2][c];
}

} // namespace

void meshMatrixInverse(const Lib3dsMatrix m, Lib3dsMatrix inv) {
    lib3ds_matrix_copy(inv, const_cast<float(*)[4]>(m));
    if (lib3ds_matrix_inv(inv))
        return;
    Matrix3 a, b;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            a[r][c] = m[c][r];
    if (!invert(a, b))
        leastSquaresInverse(a, b);
    lib3ds_matrix_identity(inv);
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c)
            inv[c][r] = float(b[r][c]);
        inv[3][r] = float(-(b[r][0] * m[3][0] + b[r][1] * m[3][1] + b[r][2] * m[3][2]));
    }
}

} // namespace korvid
