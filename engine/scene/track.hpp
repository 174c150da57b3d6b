#pragma once
// Keyframe tracks: keys in ascending frame order, evaluated by cubic Hermite curves
// (rotations by a three-slerp blend, booleans by step). An empty track writes nothing.

#include "engine/math/math.hpp"

#include <cstdint>
#include <vector>

namespace korvid {

struct BoolKey {
    using Value = bool;
    float frame = 0.0f;
    bool value = false;
};

struct ScalarKey {
    using Value = float;
    float frame = 0.0f;
    float value = 0.0f, inTangent = 0.0f, outTangent = 0.0f;
};

struct VectorKey {
    using Value = Vector;
    float frame = 0.0f;
    Vector value, inTangent, outTangent;
};

struct ColourKey {
    using Value = Colour;
    float frame = 0.0f;
    Colour value, inTangent, outTangent;
};

struct RotationKey {
    using Value = Quaternion;
    float frame = 0.0f;
    Quaternion value, inTangent, outTangent;
};

template <class Key>
struct Track {
    std::vector<Key> keys;

    uint32_t count() const { return uint32_t(keys.size()); }
    // Writes the value at `frame` into `out`; nothing when the track is empty.
    void evaluate(float frame, typename Key::Value& out) const;
};

using BoolTrack = Track<BoolKey>;
using ScalarTrack = Track<ScalarKey>;
using VectorTrack = Track<VectorKey>;
using ColourTrack = Track<ColourKey>;
using RotationTrack = Track<RotationKey>;

template <>
void Track<BoolKey>::evaluate(float frame, bool& out) const;
template <>
void Track<ScalarKey>::evaluate(float frame, float& out) const;
template <>
void Track<VectorKey>::evaluate(float frame, Vector& out) const;
template <>
void Track<ColourKey>::evaluate(float frame, Colour& out) const;
template <>
void Track<RotationKey>::evaluate(float frame, Quaternion& out) const;

// Spherical interpolation with the nearly-opposite branch for quaternions that almost cancel.
Quaternion slerp(const Quaternion& a, const Quaternion& b, float s);

} // namespace korvid
