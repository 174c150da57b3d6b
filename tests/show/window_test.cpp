// The show in a real window (on a virtual X server) as a viewer asks for it: its size with
// --window and --zoom, and Alt+Enter switching between window and fullscreen while it
// plays, in place or by setting the video mode again.

#include "show_data.hpp"
#include "virtual_display.hpp"

#include <gtest/gtest.h>

namespace {

const std::string faults = std::string("LD_PRELOAD=") + SDL_FAULTS_LIBRARY;

// Room for the largest window, 2048 x 1536.
class ViewerWindow : public VirtualDisplay {
protected:
    ViewerWindow() { screenSize = "2560x1600x24"; }

    // Starts the show in `folder` (which takes its standard error) with `arguments`.
    pid_t start(const std::string& folder, const std::string& arguments,
                const std::string& environment = "") {
        return spawnProgram(
            {"sh", "-c",
             "exec env " + environment + " " + demoProgram + " " + arguments + " 2>stderr.txt"},
            folder);
    }

    // Waits up to 20 s for `text` to be in the file at `path`.
    bool waitForText(const std::string& path, const std::string& text, pid_t program) {
        for (int tries = 0; tries < 200; ++tries) {
            if (readFile(path).find(text) != std::string::npos)
                return true;
            if (waitFor(program, 0.1) != -1)
                break;
        }
        return false;
    }
};

} // namespace

TEST_F(ViewerWindow, WindowAndZoomSizes) {
    const std::string folder = freshFolder("window-sizes");
    const std::pair<const char*, const char*> sizes[] = {
        {"--window", "512x384"},
        {"--window --zoom 2", "1024x768"},
        {"--zoom=4 --window", "2048x1536"},
    };
    for (const auto& [arguments, expected] : sizes) {
        const pid_t show = start(folder, arguments);
        ASSERT_GT(show, 0);
        const std::string window = windowOf(show);
        EXPECT_EQ(windowSize(window), expected) << arguments;
        EXPECT_EQ(holdEscape(show), 0) << arguments;
        EXPECT_EQ(readFile(folder + "/stderr.txt"), "") << arguments;
    }
}

TEST_F(ViewerWindow, AltEnterSwitchesBetweenWindowAndFullscreen) {
    // In place where the window system can; where it cannot (made to fail here), the video
    // mode is set again at the same size and the zoomed Display goes on being shown. Keys
    // pressed while the show loads wait for it; each press is one switch.
    const std::string folder = freshFolder("alt-enter");
    const std::string log = folder + "/sdl.log";
    const std::pair<std::string, std::string> ways[] = {
        {"", "init\nvideo 1024x768 window vsync=1\ntoggle 1\ntoggle 1\n"},
        {"KORVID_FAULT=toggle", "init\nvideo 1024x768 window vsync=1\ntoggle 0\nvideo 1024x768 "
                                "fullscreen vsync=1\ntoggle 0\nvideo 1024x768 window vsync=1\n"},
    };
    for (const auto& [fault, switches] : ways) {
        std::remove(log.c_str());
        const pid_t show =
            start(folder, "--window --zoom 2", faults + " KORVID_SDL_LOG=" + log + " " + fault);
        ASSERT_GT(show, 0);
        const std::string window = windowOf(show);
        ASSERT_FALSE(window.empty());
        std::system(("xdotool mousemove --window " + window + " 100 100").c_str());
        std::system("xdotool key alt+Return");
        EXPECT_TRUE(waitForText(log, "toggle", show)) << fault;
        std::system("xdotool key alt+Return");
        EXPECT_TRUE(waitForText(log, switches, show)) << fault;
        EXPECT_EQ(waitFor(show, 1.0), -1) << fault << ": the show stopped";
        EXPECT_EQ(holdEscape(show), 0) << fault;
        EXPECT_EQ(readFile(log), switches) << fault;
        EXPECT_EQ(readFile(folder + "/stderr.txt"), "") << fault;
    }
}
