// The real program in a real window (on a virtual X server): Escape in the middle of the
// show ends it at once with status 0.

#include "show_data.hpp"
#include "virtual_display.hpp"

#include <gtest/gtest.h>

// The show started on the test's own X server.
class RealWindow : public VirtualDisplay {
protected:
    // Runs the show for `seconds` once its window is up, then holds Escape down until the
    // show answers, and returns how the program ended.
    int escapeAfter(const std::string& data, double seconds) {
        const pid_t show =
            spawnProgram({"sh", "-c", "exec " + demoProgram + " 2>stderr.txt"}, data);
        if (show <= 0)
            return -2;
        EXPECT_NE(windowOf(show), "") << "no window";
        EXPECT_EQ(waitFor(show, seconds), -1) << "the show ended before Escape";
        return holdEscape(show);
    }
};

TEST_F(RealWindow, EscapeEndsTheShowWithStatusZero) {
    // Loading, the wait for the music and some seconds of the first part.
    const std::string data = copyOfData("escape");
    EXPECT_EQ(escapeAfter(data, 5.0), 0);
    EXPECT_EQ(readFile(data + "/stderr.txt"), "");
}

TEST_F(RealWindow, WithoutASoundDeviceTheShowRunsSilent) {
    // SDL starts its audio, but the device cannot open its output.
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "/nonexistent/folder/audio.raw", 1);
    const std::string data = copyOfData("silent");
    EXPECT_EQ(escapeAfter(data, 4.0), 0);
    EXPECT_EQ(readFile(data + "/stderr.txt"),
              "Bass could not open sound device. Using no sound.\n");
}
