#pragma once
// The show's random generator: values 0..32767 from a linear congruential step, so that
// the constants of the show (1/32767 scalings, % 2000 jumps) mean what they say.
// The C library's rand has a larger range on this system and must not be used.

namespace crt {

constexpr int randMax = 32767;

int rand();
void srand(unsigned int seed);

} // namespace crt
