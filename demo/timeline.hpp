#pragma once
// The show: the working objects of the timeline and the parts, one loop each, run in
// order while demo time lies in each part's range.

class Show {
public:
    Show();
    ~Show();
    Show(const Show&) = delete;
    Show& operator=(const Show&) = delete;

    // Runs every part and the closing image; returns when the show is over.
    void run();
};

// The part of the show whose loop runs at demo time t: 0 to 11, or 12 for the closing
// image after the last part.
int show_part_at(float t);
