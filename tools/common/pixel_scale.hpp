#pragma once
// Frames enlarged by whole factors with every pixel repeated, so that they stay sharp
// wherever they are shown or encoded again.

#include <cstdint>
#include <vector>

// Every pixel of the width x height frame (rows `pitch` pixels apart) becomes a
// factor x factor block of `out`, which is sized to (width * factor) x (height * factor)
// with rows packed. Nothing is allocated once `out` has grown.
void enlargeFrame(const uint32_t* pixels, int width, int height, int pitch, int factor,
                  std::vector<uint32_t>& out);
