#include "engine/scene/track.hpp"
#include "engine/math/elementary.hpp"

#include <cmath>

namespace korvid {

namespace {

// The key interval holding `frame`: true with `i` and the fraction `u` inside it, false
// when the frame lies at or outside the ends, with `i` the key whose value holds.
template <class Key>
bool locate(const std::vector<Key>& keys, float frame, size_t& i, float& u) {
    const size_t n = keys.size();
    if (frame <= keys[0].frame) {
        i = 0;
        return false;
    }
    if (frame >= keys[n - 1].frame) {
        i = n - 1;
        return false;
    }
    i = 0;
    while (i + 2 < n && !(frame < keys[i + 1].frame))
        ++i;
    u = (frame - keys[i].frame) / (keys[i + 1].frame - keys[i].frame);
    return true;
}

struct Hermite {
    float h1, h2, h3, h4;

    explicit Hermite(float u)
        : h1(2.0f * u * u * u - 3.0f * u * u + 1.0f), h2((3.0f - 2.0f * u) * u * u),
          h3(u * u * u - 2.0f * u * u + u), h4(u * u * u - u * u) {}

    float operator()(float a, float b, float outA, float inB) const {
        return h1 * a + h2 * b + h3 * outA + h4 * inB;
    }
};

Quaternion blend(const Quaternion& a, const Quaternion& b, float p, float q) {
    return {p * a.x + q * b.x, p * a.y + q * b.y, p * a.z + q * b.z, p * a.w + q * b.w};
}

} // namespace

Quaternion slerp(const Quaternion& a, const Quaternion& b, float s) {
    float l = a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
    if (1.0f + l > 0.0003f) {
        if (std::fabs(l) > 1.0f)
            l = l / std::fabs(l);
        const float om = korvid::acos(l);
        const float sn = korvid::sin(om);
        if (std::fabs(sn) > 0.0003f)
            return blend(a, b, korvid::sin((1.0f - s) * om) / sn, korvid::sin(s * om) / sn);
        return blend(a, b, 1.0f - s, s);
    }
    // Nearly opposite: turn towards a quaternion perpendicular to a. The constant is 1.57,
    // not pi/2.
    const Quaternion c{-a.y, a.x, -a.w, a.z};
    return blend(a, c, korvid::sin((1.0f - s) * 1.57f), korvid::sin(s * 1.57f));
}

// The value at `frame`: the end key's value outside the keys, else `between` of the two
// keys around it and the fraction u between them.
template <class Key, class Between>
void evaluateKeys(const std::vector<Key>& keys, float frame, typename Key::Value& out,
                  Between between) {
    if (keys.empty())
        return;
    size_t i;
    float u;
    if (locate(keys, frame, i, u))
        out = between(keys[i], keys[i + 1], u);
    else
        out = keys[i].value;
}

// Booleans step: the value of the key at or before the frame.
template <>
void Track<BoolKey>::evaluate(float frame, bool& out) const {
    evaluateKeys(keys, frame, out, [](const BoolKey& a, const BoolKey&, float) { return a.value; });
}

template <>
void Track<ScalarKey>::evaluate(float frame, float& out) const {
    evaluateKeys(keys, frame, out, [](const ScalarKey& a, const ScalarKey& b, float u) {
        return Hermite(u)(a.value, b.value, a.outTangent, b.inTangent);
    });
}

template <>
void Track<VectorKey>::evaluate(float frame, Vector& out) const {
    evaluateKeys(keys, frame, out, [](const VectorKey& a, const VectorKey& b, float u) {
        const Hermite h(u);
        return Vector{h(a.value.x, b.value.x, a.outTangent.x, b.inTangent.x),
                      h(a.value.y, b.value.y, a.outTangent.y, b.inTangent.y),
                      h(a.value.z, b.value.z, a.outTangent.z, b.inTangent.z)};
    });
}

// Only red, green and blue are interpolated; alpha is 1.
template <>
void Track<ColourKey>::evaluate(float frame, Colour& out) const {
    evaluateKeys(keys, frame, out, [](const ColourKey& a, const ColourKey& b, float u) {
        const Hermite h(u);
        return Colour{h(a.value.r, b.value.r, a.outTangent.r, b.inTangent.r),
                      h(a.value.g, b.value.g, a.outTangent.g, b.inTangent.g),
                      h(a.value.b, b.value.b, a.outTangent.b, b.inTangent.b), 1.0f};
    });
}

// Slerp between the keys and between their tangents, then between the two by 2u(1 - u).
template <>
void Track<RotationKey>::evaluate(float frame, Quaternion& out) const {
    evaluateKeys(keys, frame, out, [](const RotationKey& a, const RotationKey& b, float u) {
        const Quaternion onKeys = slerp(a.value, b.value, u);
        const Quaternion onTangents = slerp(a.outTangent, b.inTangent, u);
        return slerp(onKeys, onTangents, 2.0f * u * (1.0f - u));
    });
}

} // namespace korvid
