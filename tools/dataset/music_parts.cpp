// The arrangement, part by part of the show. Sections change on its 64-unit blocks and
// every 16-unit boundary (a bar) carries an accent; the big cuts of the picture (white
// flashes, fades to black, the logo's arrival) get risers, rolls and impacts.

#include "music_band.hpp"

namespace dataset {

namespace {

using namespace chords;

// The main theme over Am F C G, its answer, a second theme for the greetings, a playful
// line for the character, and slow echoes for the trail.
const Phrase themeA = {{{0, 69, 3}, {3, 72, 3}, {6, 76, 4}, {10, 74, 2}, {12, 72, 4}},
                       {{0, 69, 6}, {6, 67, 2}, {8, 69, 4}, {12, 72, 4}},
                       {{0, 67, 3}, {3, 72, 3}, {6, 76, 4}, {10, 79, 2}, {12, 76, 4}},
                       {{0, 74, 6}, {6, 71, 2}, {8, 74, 8}}};
const Phrase themeAnswer = {{{0, 76, 3}, {3, 74, 3}, {6, 72, 4}, {10, 71, 2}, {12, 69, 4}},
                            {{0, 72, 6}, {6, 69, 2}, {8, 72, 4}, {12, 74, 4}},
                            {{0, 76, 3}, {3, 79, 3}, {6, 76, 4}, {10, 74, 2}, {12, 72, 4}},
                            {{0, 71, 6}, {6, 74, 2}, {8, 67, 8}}};
const Phrase themeB = {{{0, 81, 2}, {2, 79, 2}, {4, 76, 4}, {8, 72, 2}, {10, 74, 2}, {12, 76, 4}},
                       {{0, 77, 4}, {4, 76, 2}, {6, 72, 2}, {8, 69, 8}},
                       {{0, 79, 2}, {2, 76, 2}, {4, 72, 4}, {8, 76, 2}, {10, 79, 2}, {12, 84, 4}},
                       {{0, 83, 4}, {4, 81, 2}, {6, 79, 2}, {8, 74, 8}}};
const Phrase playful = {
    {{0, 74, 2}, {2, 77, 2}, {4, 81, 2}, {6, 77, 2}, {8, 74, 2}, {10, 69, 2}, {12, 74, 4}},
    {{0, 71, 2}, {2, 74, 2}, {4, 79, 2}, {6, 74, 2}, {8, 71, 2}, {10, 67, 2}, {12, 71, 4}},
    {{0, 72, 2}, {2, 76, 2}, {4, 79, 2}, {6, 76, 2}, {8, 72, 2}, {10, 67, 2}, {12, 72, 4}},
    {{0, 69, 2}, {2, 72, 2}, {4, 76, 2}, {6, 81, 2}, {8, 79, 4}, {12, 76, 4}}};
const Phrase echoes = {{{0, 76, 8}, {8, 74, 8}},
                       {{0, 72, 12}, {12, 71, 4}},
                       {{0, 74, 8}, {8, 72, 4}, {12, 71, 4}},
                       {{0, 69, 16}}};

const Chord mainChords[4] = {Am, F, C, G};
const Chord tunnelChords[4] = {Am, F, Dm, E};
const Chord trailChords[4] = {Fmaj7, Em7, Dm7, Cmaj7};
const Chord playChords[4] = {Dm, G, C, Am};
const Chord climaxChords[4] = {F, G, Am, Am};

// Acid line over one bar: semitones above the root (negative: rest), and accents.
const int acidNotes[16] = {0, 0, 12, 0, 3, -1, 7, 12, 0, -1, 10, 0, 7, 3, 12, 0};
const bool acidAccents[16] = {1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0};

void acidBar(Band& band, int bar, float root, float cutoff) {
    for (int step = 0; step < 16; ++step) {
        if (acidNotes[step] < 0)
            continue;
        acidNote(
            band.bassOut(),
            {timeAt(bar, float(step)), stepsSeconds(0.75f), root + float(acidNotes[step]), 0.42f},
            cutoff, acidAccents[step]);
    }
}

void intro(Band& band, int bar) {
    const int i = bar; // bars 0..7
    const Chord& chord = mainChords[i % 4];
    band.padBar(bar, chord, 0.12f + 0.05f * float(i), 1.0f);
    band.stab(bar, 0.0f, chord, 0.8f);
    // The camera cuts every other bar: crashes there, splashes between.
    band.accent(bar, i == 0 ? 2 : (i % 2 == 0 ? 1 : 0));
    if (i < 4) {
        band.kickAt(bar, 0.0f, 0.8f);
        band.kickAt(bar, 8.0f, 0.7f);
    } else {
        band.fourOnTheFloor(bar);
        band.bassBar(bar, chord, 0, 0.2f + 0.08f * float(i - 4));
    }
    if (i >= 2)
        band.hats(bar, 0, 0.8f);
    if (i >= 6)
        band.backbeat(bar, 0.8f);
    // The 3D logo slides in over the last bar.
    if (i == 7) {
        band.snareRoll(bar, 0.2f, 1.0f);
        riser(band.fxOut(0.2f), timeAt(bar), timeAt(bar + 1), 0.3f, 41);
    }
}

void build(Band& band, int bar) {
    const int i = bar - 8; // bars 8..11
    const Chord& chord = mainChords[i];
    band.accent(bar, i == 0 ? 2 : 0);
    band.fourOnTheFloor(bar);
    band.backbeat(bar);
    band.hats(bar, 1, 0.8f);
    band.bassBar(bar, chord, i < 2 ? 0 : 1, 0.35f + 0.15f * float(i));
    band.padBar(bar, chord, 0.3f + 0.15f * float(i));
    if (i >= 2)
        band.arpBar(bar, chord, 0, 0.3f + 0.2f * float(i - 2), 0.8f);
    // The logo drops away in the third bar.
    if (i == 2)
        swell(band.fxOut(0.4f), timeAt(bar, 2.0f), 1.2f, 0.2f, 43);
    if (i == 3) {
        band.snareRoll(bar, 0.3f, 1.0f);
        riser(band.fxOut(0.2f), timeAt(bar), timeAt(bar + 1), 0.32f, 44);
    }
}

void credits(Band& band, int bar) {
    const int i = bar - 12; // bars 12..23: three screens
    const int screen = i / 4, inScreen = i % 4;
    const Chord& chord = mainChords[inScreen];
    band.accent(bar, inScreen == 0 ? 1 : 0);
    band.padBar(bar, chord, 0.55f);
    const Phrase& melody = screen == 1 ? themeAnswer : themeA;
    band.leadBar(bar, melody[size_t(inScreen)], 0.6f, screen == 2 ? 12.0f : 0.0f,
                 screen == 2 ? 0.85f : 1.0f);
    if (screen == 2)
        band.leadBar(bar, melody[size_t(inScreen)], 0.45f, 0.0f, 0.6f);
    // The last beat of the third screen is black: everything stops for it.
    const bool last = i == 11;
    band.fourOnTheFloor(bar);
    band.backbeat(bar);
    band.hats(bar, 1);
    if (inScreen % 2 == 1)
        band.hats(bar, 2);
    band.bassBar(bar, chord, 0, 0.55f);
    band.bassBar(bar, chord, 2, 0.3f);
    if (screen >= 1)
        band.arpBar(bar, chord, 1, 0.5f, 0.7f);
    if (last)
        swell(band.fxOut(0.1f), timeAt(bar + 1), 1.5f, 0.3f, 45);
}

void grids(Band& band, int bar) {
    const int i = bar - 24; // bars 24..39
    const int inBlock = i % 4;
    const Chord& chord = mainChords[inBlock];
    // A flash of light every two bars.
    band.accent(bar, inBlock == 0 ? 2 : (inBlock == 2 ? 1 : 0));
    band.fourOnTheFloor(bar);
    band.backbeat(bar);
    band.hats(bar, 1, 1.1f);
    band.hats(bar, 2);
    band.bassBar(bar, chord, 1, 0.65f);
    band.padBar(bar, chord, 0.7f);
    band.arpBar(bar, chord, 0, 0.75f);
    if (i >= 4 && i < 12)
        band.leadBar(bar, (i / 4 == 1 ? themeA : themeAnswer)[size_t(inBlock)], 0.8f, 12.0f, 0.7f);
    // The strobe of the last bar: stabs and toms on the eighths.
    if (inBlock == 3 && i != 15)
        for (int s = 0; s < 8; ++s) {
            band.stab(bar, float(s * 2), chord, 0.5f);
            tom(band.drumOut(s % 2 ? 0.4f : -0.4f, 0.1f), timeAt(bar, float(s * 2)), 0.35f,
                90.0f - float(s) * 4.0f);
        }
    // The fade to white before the tunnel.
    if (i == 15) {
        band.snareRoll(bar, 0.3f, 1.0f);
        riser(band.fxOut(0.3f), timeAt(bar - 1), timeAt(bar + 1), 0.3f, 46);
    }
}

void tunnel(Band& band, int bar) {
    const int i = bar - 40; // bars 40..47
    const Chord& chord = tunnelChords[i % 4];
    band.accent(bar, i == 0 ? 2 : (i % 4 == 0 ? 1 : 0));
    band.fourOnTheFloor(bar);
    band.hats(bar, 1, 0.9f);
    for (float step : {3.0f, 7.0f, 11.0f, 14.0f})
        tom(band.drumOut(step < 8 ? -0.5f : 0.5f, 0.15f), timeAt(bar, step), 0.3f,
            70.0f + step * 2.0f);
    acidBar(band, bar, chord.root - 12.0f, 260.0f + 90.0f * float(i));
    band.padBar(bar, chord, 0.18f + 0.04f * float(i), 0.8f);
    if (i >= 4) {
        bellNote(band.synthOut(-0.3f, 0.45f, 0.4f),
                 {timeAt(bar, 0.0f), stepsSeconds(4), chord.pad[3] + 12.0f, 0.4f});
        bellNote(band.synthOut(0.3f, 0.45f, 0.4f),
                 {timeAt(bar, 10.0f), stepsSeconds(4), chord.pad[2] + 12.0f, 0.3f});
    }
}

void trail(Band& band, int bar) {
    const int i = bar - 48; // bars 48..55: the breakdown
    const Chord& chord = i == 7 ? E : trailChords[i % 4];
    band.accent(bar, 0);
    band.padBar(bar, chord, 0.35f, 1.1f);
    band.arpBar(bar, chord, 1, 0.4f, 0.8f);
    band.leadBar(bar, echoes[size_t(i % 4)], 0.35f, 0.0f, 0.8f);
    band.hats(bar, 0, 0.6f);
    if (i >= 4)
        band.kickAt(bar, 0.0f, 0.5f);
    if (i == 7) {
        band.snareRoll(bar, 0.1f, 0.8f);
        riser(band.fxOut(0.3f), timeAt(bar), timeAt(bar + 1), 0.26f, 47);
    }
}

void greetings(Band& band, int bar) {
    const int i = bar - 56; // bars 56..79
    const int block = i / 4, inBlock = i % 4;
    const Chord& chord = mainChords[inBlock];
    const bool breakdown = block == 3;
    band.accent(bar, inBlock == 0 ? (block == 0 || block == 4 ? 2 : 1) : 0);
    band.padBar(bar, chord, breakdown ? 0.3f : 0.5f);
    if (breakdown) {
        bellNote(band.synthOut(-0.2f, 0.4f, 0.3f),
                 {timeAt(bar), stepsSeconds(8), chord.pad[3] + 12.0f, 0.45f});
        band.leadBar(bar, themeA[size_t(inBlock)], 0.35f, 0.0f, 0.7f);
        band.bassBar(bar, chord, 2, 0.2f);
        if (inBlock == 3)
            band.snareRoll(bar, 0.1f, 0.9f);
        return;
    }
    band.fourOnTheFloor(bar, block == 0 && i < 2 ? 0.7f : 1.0f);
    band.hats(bar, block == 0 ? 0 : 1);
    if (i >= 2)
        band.backbeat(bar);
    band.bassBar(bar, chord, block >= 4 ? 1 : 0, 0.5f);
    if (i >= 2)
        band.leadBar(bar, themeB[size_t(inBlock)], 0.55f, 0.0f, 0.9f);
    if (block >= 4)
        band.arpBar(bar, chord, 0, 0.55f, 0.7f);
    if (i == 23)
        riser(band.fxOut(0.3f), timeAt(bar), timeAt(bar + 1), 0.28f, 48);
}

void twisters(Band& band, int bar) {
    const int i = bar - 80; // bars 80..95
    const int block = i / 4, inBlock = i % 4;
    const Chord& chord = block % 2 == 0 ? Am : (inBlock < 2 ? F : G);
    band.accent(bar, inBlock == 0 ? 1 : 0);
    band.fourOnTheFloor(bar);
    band.backbeat(bar);
    band.hats(bar, 1);
    if (block >= 1)
        band.hats(bar, 2);
    acidBar(band, bar, chord.root, 300.0f + 160.0f * float(inBlock) + 120.0f * float(block));
    if (block >= 2)
        band.padBar(bar, chord, 0.45f, 0.8f);
    if (block == 3)
        band.stab(bar, 0.0f, chord, 0.9f);
    if (i == 15)
        band.snareRoll(bar, 0.2f, 0.8f);
}

void character(Band& band, int bar) {
    const int i = bar - 96; // bars 96..103
    const Chord& chord = playChords[i % 4];
    band.accent(bar, i % 4 == 0 ? 1 : 0);
    for (float step : {0.0f, 6.0f, 10.0f})
        band.kickAt(bar, step, 0.9f);
    band.backbeat(bar);
    band.hats(bar, 1, 0.9f);
    for (float step : {0.0f, 3.0f, 6.0f, 8.0f, 11.0f, 14.0f})
        bassNote(band.bassOut(),
                 {timeAt(bar, step), stepsSeconds(1.5f),
                  chord.root + (step == 11.0f ? 12.0f : 0.0f), 0.5f},
                 0.6f);
    for (const Step& s : playful[size_t(i % 4)])
        bellNote(band.synthOut(0.2f, 0.3f, 0.25f),
                 {timeAt(bar, s.step), stepsSeconds(s.length), s.note, 0.5f});
    band.padBar(bar, chord, 0.4f, 0.7f);
    if (i == 7)
        riser(band.fxOut(0.3f), timeAt(bar), timeAt(bar + 1), 0.28f, 49);
}

void boxes(Band& band, int bar) {
    const int i = bar - 104; // bars 104..119
    const int block = i / 4, inBlock = i % 4;
    const bool title = block >= 2; // the title appears in the second half
    const Chord& chord = title ? mainChords[inBlock] : climaxChords[inBlock];
    // The boxes spin up on every other bar: crashes there.
    band.accent(bar, inBlock == 0 ? 2 : (i % 2 == 0 ? 1 : 0));
    band.fourOnTheFloor(bar);
    band.backbeat(bar);
    band.hats(bar, 1, 1.1f);
    band.hats(bar, 2);
    band.bassBar(bar, chord, 1, 0.75f);
    band.padBar(bar, chord, 0.8f);
    band.arpBar(bar, chord, 0, 0.8f, 0.8f);
    if (title) {
        band.leadBar(bar, themeA[size_t(inBlock)], 0.85f, 12.0f, 0.8f);
        band.leadBar(bar, themeA[size_t(inBlock)], 0.6f, 0.0f, 0.7f);
    } else {
        band.leadBar(bar, themeB[size_t(inBlock)], 0.7f, 0.0f, 0.8f);
    }
    if (i % 2 == 1)
        for (float step : {12.0f, 13.0f, 14.0f, 15.0f})
            tom(band.drumOut(0.3f - step * 0.03f, 0.1f), timeAt(bar, step), 0.3f,
                120.0f - step * 3.0f);
    // The fade to white at the end of the part.
    if (i == 15) {
        band.snareRoll(bar, 0.3f, 1.0f);
        riser(band.fxOut(0.3f), timeAt(bar), timeAt(bar + 1), 0.32f, 50);
    }
}

void outro(Band& band, int bar) {
    const int i = bar - 120; // bars 120..127
    const Chord& chord = mainChords[i % 4];
    band.accent(bar, i == 0 ? 2 : 0);
    band.padBar(bar, chord, 0.35f - 0.03f * float(i), 1.0f - 0.06f * float(i));
    if (i < 4) {
        band.kickAt(bar, 0.0f, 0.7f);
        band.kickAt(bar, 8.0f, 0.6f);
        band.hats(bar, 0, 0.6f);
        band.leadBar(bar, themeA[size_t(i)], 0.4f, 0.0f, 0.7f);
    }
    // Fireflies: high bell notes on the pentatonic scale, scattered.
    const float scale[5] = {81, 84, 86, 88, 91};
    for (int k = 0; k < 3; ++k) {
        const int pick = (bar * 7 + k * 3) % 5;
        bellNote(band.synthOut(k == 1 ? 0.5f : -0.5f, 0.5f, 0.4f),
                 {timeAt(bar, float(k * 5 + (bar % 3))), stepsSeconds(2), scale[pick], 0.22f});
    }
}

} // namespace

void arrangeSong(Band& band, const StepProgress& progress) {
    // Before the first unit: a swell into the downbeat, and the pad fading in.
    swell(band.fxOut(0.3f), timeAt(0), 1.0f, 0.25f, 40);
    for (int bar = 0; bar < bars; ++bar) {
        if (bar < 8)
            intro(band, bar);
        else if (bar < 12)
            build(band, bar);
        else if (bar < 24)
            credits(band, bar);
        else if (bar < 40)
            grids(band, bar);
        else if (bar < 48)
            tunnel(band, bar);
        else if (bar < 56)
            trail(band, bar);
        else if (bar < 80)
            greetings(band, bar);
        else if (bar < 96)
            twisters(band, bar);
        else if (bar < 104)
            character(band, bar);
        else if (bar < 120)
            boxes(band, bar);
        else
            outro(band, bar);
        report(progress, double(bar + 1) / double(bars));
    }
    // The last chord rings on through the closing picture.
    band.accent(bars, 1);
    for (float note : chords::Am.pad)
        padNote(band.synthOut(0.0f, 0.5f, 0.0f), {timeAt(bars), 5.0f, note, 0.9f}, 0.3f,
                uint32_t(note));
    bellNote(band.synthOut(0.0f, 0.6f, 0.4f), {timeAt(bars), 2.0f, 81.0f, 0.35f});
}

} // namespace dataset
