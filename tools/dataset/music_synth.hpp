#pragma once
// Building blocks of the soundtrack's synthesizer: stereo buffers, band-limited
// oscillators, a state-variable filter, white noise and envelopes. Everything is plain
// float arithmetic in a fixed order, so a render is the same on every run.

#include "engine/math/elementary.hpp"

#include <cmath>
#include <cstdint>
#include <vector>

namespace dataset {

constexpr int sampleRate = 44100;
constexpr float pi = 3.14159265f;

// Frequency of a MIDI note (69 = A4 = 440 Hz).
inline float noteHz(float note) {
    return 440.0f * korvid::exp2((note - 69.0f) / 12.0f);
}

class Stereo {
public:
    explicit Stereo(size_t frames) : left(frames, 0.0f), right(frames, 0.0f) {}
    size_t frames() const { return left.size(); }
    // Adds a mono sample at `i` with equal-power pan (-1 left .. 1 right); ignores frames
    // past the end.
    void add(size_t i, float value, float pan) {
        if (i >= left.size())
            return;
        const float a = (pan + 1.0f) * 0.25f * pi;
        left[i] += value * korvid::cos(a);
        right[i] += value * korvid::sin(a);
    }
    void addPair(size_t i, float l, float r) {
        if (i >= left.size())
            return;
        left[i] += l;
        right[i] += r;
    }
    void mixInto(Stereo& other, float gain) const;

    std::vector<float> left, right;
};

// White noise, -1..1, from its own seed.
class Noise {
public:
    explicit Noise(uint32_t seed) : state(seed * 2654435761u + 1u) {}
    float next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return float(int32_t(state)) * (1.0f / 2147483648.0f);
    }

private:
    uint32_t state;
};

// Saw and pulse with polyBLEP corrections at the discontinuities (no audible aliasing at
// the pitches used here); phase in cycles, 0..1.
class Oscillator {
public:
    explicit Oscillator(float phase = 0.0f) : phase(phase) {}
    float saw(float hz);
    float pulse(float hz, float width = 0.5f);
    float sine(float hz);
    float triangle(float hz);

private:
    float advance(float hz);
    float phase;
};

// Topology-preserving state-variable filter: low, band and high pass from one state.
class Filter {
public:
    // cutoff in Hz, resonance as Q (0.5 gentle .. 10 sharp).
    void set(float cutoff, float q);
    void run(float x);
    float low = 0.0f, band = 0.0f, high = 0.0f;

private:
    float g = 0.0f, k = 2.0f, a1 = 0.0f, a2 = 0.0f, a3 = 0.0f;
    float s1 = 0.0f, s2 = 0.0f;
};

// Attack, decay to sustain, held until `length`, then release; seconds.
float adsr(float t, float length, float attack, float decay, float sustain, float release);

// Samples from a time in seconds.
inline size_t frameAt(double seconds) {
    return size_t(std::llround(seconds * sampleRate));
}

} // namespace dataset
