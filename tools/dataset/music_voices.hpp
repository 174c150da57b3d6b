#pragma once
// The instruments of the soundtrack. Each call renders one whole note or hit, from its
// start to the end of its release, and adds it to the outputs it is given.

#include "music_synth.hpp"

namespace dataset {

// Where a voice goes: a dry bus and optional reverb and delay sends, with a pan position.
struct Out {
    Stereo* dry = nullptr;
    float gain = 1.0f;
    Stereo* reverb = nullptr;
    float reverbGain = 0.0f;
    Stereo* delay = nullptr;
    float delayGain = 0.0f;

    // A copy at pan -1 (left) .. 1 (right), equal power.
    Out at(float pan) const;
    void put(size_t i, float value) const {
        if (i >= dry->frames())
            return;
        const float l = value * left, r = value * right;
        dry->addPair(i, l * gain, r * gain);
        if (reverb)
            reverb->addPair(i, l * reverbGain, r * reverbGain);
        if (delay)
            delay->addPair(i, l * delayGain, r * delayGain);
    }
    // A stereo source, already panned.
    void putPair(size_t i, float l, float r) const {
        if (i >= dry->frames())
            return;
        dry->addPair(i, l * gain, r * gain);
        if (reverb)
            reverb->addPair(i, l * reverbGain, r * reverbGain);
        if (delay)
            delay->addPair(i, l * delayGain, r * delayGain);
    }
    float left = 0.70710678f, right = 0.70710678f;
};

// A pitched note: start (seconds into the file), held length (seconds), MIDI note, level.
struct Tone {
    double at;
    float length;
    float note;
    float velocity;
};

// Drums and effects.
void kick(const Out& out, double at, float velocity);
void clap(const Out& out, double at, float velocity, uint32_t seed);
void snare(const Out& out, double at, float velocity, uint32_t seed);
void hat(const Out& out, double at, float velocity, bool open, uint32_t seed);
void crash(const Out& out, double at, float velocity, uint32_t seed);
void tom(const Out& out, double at, float velocity, float hz);
// Cymbal played backwards: swells up to `at`.
void swell(const Out& out, double at, float seconds, float velocity, uint32_t seed);
// Noise rising from `from` to `to`, brightening as it goes.
void riser(const Out& out, double from, double to, float velocity, uint32_t seed);
// A deep hit with a falling sub tone, for the big downbeats.
void impact(const Out& out, double at, float velocity, uint32_t seed);

// Pitched instruments; `brightness` 0..1 opens their filters.
void bassNote(const Out& out, const Tone& tone, float brightness);
void acidNote(const Out& out, const Tone& tone, float cutoff, bool accent);
void padNote(const Out& out, const Tone& tone, float brightness, uint32_t seed);
void leadNote(const Out& out, const Tone& tone, float brightness);
void pluckNote(const Out& out, const Tone& tone, float brightness);
void bellNote(const Out& out, const Tone& tone);

} // namespace dataset
