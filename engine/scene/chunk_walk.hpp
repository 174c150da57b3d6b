#pragma once
// The steps with which lib3ds 1.3 reads a file, replayed on its bytes: numbers and names
// read at lib3ds's file position, chunk headers, the loop over the subchunks of a chunk
// and the subchunks that lib3ds reads with a reader of their own. A subchunk's data is
// read from after its header whatever its length says; the loop then seeks to where the
// lengths point. Every step returns false once lib3ds would stop, with the reason in
// `verdict`.

#include "engine/scene/chunk_check.hpp"

#include <cstdint>
#include <string>

namespace korvid {

class ChunkWalk {
public:
    ChunkWalk(const uint8_t* data, size_t size)
        : data(data), size(size), budget(4 * uint64_t(size) + 256) {}

protected:
    // lib3ds's bookkeeping of a chunk it loops over: 32-bit positions that wrap at 4 GB.
    struct Chunk {
        uint32_t end; // where the loop stops
        uint32_t cur; // where the next subchunk header is read
    };

    bool refuse() {
        verdict = ChunkCheck::refused;
        return false;
    }

    bool unsafe() {
        verdict = ChunkCheck::unsafe;
        return false;
    }

    // A file whose chunks nest properly is read about twice over (headers twice, data
    // once); more than four times over means lengths below 6 or lengths that wrap around,
    // which re-read the same bytes without end or at every level of nesting.
    bool spend(uint64_t n) {
        if (n > budget)
            return unsafe();
        budget -= n;
        return true;
    }

    // Numbers: past the end of the file lib3ds takes uninitialised memory for them.
    bool skip(uint64_t n) {
        if (at > size || n > size - at)
            return unsafe();
        at += n;
        return spend(n);
    }

    bool u16(uint16_t& v) {
        if (!skip(2))
            return false;
        v = uint16_t(data[at - 2] | data[at - 1] << 8);
        return true;
    }

    bool u32(uint32_t& v) {
        if (!skip(4))
            return false;
        const uint8_t* p = data + at - 4;
        v = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
        return true;
    }

    // A name into a buffer of `buffer` bytes: lib3ds checks every byte it reads, and fails
    // at the end of the file or when the buffer fills before the terminator. False for a
    // failure; the caller decides whether lib3ds refuses the file for it.
    bool string(size_t buffer, std::string* name = nullptr) {
        const size_t from = at;
        for (size_t n = 0; n < buffer; ++n) {
            if (at >= size)
                return false;
            if (!spend(1))
                return false;
            if (data[at++] == 0) {
                if (name)
                    name->assign(reinterpret_cast<const char*>(data) + from, n);
                return true;
            }
        }
        return false;
    }

    bool name(size_t buffer, std::string* name = nullptr) {
        return string(buffer, name) || (verdict == ChunkCheck::readable && refuse());
    }

    // A chunk header where lib3ds starts a chunk: the length must reach past the header.
    bool start(Chunk& c, uint16_t& id) {
        const uint32_t from = uint32_t(at);
        uint32_t length;
        if (!u16(id) || !u32(length))
            return false;
        if (length < 6)
            return refuse();
        c = {from + length, from + 6};
        return true;
    }

    // A subchunk that lib3ds reads with a reader of its own steps back over the header
    // that the loop has just read and starts it again.
    bool enter(Chunk& c) {
        at -= 6;
        uint16_t id;
        return start(c, id);
    }

    // The next subchunk's id, or 0 when the loop ends: at the end of the parent, or at a
    // zero id, whose length lib3ds reads but never uses.
    bool next(Chunk& c, uint16_t& id) {
        id = 0;
        if (c.cur >= c.end)
            return true;
        at = c.cur;
        if (!u16(id))
            return false;
        if (id == 0)
            return true;
        uint32_t length;
        if (!u32(length))
            return false;
        c.cur += length;
        return true;
    }

    template <class Each>
    bool children(Chunk& c, Each each) {
        for (;;) {
            uint16_t id;
            if (!next(c, id))
                return false;
            if (id == 0)
                return true;
            if (!each(id))
                return false;
        }
    }

    // A subchunk read by its own reader: the header again, the fixed data, then the
    // subchunks that follow the data.
    template <class Data, class Each>
    bool sub(Data fixed, Each each) {
        Chunk c;
        if (!enter(c) || !fixed())
            return false;
        c.cur = uint32_t(at);
        return children(c, each);
    }

    // A subchunk read by its own reader that has no subchunks.
    bool alone(uint64_t bytes) {
        Chunk c;
        return enter(c) && skip(bytes);
    }

    const uint8_t* data;
    size_t size;
    uint64_t at = 0;
    uint64_t budget;
    ChunkCheck verdict = ChunkCheck::readable;
};

} // namespace korvid
