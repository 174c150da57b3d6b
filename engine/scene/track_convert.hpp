#pragma once
// Conversion of lib3ds keyframe tracks into engine tracks. The first key's value goes into
// the field; a track of one key stays empty, so the field keeps that value for ever.
// Geometry has x and y exchanged, angles become radians and colours the 0..256 scale.

#include "engine/core/errors.hpp"
#include "engine/scene/track.hpp"

#include <lib3ds/tracks.h>

namespace korvid {

Error convertScalarTrack(float& field, ScalarTrack& track, const Lib3dsLin1Track& from);
Error convertVectorTrack(Vector& field, VectorTrack& track, const Lib3dsLin3Track& from);
Error convertColourTrack(Colour& field, ColourTrack& track, const Lib3dsLin3Track& from);
Error convertRotationTrack(Quaternion& field, RotationTrack& track, const Lib3dsQuatTrack& from);

} // namespace korvid
