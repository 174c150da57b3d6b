#pragma once
// The inverse of a lib3ds mesh matrix, which takes the mesh's points from the file's world
// space back into the mesh's own space. lib3ds keeps column j of the transform in m[j] and
// the translation in m[3]; the matrix is affine (lib3ds reads only those twelve numbers).

#include <lib3ds/types.h>

namespace korvid {

// Exactly lib3ds's inverse wherever lib3ds finds one. lib3ds gives up when its pivots
// multiply to less than 1e-8, which a small but regular scale does (0.002 on every axis
// makes 8e-9); the inverse is then taken in double precision. A matrix that is singular
// even there (an axis of length 0, axes in one plane) gets its least-squares inverse: the
// points go back onto the axes the matrix keeps and to 0 along those it collapses.
void meshMatrixInverse(const Lib3dsMatrix m, Lib3dsMatrix inv);

} // namespace korvid
