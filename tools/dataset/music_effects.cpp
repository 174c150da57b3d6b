#include "music_effects.hpp"
#include "engine/math/elementary.hpp"

#include <algorithm>
#include <cmath>

namespace dataset {

namespace {

class Comb {
public:
    explicit Comb(int length) : buffer(size_t(length), 0.0f) {}
    float run(float x, float feedback, float damping) {
        const float out = buffer[at];
        store = out * (1.0f - damping) + store * damping;
        buffer[at] = x + store * feedback;
        if (++at == buffer.size())
            at = 0;
        return out;
    }

private:
    std::vector<float> buffer;
    size_t at = 0;
    float store = 0.0f;
};

class Allpass {
public:
    explicit Allpass(int length) : buffer(size_t(length), 0.0f) {}
    float run(float x) {
        const float delayed = buffer[at];
        buffer[at] = x + delayed * 0.5f;
        if (++at == buffer.size())
            at = 0;
        return delayed - x;
    }

private:
    std::vector<float> buffer;
    size_t at = 0;
};

void reverbSide(const std::vector<float>& in, std::vector<float>& out, int spread, float feedback,
                float damping) {
    // Delay lengths in samples at 44100 Hz, mutually prime so that echoes do not pile up.
    const int combs[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
    const int allpasses[4] = {556, 441, 341, 225};
    std::vector<Comb> c;
    std::vector<Allpass> a;
    for (int length : combs)
        c.emplace_back(length + spread);
    for (int length : allpasses)
        a.emplace_back(length + spread);
    for (size_t i = 0; i < in.size(); ++i) {
        const float x = in[i] * 0.015f;
        float sum = 0.0f;
        for (Comb& comb : c)
            sum += comb.run(x, feedback, damping);
        for (Allpass& pass : a)
            sum = pass.run(sum);
        out[i] = sum;
    }
}

} // namespace

Stereo reverb(const Stereo& send, float roomSize, float damping) {
    Stereo wet(send.frames());
    const float feedback = 0.7f + 0.28f * roomSize;
    reverbSide(send.left, wet.left, 0, feedback, damping);
    reverbSide(send.right, wet.right, 23, feedback, damping);
    return wet;
}

Stereo pingPong(const Stereo& send, float seconds, float feedback) {
    Stereo wet(send.frames());
    const size_t delay = frameAt(seconds);
    std::vector<float> lineL(delay, 0.0f), lineR(delay, 0.0f);
    float toneL = 0.0f, toneR = 0.0f;
    size_t at = 0;
    for (size_t i = 0; i < send.frames(); ++i) {
        const float outL = lineL[at], outR = lineR[at];
        // Each repeat crosses to the other side through a gentle low-pass.
        toneL += (outR - toneL) * 0.45f;
        toneR += (outL - toneR) * 0.45f;
        lineL[at] = (send.left[i] + send.right[i]) * 0.5f + toneL * feedback;
        lineR[at] = toneR * feedback;
        wet.left[i] = outL;
        wet.right[i] = outR;
        if (++at == delay)
            at = 0;
    }
    return wet;
}

std::vector<float> duckingCurve(size_t frames, const std::vector<double>& kicks, float depth) {
    std::vector<float> gain(frames, 1.0f);
    for (double kick : kicks) {
        const size_t first = frameAt(kick);
        const size_t count = size_t(0.3 * sampleRate);
        for (size_t i = 0; i < count && first + i < frames; ++i) {
            const float t = float(i) / float(sampleRate);
            // Down in 4 ms, back up along a smooth curve.
            const float dip = depth * std::min(1.0f, t * 250.0f) * korvid::exp(-t * 14.0f);
            gain[first + i] = std::min(gain[first + i], 1.0f - dip);
        }
    }
    return gain;
}

void applyGain(Stereo& bus, const std::vector<float>& gain) {
    for (size_t i = 0; i < bus.frames() && i < gain.size(); ++i) {
        bus.left[i] *= gain[i];
        bus.right[i] *= gain[i];
    }
}

std::vector<int16_t> master(Stereo& mix, float peak, float fadeSeconds) {
    // DC blocker first.
    float prevInL = 0.0f, prevOutL = 0.0f, prevInR = 0.0f, prevOutR = 0.0f;
    float highest = 1e-9f;
    for (size_t i = 0; i < mix.frames(); ++i) {
        const float l = mix.left[i] - prevInL + 0.9995f * prevOutL;
        const float r = mix.right[i] - prevInR + 0.9995f * prevOutR;
        prevInL = mix.left[i];
        prevInR = mix.right[i];
        mix.left[i] = prevOutL = l;
        mix.right[i] = prevOutR = r;
        highest = std::max({highest, std::fabs(l), std::fabs(r)});
    }
    // Then a soft knee with the loudest peak brought to 1.1: transparent below 0.5, it
    // only rounds the tops of the biggest hits.
    auto shape = [](float x) {
        const float a = std::fabs(x);
        if (a < 0.5f)
            return x;
        return std::copysign(0.5f + 0.5f * korvid::tanh((a - 0.5f) * 2.0f), x);
    };
    const float drive = 1.1f / highest;
    highest = 1e-9f;
    for (size_t i = 0; i < mix.frames(); ++i) {
        mix.left[i] = shape(mix.left[i] * drive);
        mix.right[i] = shape(mix.right[i] * drive);
        highest = std::max({highest, std::fabs(mix.left[i]), std::fabs(mix.right[i])});
    }
    const float scale = peak / highest;
    const size_t fadeFrames = frameAt(fadeSeconds);
    const size_t fadeStart = mix.frames() > fadeFrames ? mix.frames() - fadeFrames : 0;
    std::vector<int16_t> out(mix.frames() * 2);
    auto sample = [](float v) {
        return int16_t(std::lround(std::max(-1.0f, std::min(1.0f, v)) * 32767.0f));
    };
    for (size_t i = 0; i < mix.frames(); ++i) {
        float g = scale;
        if (i >= fadeStart) {
            const float u = float(i - fadeStart) / float(std::max<size_t>(1, fadeFrames));
            g *= (1.0f - u) * (1.0f - u);
        }
        out[2 * i] = sample(mix.left[i] * g);
        out[2 * i + 1] = sample(mix.right[i] * g);
    }
    return out;
}

} // namespace dataset
