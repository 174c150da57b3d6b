#pragma once
// Validation of a 3DS file's chunk tree before lib3ds reads it. lib3ds 1.3 trusts its
// input: a chunk length below 6 makes its reader loop for ever, counts larger than their
// chunk read garbage or past the end of the file, face and material-group indices past
// their arrays read and write out of bounds, parent ids that loop recurse without end.
// The check walks every chunk that lib3ds reads, in the contexts where it reads them, and
// accepts a file only when lib3ds can read all of it within bounds.

#include <cstddef>
#include <cstdint>

namespace korvid {

bool checkChunks(const uint8_t* data, size_t size);

} // namespace korvid
