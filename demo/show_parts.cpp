#include "demo/show_parts.hpp"

#include "demo/clock.hpp"

bool show_part_running(int part) {
    return show_part_holds(part, demoTime);
}

int show_part_at(float t) {
    for (int part = 0; part <= lastTimedPart; ++part)
        if (show_part_holds(part, t))
            return part;
    return closingImagePart;
}

const char* show_part_name(int part) {
    return part >= 0 && part < showPartCount ? showParts[part].name : "";
}
