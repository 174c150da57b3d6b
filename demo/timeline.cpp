#include "demo/timeline.hpp"

#include "demo/clock.hpp"

Show::Show() {}

Show::~Show() {}

void Show::run() {
    // Part 0: nothing is drawn until the music reaches demo time 0.
    while (demoTime < 0.0f)
        demo_frame();
}

int show_part_at(float t) {
    if (t < 0.0f)
        return 0;
    // Where parts 1 to 11 end, in blocks of 64 units.
    static const float ends[] = {2, 3, 6, 10, 12, 14, 20, 24, 26, 30, 32};
    const float b = t / 64.0f;
    int part = 1;
    for (float end : ends) {
        if (b < end)
            return part;
        ++part;
    }
    return part;
}
