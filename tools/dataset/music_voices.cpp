#include "music_voices.hpp"
#include "engine/math/elementary.hpp"

#include <algorithm>

namespace dataset {

namespace {

// Renders `seconds` of a voice: `sample(t)` gives the mono value at t seconds after start.
template <class F>
void render(const Out& out, double at, float seconds, F sample) {
    const size_t first = frameAt(at);
    const size_t count = size_t(seconds * float(sampleRate));
    for (size_t i = 0; i < count; ++i)
        out.put(first + i, sample(float(i) / float(sampleRate)));
}

// Filters are retuned every few samples: the tangent in the coefficients is the costly part.
constexpr int retune = 16;

} // namespace

Out Out::at(float pan) const {
    Out o = *this;
    const float a = (pan + 1.0f) * 0.25f * pi;
    o.left = korvid::cos(a);
    o.right = korvid::sin(a);
    return o;
}

void kick(const Out& out, double at, float velocity) {
    Oscillator body;
    Noise click(7);
    render(out, at, 0.55f, [&](float t) {
        const float hz = 46.0f + 125.0f * korvid::exp(-t * 30.0f);
        const float amp = std::min(1.0f, t * 2000.0f) * korvid::exp(-t * 6.5f);
        const float v = body.sine(hz) * amp + click.next() * korvid::exp(-t * 400.0f) * 0.25f;
        return korvid::tanh(1.7f * v) * velocity;
    });
}

void clap(const Out& out, double at, float velocity, uint32_t seed) {
    Noise noise(seed);
    Filter band;
    band.set(1300.0f, 1.3f);
    render(out, at, 0.35f, [&](float t) {
        float env = 0.0f;
        for (float burst : {0.0f, 0.011f, 0.022f})
            if (t >= burst)
                env += korvid::exp(-(t - burst) * 170.0f);
        if (t >= 0.022f)
            env += 0.6f * korvid::exp(-(t - 0.022f) * 16.0f);
        band.run(noise.next());
        return band.band * env * velocity * 2.2f;
    });
}

void snare(const Out& out, double at, float velocity, uint32_t seed) {
    Noise noise(seed);
    Oscillator tone;
    Filter colour;
    colour.set(2600.0f, 0.8f);
    render(out, at, 0.3f, [&](float t) {
        colour.run(noise.next());
        const float body =
            tone.sine(185.0f + 40.0f * korvid::exp(-t * 40.0f)) * korvid::exp(-t * 26.0f) * 0.6f;
        const float rattle = (colour.band * 1.4f + colour.high * 0.4f) * korvid::exp(-t * 15.0f);
        return (body + rattle) * velocity;
    });
}

void hat(const Out& out, double at, float velocity, bool open, uint32_t seed) {
    Noise noise(seed);
    Filter tone;
    tone.set(8500.0f, 0.9f);
    const float decay = open ? 8.0f : 55.0f;
    render(out, at, open ? 0.6f : 0.12f, [&](float t) {
        tone.run(noise.next());
        return (tone.high * 0.8f + tone.band * 0.5f) * korvid::exp(-t * decay) * velocity;
    });
}

void crash(const Out& out, double at, float velocity, uint32_t seed) {
    // Two noises, one per side, for width.
    Noise left(seed), right(seed + 101);
    Filter fl, fr;
    fl.set(4200.0f, 0.7f);
    fr.set(4600.0f, 0.7f);
    const size_t first = frameAt(at);
    const size_t count = size_t(2.6f * float(sampleRate));
    for (size_t i = 0; i < count; ++i) {
        const float t = float(i) / float(sampleRate);
        const float env = std::min(1.0f, t * 500.0f) * korvid::exp(-t * 1.7f) * velocity;
        fl.run(left.next());
        fr.run(right.next());
        out.putPair(first + i, fl.high * env, fr.high * env);
    }
}

void tom(const Out& out, double at, float velocity, float hz) {
    Oscillator body;
    render(out, at, 0.45f, [&](float t) {
        const float f = hz * (1.0f + 0.5f * korvid::exp(-t * 22.0f));
        return body.sine(f) * korvid::exp(-t * 8.0f) * std::min(1.0f, t * 1000.0f) * velocity;
    });
}

void swell(const Out& out, double at, float seconds, float velocity, uint32_t seed) {
    Noise noise(seed);
    Filter tone;
    tone.set(3800.0f, 0.7f);
    render(out, at - seconds, seconds, [&](float t) {
        tone.run(noise.next());
        const float left = seconds - t;
        return tone.high * korvid::exp(-left * 2.6f) * velocity;
    });
}

void riser(const Out& out, double from, double to, float velocity, uint32_t seed) {
    Noise noise(seed);
    Filter sweep;
    const float seconds = float(to - from);
    int n = 0;
    render(out, from, seconds, [&](float t) {
        const float u = t / seconds;
        if (n++ % retune == 0)
            sweep.set(250.0f * korvid::exp2(u * 5.0f), 2.5f);
        sweep.run(noise.next());
        return sweep.band * u * u * velocity * 1.6f;
    });
}

void impact(const Out& out, double at, float velocity, uint32_t seed) {
    Oscillator sub;
    Noise noise(seed);
    Filter dark;
    dark.set(700.0f, 0.7f);
    render(out, at, 2.2f, [&](float t) {
        dark.run(noise.next());
        const float boom =
            sub.sine(34.0f + 50.0f * korvid::exp(-t * 5.0f)) * korvid::exp(-t * 2.2f);
        const float body = dark.low * korvid::exp(-t * 4.0f) * 0.9f;
        return korvid::tanh(1.3f * (boom + body)) * std::min(1.0f, t * 800.0f) * velocity;
    });
}

void bassNote(const Out& out, const Tone& tone, float brightness) {
    Oscillator saw, sub;
    Filter filter;
    const float hz = noteHz(tone.note);
    int n = 0;
    render(out, tone.at, tone.length + 0.05f, [&](float t) {
        if (n++ % retune == 0)
            filter.set(160.0f + brightness * (400.0f + 1500.0f * korvid::exp(-t * 14.0f)), 1.3f);
        filter.run(saw.saw(hz));
        const float env = adsr(t, tone.length, 0.004f, 0.15f, 0.75f, 0.04f);
        return (filter.low + sub.sine(hz * 0.5f) * 0.55f) * env * tone.velocity;
    });
}

void acidNote(const Out& out, const Tone& tone, float cutoff, bool accent) {
    Oscillator saw;
    Filter filter;
    const float hz = noteHz(tone.note);
    const float depth = accent ? 5.0f : 2.5f;
    int n = 0;
    render(out, tone.at, tone.length + 0.03f, [&](float t) {
        if (n++ % retune == 0)
            filter.set(cutoff * (1.0f + depth * korvid::exp(-t * (accent ? 9.0f : 16.0f))), 7.0f);
        filter.run(saw.saw(hz));
        const float env = adsr(t, tone.length, 0.003f, 0.1f, 0.8f, 0.03f);
        return korvid::tanh(filter.low * 1.8f) * env * tone.velocity * (accent ? 1.2f : 1.0f);
    });
}

void padNote(const Out& out, const Tone& tone, float brightness, uint32_t seed) {
    // Four saws detuned around the note, spread across the stereo field, each side
    // through its own filter that breathes slowly.
    const float hz = noteHz(tone.note);
    const float detune[4] = {-0.11f, -0.035f, 0.04f, 0.12f}; // semitones
    const float spread[4] = {-0.7f, -0.25f, 0.25f, 0.7f};
    Noise phases(seed);
    Oscillator saws[4] = {
        Oscillator(phases.next() * 0.5f + 0.5f), Oscillator(phases.next() * 0.5f + 0.5f),
        Oscillator(phases.next() * 0.5f + 0.5f), Oscillator(phases.next() * 0.5f + 0.5f)};
    Filter fl, fr;
    const size_t first = frameAt(tone.at);
    const float release = 1.1f;
    const size_t count = size_t((tone.length + release) * float(sampleRate));
    for (size_t i = 0; i < count; ++i) {
        const float t = float(i) / float(sampleRate);
        if (i % retune == 0) {
            const float breathe = 1.0f + 0.25f * korvid::sin(t * 1.3f + float(seed % 7));
            const float cutoff = (500.0f + 2600.0f * brightness) * breathe;
            fl.set(cutoff, 0.9f);
            fr.set(cutoff * 1.07f, 0.9f);
        }
        float l = 0.0f, r = 0.0f;
        for (int k = 0; k < 4; ++k) {
            const float v = saws[k].saw(hz * korvid::exp2(detune[k] / 12.0f));
            l += v * (1.0f - spread[k]) * 0.5f;
            r += v * (1.0f + spread[k]) * 0.5f;
        }
        fl.run(l);
        fr.run(r);
        const float env = adsr(t, tone.length, 0.4f, 0.6f, 0.85f, release) * tone.velocity * 0.1f;
        out.putPair(first + i, fl.low * env, fr.low * env);
    }
}

void leadNote(const Out& out, const Tone& tone, float brightness) {
    Oscillator a, b, c, vibrato;
    Filter filter;
    const float hz = noteHz(tone.note);
    int n = 0;
    render(out, tone.at, tone.length + 0.25f, [&](float t) {
        const float depth = std::min(1.0f, std::max(0.0f, (t - 0.18f) * 3.0f)) * 0.005f;
        const float f = hz * (1.0f + vibrato.sine(5.4f) * depth);
        if (n++ % retune == 0)
            filter.set(700.0f + brightness * (1300.0f + 3200.0f * korvid::exp(-t * 7.0f)), 1.1f);
        filter.run(a.saw(f) + b.saw(f * 1.004f) * 0.8f + c.pulse(f * 0.5f, 0.35f) * 0.35f);
        return filter.low * adsr(t, tone.length, 0.01f, 0.25f, 0.7f, 0.22f) * tone.velocity * 0.5f;
    });
}

void pluckNote(const Out& out, const Tone& tone, float brightness) {
    Oscillator a, b;
    Filter filter;
    const float hz = noteHz(tone.note);
    int n = 0;
    render(out, tone.at, std::min(tone.length, 0.5f) + 0.2f, [&](float t) {
        if (n++ % retune == 0)
            filter.set(250.0f + brightness * 5000.0f * korvid::exp(-t * 16.0f), 1.6f);
        filter.run(a.pulse(hz, 0.3f) + b.saw(hz * 1.003f) * 0.6f);
        return filter.low * korvid::exp(-t * 6.0f) * std::min(1.0f, t * 600.0f) * tone.velocity *
               0.6f;
    });
}

void bellNote(const Out& out, const Tone& tone) {
    // Two-operator FM: an inharmonic modulator whose index dies away gives the strike.
    const float hz = noteHz(tone.note);
    float carrier = 0.0f, modulator = 0.0f;
    render(out, tone.at, tone.length + 1.2f, [&](float t) {
        const float index = 2.4f * korvid::exp(-t * 5.0f) + 0.3f;
        carrier += hz / float(sampleRate);
        modulator += hz * 3.5f / float(sampleRate);
        carrier -= std::floor(carrier);
        modulator -= std::floor(modulator);
        const float v =
            korvid::sin(2.0f * pi * carrier + index * korvid::sin(2.0f * pi * modulator));
        return v * korvid::exp(-t * 2.6f) * std::min(1.0f, t * 400.0f) * tone.velocity * 0.45f;
    });
}

} // namespace dataset
