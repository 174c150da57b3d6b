#include "engine/render/light_normals.hpp"
#include "engine/math/elementary.hpp"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace korvid {

namespace {

// Diffuse light from every light at a vertex V with normal N, both in camera space.
Colour lightAt(const std::vector<Light>& lights, const Vector& V, const Vector& N) {
    Colour sum{0.0f, 0.0f, 0.0f, 255.0f};
    for (const Light& l : lights) {
        // The direction is normalised inline so that its squared length doubles as the
        // squared distance: |P - V|^2 and |V - P|^2 differ only in the signs of the terms.
        const Vector toVertex = V - l.position;
        const float d2 = lengthSquared(toVertex);
        const float inverse = 1.0f / std::sqrt(d2);
        const Vector D{toVertex.x * inverse, toVertex.y * inverse, toVertex.z * inverse};
        Colour c = l.colour;
        if (l.rangeAttenuation) {
            if (d2 > l.outerRange * l.outerRange)
                continue;
            if (d2 > l.innerRange * l.innerRange) {
                const float t = (std::sqrt(d2) - l.innerRange) / (l.outerRange - l.innerRange);
                c = c.scaled(1.0f - t);
            }
        }
        if (l.cone) {
            // Rounding can leave the cosine just beyond -1 or 1: acos is then not a number,
            // both tests below fail and the light is added undimmed.
            const float a = 2.0f * korvid::acos(dot(l.axis, D));
            if (a >= l.falloff)
                continue;
            if (a >= l.hotspot)
                c = c.scaled(1.0f - (a - l.hotspot) / (l.falloff - l.hotspot));
        }
        const float k = -dot(D, N);
        if (k < 0.0f)
            continue;
        sum = sum + c.scaled(k);
    }
    return sum;
}

} // namespace

namespace scalar {

void lightNormals(const std::vector<Light>& lights, const RenderNormal* normals,
                  const uint32_t* indices, size_t count, Colour* out) {
    for (size_t k = 0; k < count; ++k) {
        const RenderNormal& n = normals[indices[k]];
        out[indices[k]] = lightAt(lights, n.vertex->cameraPosition, n.cameraNormal);
    }
}

} // namespace scalar

#if defined(__SSE2__)

namespace {

// Four lanes of one quantity, one normal each.
struct Lanes3 {
    __m128 x, y, z;
};

inline __m128 select(__m128 mask, __m128 a, __m128 b) {
    return _mm_or_ps(_mm_and_ps(mask, a), _mm_andnot_ps(mask, b));
}

// The scalar steps of lightAt for four normals at once: every lane does the same float
// operations in the same order as one pass of the scalar loop, and a light that adds
// nothing to a lane leaves that lane's sum as it was.
void lightFour(const std::vector<Light>& lights, const Lanes3& V, const Lanes3& N, __m128 sum[4]) {
    const __m128 one = _mm_set1_ps(1.0f);
    const __m128 sign = _mm_set1_ps(-0.0f);
    for (const Light& l : lights) {
        const __m128 tx = _mm_sub_ps(V.x, _mm_set1_ps(l.position.x));
        const __m128 ty = _mm_sub_ps(V.y, _mm_set1_ps(l.position.y));
        const __m128 tz = _mm_sub_ps(V.z, _mm_set1_ps(l.position.z));
        const __m128 d2 =
            _mm_add_ps(_mm_add_ps(_mm_mul_ps(tx, tx), _mm_mul_ps(ty, ty)), _mm_mul_ps(tz, tz));
        const __m128 inverse = _mm_div_ps(one, _mm_sqrt_ps(d2));
        const __m128 dx = _mm_mul_ps(tx, inverse);
        const __m128 dy = _mm_mul_ps(ty, inverse);
        const __m128 dz = _mm_mul_ps(tz, inverse);
        __m128 c[4] = {_mm_set1_ps(l.colour.r), _mm_set1_ps(l.colour.g), _mm_set1_ps(l.colour.b),
                       _mm_set1_ps(l.colour.a)};
        __m128 adds = _mm_castsi128_ps(_mm_set1_epi32(-1));
        if (l.rangeAttenuation) {
            adds = _mm_cmpngt_ps(d2, _mm_set1_ps(l.outerRange * l.outerRange));
            const __m128 partly = _mm_cmpgt_ps(d2, _mm_set1_ps(l.innerRange * l.innerRange));
            const __m128 t = _mm_div_ps(_mm_sub_ps(_mm_sqrt_ps(d2), _mm_set1_ps(l.innerRange)),
                                        _mm_set1_ps(l.outerRange - l.innerRange));
            const __m128 scale = _mm_sub_ps(one, t);
            for (__m128& channel : c)
                channel = select(partly, _mm_mul_ps(channel, scale), channel);
        }
        const __m128 facing =
            _mm_add_ps(_mm_add_ps(_mm_mul_ps(dx, N.x), _mm_mul_ps(dy, N.y)), _mm_mul_ps(dz, N.z));
        const __m128 k = _mm_xor_ps(facing, sign);
        adds = _mm_and_ps(adds, _mm_cmpnlt_ps(k, _mm_setzero_ps()));
        for (int i = 0; i < 4; ++i)
            sum[i] = select(adds, _mm_add_ps(sum[i], _mm_mul_ps(c[i], k)), sum[i]);
    }
}

} // namespace

void lightNormals(const std::vector<Light>& lights, const RenderNormal* normals,
                  const uint32_t* indices, size_t count, Colour* out) {
    // A cone's angle needs acos, lane by lane: such scenes are lit the plain way.
    for (const Light& l : lights)
        if (l.cone) {
            scalar::lightNormals(lights, normals, indices, count, out);
            return;
        }
    size_t k = 0;
    for (; k + 4 <= count; k += 4) {
        const RenderNormal* n[4];
        for (int j = 0; j < 4; ++j)
            n[j] = &normals[indices[k + size_t(j)]];
        auto lanes = [&n](auto field) {
            return _mm_set_ps(field(*n[3]), field(*n[2]), field(*n[1]), field(*n[0]));
        };
        const Lanes3 V{lanes([](const RenderNormal& r) { return r.vertex->cameraPosition.x; }),
                       lanes([](const RenderNormal& r) { return r.vertex->cameraPosition.y; }),
                       lanes([](const RenderNormal& r) { return r.vertex->cameraPosition.z; })};
        const Lanes3 N{lanes([](const RenderNormal& r) { return r.cameraNormal.x; }),
                       lanes([](const RenderNormal& r) { return r.cameraNormal.y; }),
                       lanes([](const RenderNormal& r) { return r.cameraNormal.z; })};
        __m128 sum[4] = {_mm_setzero_ps(), _mm_setzero_ps(), _mm_setzero_ps(), _mm_set1_ps(255.0f)};
        lightFour(lights, V, N, sum);
        // Channels by lane into one colour per lane.
        _MM_TRANSPOSE4_PS(sum[0], sum[1], sum[2], sum[3]);
        for (int j = 0; j < 4; ++j) {
            Colour& c = out[indices[k + size_t(j)]];
            alignas(16) float rgba[4];
            _mm_store_ps(rgba, sum[j]);
            c = Colour{rgba[0], rgba[1], rgba[2], rgba[3]};
        }
    }
    scalar::lightNormals(lights, normals, indices + k, count - k, out);
}

#else

void lightNormals(const std::vector<Light>& lights, const RenderNormal* normals,
                  const uint32_t* indices, size_t count, Colour* out) {
    scalar::lightNormals(lights, normals, indices, count, out);
}

#endif

} // namespace korvid
