#include "music_band.hpp"

namespace dataset {

Band::Band(size_t frames)
    : drums(frames), bass(frames), synth(frames), fx(frames), reverbSend(frames),
      delaySend(frames) {}

Out Band::drumOut(float pan, float reverb) {
    Out o;
    o.dry = &drums;
    o.reverb = &reverbSend;
    o.reverbGain = reverb;
    return o.at(pan);
}

Out Band::bassOut() {
    Out o;
    o.dry = &bass;
    return o.at(0.0f);
}

Out Band::synthOut(float pan, float reverb, float delay) {
    Out o;
    o.dry = &synth;
    o.reverb = &reverbSend;
    o.reverbGain = reverb;
    o.delay = &delaySend;
    o.delayGain = delay;
    return o.at(pan);
}

Out Band::fxOut(float reverb) {
    Out o;
    o.dry = &fx;
    o.reverb = &reverbSend;
    o.reverbGain = reverb;
    return o.at(0.0f);
}

void Band::kickAt(int bar, float step, float velocity) {
    const double at = timeAt(bar, step);
    kick(drumOut(), at, 0.9f * velocity);
    kicks.push_back(at);
}

void Band::fourOnTheFloor(int bar, float velocity) {
    for (float step : {0.0f, 4.0f, 8.0f, 12.0f})
        kickAt(bar, step, velocity);
}

void Band::backbeat(int bar, float velocity) {
    for (float step : {4.0f, 12.0f})
        clap(drumOut(0.05f, 0.18f), timeAt(bar, step), 0.38f * velocity,
             uint32_t(bar * 16 + int(step)));
}

void Band::hats(int bar, int style, float velocity) {
    for (int step = 0; step < 16; ++step) {
        const uint32_t seed = uint32_t(bar * 16 + step + 5000);
        const double at = timeAt(bar, float(step));
        if (style == 0 && step % 4 == 2)
            hat(drumOut(0.3f), at, 0.16f * velocity, false, seed);
        if (style == 1) {
            const float accentuate = step % 4 == 2 ? 1.0f : (step % 2 ? 0.45f : 0.6f);
            hat(drumOut(0.3f), at, 0.15f * accentuate * velocity, false, seed);
        }
        if (style == 2 && step % 4 == 2)
            hat(drumOut(0.25f, 0.05f), at, 0.13f * velocity, true, seed);
    }
}

void Band::snareRoll(int bar, float from, float to) {
    for (int step = 0; step < 16; ++step) {
        const float v = from + (to - from) * float(step) / 15.0f;
        snare(drumOut(0.0f, 0.2f), timeAt(bar, float(step)), 0.42f * v,
              uint32_t(bar * 16 + step + 9000));
    }
}

void Band::bassBar(int bar, const Chord& chord, int pattern, float brightness) {
    const Out out = bassOut();
    if (pattern == 0)
        for (float step : {2.0f, 6.0f, 10.0f, 14.0f})
            bassNote(out, {timeAt(bar, step), stepsSeconds(1.6f), chord.root, 0.4f}, brightness);
    if (pattern == 1)
        for (int step = 0; step < 16; ++step) {
            const float note = chord.root + (step % 4 == 2 ? 12.0f : 0.0f);
            bassNote(
                out,
                {timeAt(bar, float(step)), stepsSeconds(0.8f), note, step % 4 == 0 ? 0.32f : 0.38f},
                brightness);
        }
    if (pattern == 2)
        bassNote(out, {timeAt(bar), stepsSeconds(15.0f), chord.root, 0.32f}, brightness);
}

void Band::padBar(int bar, const Chord& chord, float brightness, float velocity, int length) {
    for (size_t k = 0; k < chord.pad.size(); ++k)
        padNote(synthOut(0.0f, 0.4f, 0.0f),
                {timeAt(bar), stepsSeconds(float(length)), chord.pad[k], velocity}, brightness,
                uint32_t(bar * 4 + int(k)));
}

void Band::leadBar(int bar, const std::vector<Step>& notes, float brightness, float transpose,
                   float velocity) {
    for (const Step& s : notes)
        leadNote(synthOut(0.1f, 0.25f, 0.28f),
                 {timeAt(bar, s.step), stepsSeconds(s.length - 0.3f), s.note + transpose,
                  0.5f * velocity},
                 brightness);
}

void Band::arpBar(int bar, const Chord& chord, int pattern, float brightness, float velocity) {
    const float up[8] = {0, 1, 2, 3, 4, 3, 2, 1};
    const int count = pattern == 0 ? 16 : 8;
    for (int i = 0; i < count; ++i) {
        const float step = pattern == 0 ? float(i) : float(i * 2);
        const int index = int(pattern == 0 ? float(i % 4) : up[i % 8]);
        const float note = index < 4 ? chord.pad[size_t(index)] + 12.0f : chord.pad[0] + 24.0f;
        pluckNote(synthOut(i % 2 ? 0.45f : -0.45f, 0.15f, 0.35f),
                  {timeAt(bar, step), stepsSeconds(1.0f), note, 0.32f * velocity}, brightness);
    }
}

void Band::stab(int bar, float step, const Chord& chord, float velocity) {
    for (float note : chord.pad)
        pluckNote(synthOut(0.0f, 0.45f, 0.2f),
                  {timeAt(bar, step), stepsSeconds(2.0f), note + 12.0f, 0.3f * velocity}, 0.9f);
}

void Band::accent(int bar, int weight) {
    const double at = timeAt(bar);
    const uint32_t seed = uint32_t(bar + 700);
    if (weight == 0) {
        hat(drumOut(-0.2f, 0.2f), at, 0.2f, true, seed);
        return;
    }
    crash(fxOut(0.3f), at, weight == 2 ? 0.34f : 0.24f, seed);
    if (weight == 2)
        impact(fxOut(0.35f), at, 0.75f, seed);
}

} // namespace dataset
