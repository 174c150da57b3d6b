#pragma once
// The tools' progress bar on standard error, for long runs: shown when standard error is
// a terminal, or always when asked for (--progress), and redrawn in place.
//
//     [################------------------------]  40%  frame 3000  demo time 410.2

#include <string>

namespace tools {

class ProgressBar {
public:
    // Shown when `forced` or when standard error is a terminal.
    explicit ProgressBar(bool forced = false);

    bool shown() const { return enabled; }
    // `fraction` of the work done (clamped to 0..1), and a few words on where it stands.
    void update(double fraction, const std::string& detail);
    // Ends the bar's line, once something was drawn.
    void finish();

private:
    bool enabled;
    bool drawn = false;
};

} // namespace tools
