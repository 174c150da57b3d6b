#pragma once
// The parts of the show, in order, in one table: where each part's loop runs in demo time
// and a few words for what it shows. The loops, show_part_at, the capture tool (show
// length, part count, storyboard, frame-time tables) and demo-clock all read it.

#include <cstdint>

// Units of demo time in a block: B = T / 64.
constexpr int32_t blockUnits = 64;

// How a part's loop condition reads demo time T.
enum class PartClock {
    beforeMusic,  // T < 0, in float
    blocks,       // B - from < length, in float
    blocksDouble, // time_over(64) - from < length, in double
    wallClock,    // the closing image, timed on the wall clock
};

struct ShowPart {
    const char* name; // for the tools' tables and pictures
    PartClock clock;
    int32_t from;   // the block that the loop condition counts from
    int32_t length; // blocks from `from` to the part's end
};

// Parts 0 to 11 run on demo time, then the closing image. The credits count from the
// ground's block, so their loop reads B - 2 < 4 although they start at block 3.
inline constexpr ShowPart showParts[] = {
    {"waiting", PartClock::beforeMusic, 0, 0},     {"boots", PartClock::blocks, 0, 2},
    {"ground and logo", PartClock::blocks, 2, 1},  {"credits", PartClock::blocks, 2, 4},
    {"credit grids", PartClock::blocks, 6, 4},     {"tunnel", PartClock::blocks, 10, 2},
    {"motion trail", PartClock::blocks, 12, 2},    {"greetings", PartClock::blocks, 14, 6},
    {"twisters", PartClock::blocks, 20, 4},        {"character", PartClock::blocks, 24, 2},
    {"red boxes", PartClock::blocks, 26, 4},       {"end image", PartClock::blocksDouble, 30, 2},
    {"closing image", PartClock::wallClock, 0, 0},
};

constexpr int showPartCount = int(sizeof(showParts) / sizeof(showParts[0]));
constexpr int closingImagePart = showPartCount - 1;
constexpr int lastTimedPart = closingImagePart - 1;

// The block where part 1 to 11 ends.
constexpr int32_t show_part_end(int part) {
    return showParts[part].from + showParts[part].length;
}

// The block where part 1 to 11 starts: where the part before it ends.
constexpr int32_t show_part_start(int part) {
    return part <= 1 ? 0 : show_part_end(part - 1);
}

// Demo time at the end of the last part.
constexpr float showEndUnits = float(show_part_end(lastTimedPart) * blockUnits);

// The closing image fades in, holds and fades out, 2 s each.
constexpr double closingStageSeconds = 2.0;
constexpr double closingImageSeconds = 3 * closingStageSeconds;

constexpr bool partsFollowOneAnother() {
    for (int part = 1; part <= lastTimedPart; ++part)
        if (showParts[part].from > show_part_start(part) ||
            show_part_end(part) <= show_part_start(part))
            return false;
    return true;
}
static_assert(partsFollowOneAnother(), "each part starts where the one before it ends");

// The loop condition of part 0 to 11 at demo time t, as the part's loop writes it; false
// for the closing image. The part's loop runs while it holds, so a part whose range has
// passed when its loop is reached is skipped.
inline bool show_part_holds(int part, float t) {
    const ShowPart& p = showParts[part];
    switch (p.clock) {
    case PartClock::beforeMusic:
        return t < 0.0f;
    case PartClock::blocks:
        return t / float(blockUnits) - float(p.from) < float(p.length);
    case PartClock::blocksDouble:
        return double(t / float(blockUnits)) - double(p.from) < double(p.length);
    case PartClock::wallClock:
        break;
    }
    return false;
}

// The loop condition of part 0 to 11 at the current demo time.
bool show_part_running(int part);

// The part of the show whose loop runs at demo time t: the first whose condition holds,
// or the closing image after the last part.
int show_part_at(float t);

// A few words for what part `part` (0 to 12, as show_part_at numbers them) shows:
// "boots", "ground and logo", ...; "" for any other number.
const char* show_part_name(int part);
