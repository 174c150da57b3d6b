#pragma once
// The soundtrack while it is being arranged: the buses the instruments play into, the
// show's clock, chords, and the patterns that the parts of the arrangement share.

#include "music_voices.hpp"
#include "step_progress.hpp"

#include <array>
#include <vector>

namespace dataset {

// The show counts time in units: 32 units to every 3.69275 s, unit 0 at 1.025 s into the
// file. A unit is a sixteenth note (about 130 beats a minute), a bar 16 units, and every
// part of the show spans blocks of 4 bars.
constexpr double unitSeconds = 3.69275 / 32.0;
constexpr double startSeconds = 1.025;
constexpr int bars = 128;
constexpr double songSeconds = 246.0;

// Seconds into the file at a bar and a sixteenth step within it.
inline double timeAt(int bar, float step = 0.0f) {
    return startSeconds + (double(bar) * 16.0 + double(step)) * unitSeconds;
}
inline float stepsSeconds(float steps) {
    return float(steps * unitSeconds);
}

struct Chord {
    float root;               // bass note
    std::array<float, 4> pad; // pad voicing, low to high
};

namespace chords {
const Chord Am{45, {57, 60, 64, 69}}, F{41, {53, 57, 60, 65}}, C{48, {55, 60, 64, 67}},
    G{43, {55, 59, 62, 67}}, Dm{38, {57, 62, 65, 69}}, E{40, {56, 59, 64, 68}},
    Em7{40, {55, 59, 62, 64}}, Fmaj7{41, {53, 57, 60, 64}}, Dm7{38, {57, 60, 62, 65}},
    Cmaj7{48, {55, 59, 60, 64}};
}

// A melody note: step within the bar, MIDI note, length in steps.
struct Step {
    float step, note, length;
};
using Phrase = std::vector<std::vector<Step>>; // one list of notes per bar

class Band {
public:
    explicit Band(size_t frames);

    Stereo drums, bass, synth, fx, reverbSend, delaySend;
    std::vector<double> kicks; // for ducking the bass and the synths

    Out drumOut(float pan = 0.0f, float reverb = 0.0f);
    Out bassOut();
    Out synthOut(float pan, float reverb, float delay);
    Out fxOut(float reverb);

    // Shared patterns. Velocities are 0..1 scales of each instrument's own level.
    void kickAt(int bar, float step, float velocity = 1.0f);
    void fourOnTheFloor(int bar, float velocity = 1.0f);
    void backbeat(int bar, float velocity = 1.0f);
    // 0: eighths off the beat, 1: sixteenths with accents, 2: open hats off the beat.
    void hats(int bar, int style, float velocity = 1.0f);
    void snareRoll(int bar, float from, float to);
    // Bass patterns: 0 offbeat eighths, 1 rolling sixteenths (root and octave), 2 held root.
    void bassBar(int bar, const Chord& chord, int pattern, float brightness);
    void padBar(int bar, const Chord& chord, float brightness, float velocity = 1.0f,
                int length = 16);
    void leadBar(int bar, const std::vector<Step>& notes, float brightness, float transpose = 0.0f,
                 float velocity = 1.0f);
    // Arpeggio over the pad voicing: 0 up in sixteenths, 1 up-down in eighths.
    void arpBar(int bar, const Chord& chord, int pattern, float brightness, float velocity = 1.0f);
    void stab(int bar, float step, const Chord& chord, float velocity);
    // Bar-start accent of the given weight: 0 a splash, 1 a crash, 2 an impact and a crash.
    void accent(int bar, int weight);
};

// Every bar of the show, part by part; reports after each bar.
void arrangeSong(Band& band, const StepProgress& progress = {});

} // namespace dataset
