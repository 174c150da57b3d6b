#pragma once
// Effects of the soundtrack's mix: a stereo reverb, a ping-pong delay, side-chain ducking
// from the kick drum, and the master chain.

#include "music_synth.hpp"

#include <vector>

namespace dataset {

// A Schroeder-Moorer reverb: eight damped combs and four allpasses per side, the right
// side's delays a little longer for width. Returns the wet signal of `send`.
Stereo reverb(const Stereo& send, float roomSize, float damping);

// Echoes `seconds` apart bouncing between the sides, each darker than the last.
Stereo pingPong(const Stereo& send, float seconds, float feedback);

// Gain per frame: 1, dipping by `depth` at each kick and recovering over about 0.2 s.
std::vector<float> duckingCurve(size_t frames, const std::vector<double>& kicks, float depth);
void applyGain(Stereo& bus, const std::vector<float>& gain);

// The master: DC removed, gentle saturation, peaks scaled to `peak` (linear), and a fade
// to silence over the last `fadeSeconds`. Returns interleaved 16-bit stereo.
std::vector<int16_t> master(Stereo& mix, float peak, float fadeSeconds);

} // namespace dataset
