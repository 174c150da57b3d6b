#pragma once
// The soundtrack (musicPath of the asset list), synthesised and encoded with LAME.

#include "step_progress.hpp"

#include <cstdint>
#include <string>
#include <vector>

namespace dataset {

// Interleaved 16-bit stereo at 44100 Hz. Reports after each bar of the arrangement, which
// takes most of the time, and at the end.
std::vector<int16_t> renderSoundtrack(const StepProgress& progress = {});

// 192 kbit/s constant bit rate; false when the file cannot be written. Reports after each
// block of samples encoded.
bool writeMp3(const std::string& path, const std::vector<int16_t>& samples,
              const StepProgress& progress = {});

} // namespace dataset
