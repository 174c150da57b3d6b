#include "music_synth.hpp"
#include "engine/math/elementary.hpp"

#include <algorithm>

namespace dataset {

namespace {

// The band-limited step residual of a discontinuity at phase 0, for a phase increment dt.
float polyBlep(float t, float dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0f;
    }
    if (t > 1.0f - dt) {
        t = (t - 1.0f) / dt;
        return t * t + t + t + 1.0f;
    }
    return 0.0f;
}

} // namespace

void Stereo::mixInto(Stereo& other, float gain) const {
    const size_t n = std::min(frames(), other.frames());
    for (size_t i = 0; i < n; ++i) {
        other.left[i] += left[i] * gain;
        other.right[i] += right[i] * gain;
    }
}

float Oscillator::advance(float hz) {
    const float dt = hz / float(sampleRate);
    phase += dt;
    if (phase >= 1.0f)
        phase -= 1.0f;
    return dt;
}

float Oscillator::saw(float hz) {
    const float dt = hz / float(sampleRate);
    const float value = 2.0f * phase - 1.0f - polyBlep(phase, dt);
    advance(hz);
    return value;
}

float Oscillator::pulse(float hz, float width) {
    const float dt = hz / float(sampleRate);
    float value = phase < width ? 1.0f : -1.0f;
    value += polyBlep(phase, dt);
    float shifted = phase - width;
    if (shifted < 0.0f)
        shifted += 1.0f;
    value -= polyBlep(shifted, dt);
    advance(hz);
    return value;
}

float Oscillator::sine(float hz) {
    const float value = korvid::sin(2.0f * pi * phase);
    advance(hz);
    return value;
}

float Oscillator::triangle(float hz) {
    const float value = 1.0f - 4.0f * std::fabs(phase - 0.5f);
    advance(hz);
    return value;
}

void Filter::set(float cutoff, float q) {
    cutoff = std::min(std::max(cutoff, 20.0f), 0.45f * float(sampleRate));
    g = korvid::tan(pi * cutoff / float(sampleRate));
    k = 1.0f / std::max(q, 0.3f);
    a1 = 1.0f / (1.0f + g * (g + k));
    a2 = g * a1;
    a3 = g * a2;
}

void Filter::run(float x) {
    const float v3 = x - s2;
    const float v1 = a1 * s1 + a2 * v3;
    const float v2 = s2 + a2 * s1 + a3 * v3;
    s1 = 2.0f * v1 - s1;
    s2 = 2.0f * v2 - s2;
    low = v2;
    band = v1;
    high = x - k * v1 - v2;
}

float adsr(float t, float length, float attack, float decay, float sustain, float release) {
    if (t < 0.0f)
        return 0.0f;
    auto held = [&](float at) {
        if (at < attack)
            return at / attack;
        if (at < attack + decay)
            return 1.0f - (1.0f - sustain) * (at - attack) / decay;
        return sustain;
    };
    if (t < length)
        return held(t);
    const float r = t - length;
    return r < release ? held(length) * (1.0f - r / release) : 0.0f;
}

} // namespace dataset
