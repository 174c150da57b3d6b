#include "engine/scene/track_convert.hpp"

namespace korvid {

namespace {

// Degrees to radians, with the engine's own constant.
constexpr float degreesToRadians = 0.017453292f;

float scalarValue(const float& v) {
    return v * degreesToRadians;
}

Vector vectorValue(const Lib3dsVector v) {
    return {v[1], v[0], v[2]};
}

// Scale 256, not 255; alpha 1 on values and tangents alike.
Colour colourValue(const Lib3dsVector v) {
    return {v[0] * 256.0f, v[1] * 256.0f, v[2] * 256.0f, 1.0f};
}

Quaternion rotationValue(const Lib3dsQuat q) {
    return {q[1], q[0], q[2], q[3]};
}

// lib3ds keeps keys in a list sorted by frame, with `dd` the tangent leaving a key and
// `ds` the one arriving at it. `value` picks the key's value (for rotations the absolute
// quaternion lib3ds computed when it read the file).
template <class Field, class Track, class LibKey, class Convert, class Value>
Error convert(Field& field, Track& track, const LibKey* first, Convert convertValue,
              Value valueOf) {
    size_t count = 0;
    for (const LibKey* k = first; k; k = k->next)
        ++count;
    track.keys.clear();
    if (count == 0)
        return errNone;
    field = convertValue(valueOf(*first));
    if (count == 1)
        return errNone;
    track.keys.resize(count);
    auto key = track.keys.begin();
    for (const LibKey* k = first; k; k = k->next, ++key) {
        key->frame = float(k->tcb.frame);
        key->value = convertValue(valueOf(*k));
        key->inTangent = convertValue(k->ds);
        key->outTangent = convertValue(k->dd);
    }
    track.keys.shrink_to_fit();
    return errNone;
}

} // namespace

Error convertScalarTrack(float& field, ScalarTrack& track, const Lib3dsLin1Track& from) {
    return convert(field, track, from.keyL, scalarValue,
                   [](const Lib3dsLin1Key& k) -> const float& { return k.value; });
}

Error convertVectorTrack(Vector& field, VectorTrack& track, const Lib3dsLin3Track& from) {
    return convert(field, track, from.keyL, vectorValue,
                   [](const Lib3dsLin3Key& k) { return k.value; });
}

Error convertColourTrack(Colour& field, ColourTrack& track, const Lib3dsLin3Track& from) {
    return convert(field, track, from.keyL, colourValue,
                   [](const Lib3dsLin3Key& k) { return k.value; });
}

Error convertRotationTrack(Quaternion& field, RotationTrack& track, const Lib3dsQuatTrack& from) {
    return convert(field, track, from.keyL, rotationValue,
                   [](const Lib3dsQuatKey& k) { return k.q; });
}

} // namespace korvid
