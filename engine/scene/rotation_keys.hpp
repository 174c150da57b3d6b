#pragma once
// The set-up of a 3DS rotation track that lib3ds makes when it reads a file (each key's
// absolute quaternion and its tangents on both sides), made again with the engine's own
// maths. lib3ds makes it with the C library's sin, cos and atan2, whose results differ
// between libraries and versions; this follows lib3ds 1.3's arithmetic step for step, in
// the same float and double precisions, so the two agree exactly wherever the C library
// rounds correctly.

#include <lib3ds/file.h>
#include <lib3ds/tracks.h>

namespace korvid {

// Rewrites q, dd and ds of every key from its angle, axis and TCB parameters.
void setUpRotationTrack(Lib3dsQuatTrack& track);

// The same for the rotation track of every object node of the file.
void setUpRotationTracks(Lib3dsFile& file);

} // namespace korvid
