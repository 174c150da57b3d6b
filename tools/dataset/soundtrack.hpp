#pragma once
// "music/tune3.mp3": the soundtrack, synthesised and encoded with LAME.

#include <cstdint>
#include <string>
#include <vector>

namespace dataset {

// Interleaved 16-bit stereo at 44100 Hz.
std::vector<int16_t> renderSoundtrack();

// 192 kbit/s constant bit rate; false when the file cannot be written.
bool writeMp3(const std::string& path, const std::vector<int16_t>& samples);

} // namespace dataset
