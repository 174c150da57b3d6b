#pragma once
// Plane-equation interpolation of per-corner values across a screen triangle.

#include "engine/render/render_context.hpp"

namespace korvid {

// A value over the screen: a0 at (x0, y0), changing by gx per pixel right and gy per row down.
struct Plane {
    float a0 = 0.0f, gx = 0.0f, gy = 0.0f;
    float x0 = 0.0f, y0 = 0.0f;

    float at(float x, float y) const { return atOffset(x - x0, y - y0); }
    // The value at (x0 + dx, y0 + dy): planes with one origin share the two differences.
    float atOffset(float dx, float dy) const { return a0 + gx * dx + gy * dy; }
};

// The per-triangle setup: the corners A, B, C and the edge differences that every plane of
// the triangle shares.
struct TriangleSetup {
    ScreenPoint p[3];
    float e1 = 0.0f, e2 = 0.0f, e3 = 0.0f, e4 = 0.0f;
    float det = 0.0f; // twice the signed screen area, positive for a front face
    float invDet = 0.0f;

    // False when det is 0 (or not finite): the triangle covers no pixel and its gradients
    // must not be used.
    bool begin(const ScreenPoint& a, const ScreenPoint& b, const ScreenPoint& c);

    // The plane through the corner values a0, a1, a2. The gradients divide by det through
    // its reciprocal, one division per triangle.
    Plane plane(float a0, float a1, float a2) const {
        Plane r;
        r.a0 = a0;
        r.gx = ((a2 - a0) * e2 - (a1 - a2) * e4) * invDet;
        r.gy = ((a1 - a2) * e1 - (a2 - a0) * e3) * invDet;
        r.x0 = p[0].x;
        r.y0 = p[0].y;
        return r;
    }
};

inline bool TriangleSetup::begin(const ScreenPoint& a, const ScreenPoint& b, const ScreenPoint& c) {
    p[0] = a;
    p[1] = b;
    p[2] = c;
    e1 = c.x - a.x;
    e2 = b.y - c.y;
    e3 = b.x - c.x;
    e4 = c.y - a.y;
    det = e2 * e1 - e4 * e3;
    if (det == 0.0f || !(det - det == 0.0f))
        return false;
    invDet = 1.0f / det;
    return true;
}

} // namespace korvid
