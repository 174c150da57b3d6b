#pragma once
// Row kernels (the SIMD forms and their plain ones) against a per-pixel rule: fresh random
// words in every pixel, every length from 0 to 40 (every tail of the four- and eight-pixel
// steps, and several whole steps), rows starting at four alignments, and the output starting
// from a sentinel fill with guards on both sides, so that a pixel left unwritten, written
// past the row or taken from a neighbouring lane shows.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace guarded {

constexpr uint32_t sentinel = 0xDEADBEEF;
constexpr int32_t longest = 40, guard = 9;

// xorshift32: test data that does not touch the show's generator.
inline uint32_t next(uint32_t& state) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

// n words after `offset` words, with sentinel guards before and after.
struct Row {
    Row(int32_t offset, int32_t n)
        : offset(offset), n(n), words(size_t(offset + n + guard), sentinel) {}
    uint32_t* data() { return words.data() + offset; }
    uint32_t& operator[](int32_t i) { return words[size_t(offset + i)]; }
    bool guardsIntact() const {
        for (int32_t i = 0; i < int32_t(words.size()); ++i)
            if ((i < offset || i >= offset + n) && words[size_t(i)] != sentinel)
                return false;
        return true;
    }
    int32_t offset, n;
    std::vector<uint32_t> words;
};

// For every alignment and length: fills the input rows with random words through `fill`,
// runs the kernel on a sentinel-filled output row and compares each pixel with `expected`.
//   fill(inputs, n, state): the inputs' words for n pixels (inputs are Rows of the same shape)
//   run(out, inputs, n), expected(inputs, i) -> uint32_t
template <int Inputs, class Fill, class Run, class Expected>
void checkRows(const char* what, Fill fill, Run run, Expected expected) {
    uint32_t state = 2463534242u;
    for (int32_t offset = 0; offset < 4; ++offset)
        for (int32_t n = 0; n <= longest; ++n) {
            std::vector<Row> in(Inputs, Row(offset, n));
            for (Row& r : in)
                for (int32_t i = 0; i < n; ++i)
                    r[i] = next(state);
            fill(in, n, state);
            Row out(offset, n);
            run(out, in, n);
            for (int32_t i = 0; i < n; ++i)
                ASSERT_EQ(out[i], expected(in, i))
                    << what << ": pixel " << i << " of " << n << " at offset " << offset;
            ASSERT_TRUE(out.guardsIntact()) << what << ": " << n << " at offset " << offset;
        }
}

} // namespace guarded
