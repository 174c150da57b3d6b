#pragma once
// lib3ds 1.3 reading a 3DS file, replayed on the file's bytes before lib3ds sees them.
// lib3ds trusts its input: a chunk length of 0 makes a loop read the same chunk for ever,
// numbers past the end of the file are read into uninitialised memory, face and
// material-group indices past their arrays are read and written out of bounds, parent ids
// can make its node linking recurse without end, and a repeating track can make its
// evaluation at frame 0 follow a null key. Where it notices a fault (an unknown top chunk,
// a chunk length below 6 where it reads a chunk with its own reader, a name without its
// terminator) it stops and refuses the file. The check follows lib3ds through the file, in
// the order lib3ds reads it, and tells which of the two comes first, if either.

#include <cstddef>
#include <cstdint>

namespace korvid {

enum class ChunkCheck {
    readable, // lib3ds reads the whole file and evaluates it at frame 0 safely
    refused,  // lib3ds refuses the file before it does anything unsafe
    unsafe,   // lib3ds would read out of bounds or uninitialised data, loop or crash
};

ChunkCheck checkChunks(const uint8_t* data, size_t size);

} // namespace korvid
