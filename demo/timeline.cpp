#include "demo/timeline.hpp"

#include "demo/clock.hpp"

Show::Show() {}

Show::~Show() {}

void Show::run() {
    // Part 0: nothing is drawn until the music reaches demo time 0.
    while (demoTime < 0.0f)
        demo_frame();
}
