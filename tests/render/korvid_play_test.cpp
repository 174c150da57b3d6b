// korvid-play in a real window on the test's own X server: it draws what korvid-render
// draws, answers its keys and the window's close button, and quits by itself.

#include "png_reader.hpp"
#include "run_program.hpp"
#include "tools/play/playback.hpp"
#include "virtual_display.hpp"

#include <X11/Xlib.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>

namespace {

const std::string playTool = KORVID_BINARY_DIR "/tools/play/korvid-play";
const std::string renderTool = KORVID_BINARY_DIR "/tools/render/korvid-render";
const std::string file = "CameraRollAnimWithChildObject.3ds"; // a camera, 300 frames
// Absolute: each test runs the tools in folders of its own.
const std::string path = std::filesystem::absolute(KORVID_TEST_DATA "/3ds/" + file).string();

class KorvidPlay : public VirtualDisplay {
protected:
    void launch(const std::string& arguments) {
        errors = testFolder("play") + "/stderr.txt";
        player = spawnProgram({"sh", "-c", "exec " + playTool + " " + arguments + " 2>" + errors});
        ASSERT_GT(player, 0);
    }

    // Starts the player and waits for its window to be mapped with its caption.
    void start(const std::string& arguments) {
        launch(arguments);
        window = windowOf(player, "^" + file);
        ASSERT_FALSE(window.empty()) << "no window";
    }

    // The player's exit status once it has ended, -1 when it still runs after `seconds`.
    int ended(double seconds = 60.0) {
        const int status = waitFor(player, seconds);
        if (status != -1)
            player = -1;
        return status;
    }

    void TearDown() override {
        if (player > 0) {
            kill(player, SIGKILL);
            waitFor(player, 5.0);
        }
        VirtualDisplay::TearDown();
    }

    std::string caption() { return commandOutput("xdotool getwindowname " + window); }

    // The caption once it holds `part` (the player redraws it every frame); "" if it never does.
    std::string captionWith(const std::string& part) {
        for (int i = 0; i < 250; ++i) {
            const std::string text = caption();
            if (text.find(part) != std::string::npos)
                return text;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ADD_FAILURE() << "no \"" << part << "\" in " << caption();
        return "";
    }

    void press(const std::string& keys) {
        std::system(("xdotool key --window " + window + " " + keys).c_str());
    }

    // The window's pixels, grabbed from the screen without the pointer.
    Image screenshot() {
        std::smatch at;
        const std::string geometry = commandOutput("xdotool getwindowgeometry " + window);
        EXPECT_TRUE(std::regex_search(geometry, at, std::regex("Position: (\\d+),(\\d+)")));
        const std::string png = testFolder("play-shot") + "/shot.png";
        std::system(("ffmpeg -loglevel error -y -f x11grab -draw_mouse 0 -video_size 512x384 -i " +
                     display + "+" + at[1].str() + "," + at[2].str() + " -frames:v 1 " + png)
                        .c_str());
        return readPng(png);
    }

    // What a window manager sends when the window's close button is pressed.
    void closeWindow() {
        Display* x = XOpenDisplay(display.c_str());
        ASSERT_NE(x, nullptr);
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = Window(std::stoul(window));
        event.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = long(XInternAtom(x, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(x, event.xclient.window, False, NoEventMask, &event);
        XCloseDisplay(x);
    }

    pid_t player = -1;
    std::string window, errors;
};

int frameIn(const std::string& caption) {
    std::smatch m;
    return std::regex_search(caption, m, std::regex("frame (\\d+)/300")) ? std::stoi(m[1]) : -1;
}

// korvid-render's picture of the file, RGB only.
std::vector<uint32_t> rendered(const std::string& arguments) {
    const std::string png = testFolder("play-render") + "/render.png";
    EXPECT_EQ(
        runProgram(testFolder("run"), renderTool, "", path + " --out " + png + " " + arguments)
            .status,
        0);
    std::vector<uint32_t> pixels = readPng(png).pixels;
    for (uint32_t& p : pixels)
        p &= 0xFFFFFF;
    return pixels;
}

std::vector<uint32_t> rgb(const Image& image) {
    std::vector<uint32_t> pixels = image.pixels;
    for (uint32_t& p : pixels)
        p &= 0xFFFFFF;
    return pixels;
}

} // namespace

TEST_F(KorvidPlay, DrawsWhatKorvidRenderDrawsAndAnswersItsKeys) {
    start(path);
    const int first = frameIn(captionWith(file + " | frame "));
    EXPECT_NE(captionWith(" | /Camera01 | outline 2"), "");
    // The animation runs by the clock, then stops on Space and steps on the arrows.
    for (int i = 0; i < 250 && frameIn(caption()) == first; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_NE(frameIn(caption()), first);
    // One key at a time, each awaited in the caption: a caption read while keys still
    // wait in the queue would show a frame they are about to change.
    press("space");
    const int frame = frameIn(captionWith(" | paused"));
    press("Right");
    EXPECT_EQ(frameIn(captionWith("frame " + std::to_string(frame + 1) + "/")), frame + 1);
    press("Left");
    captionWith("frame " + std::to_string(frame) + "/");
    EXPECT_EQ(rgb(screenshot()), rendered("--frame " + std::to_string(frame)));

    press("c o");
    EXPECT_NE(captionWith(" | outside view | outline 0 | paused"), "");
    EXPECT_EQ(rgb(screenshot()), rendered("--frame " + std::to_string(frame) +
                                          " --camera /korvid-render.camera --outline 0"));
    press("c o o plus");
    EXPECT_NE(captionWith(" | /Camera01 | outline 2 | speed x2 | paused"), "");
    press("minus");
    EXPECT_NE(captionWith("outline 2 | paused"), "");

    press("Escape");
    EXPECT_EQ(ended(), 0);
    EXPECT_EQ(readFile(errors), "");
}

TEST_F(KorvidPlay, QuitsOnTheCloseButtonAndByItself) {
    start(path);
    closeWindow();
    EXPECT_EQ(ended(), 0);
    // Its window may come and go before anyone looks for it: what counts is that it ends
    // well, and not before its second is up.
    const auto began = std::chrono::steady_clock::now();
    launch(path + " --seconds 1 --size 256x192 --outline 1");
    EXPECT_EQ(ended(), 0);
    EXPECT_GE(std::chrono::steady_clock::now() - began, std::chrono::seconds(1));
    EXPECT_EQ(readFile(errors), "");
}

TEST(KorvidPlayFailures, AFileItCannotShowGivesOneLineAndStatusOne) {
    ProgramResult r = runProgram(testFolder("run"), playTool, "", "missing.3ds");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "korvid-play: missing.3ds: cannot import: file input/output error\n");
    r = runProgram(testFolder("run"), playTool, "", path + " --camera /Box01");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "korvid-play: " + path + ": no camera node at /Box01\n");
    r = runProgram(testFolder("run"), playTool, "", path + " --seconds 0");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("usage: korvid-play"), std::string::npos);
}

TEST(Playback, StepsSpeedsLoopsAndTheCaption) {
    // 300 frames, three views with the second in use, outline 2; 30 frames a second.
    tools::Playback p(300.0f, 3, 1, 2);
    EXPECT_EQ(p.caption("f.3ds", "/Camera01"), "f.3ds | frame 0/300 | /Camera01 | outline 2");
    p.advance(1500);
    EXPECT_EQ(p.frame(), 45.0f);
    // A step from between two frames goes to the nearer whole one in its direction; from a
    // whole frame, to the next one.
    p.advance(50);
    p.stepBack();
    EXPECT_EQ(p.frame(), 46.0f);
    p.advance(50);
    p.stepForward();
    EXPECT_EQ(p.frame(), 48.0f);
    p.stepBack();
    EXPECT_EQ(p.frame(), 47.0f);

    // From 1/8 to 8 times as fast, each end held.
    for (int i = 0; i < 4; ++i)
        p.faster();
    EXPECT_EQ(p.caption("f.3ds", "v"), "f.3ds | frame 47/300 | v | outline 2 | speed x8");
    p.advance(100); // 24 frames at 8 times
    EXPECT_EQ(p.frame(), 71.0f);
    for (int i = 0; i < 7; ++i)
        p.slower();
    EXPECT_NE(p.caption("f.3ds", "v").find(" | speed x1/8"), std::string::npos);
    p.advance(800); // 3 frames at an eighth
    EXPECT_EQ(p.frame(), 74.0f);

    // Paused, the clock moves nothing and the steps still work.
    p.togglePause();
    p.advance(5000);
    p.stepForward();
    EXPECT_EQ(p.caption("f.3ds", "v"),
              "f.3ds | frame 75/300 | v | outline 2 | speed x1/8 | paused");

    // Both ends loop; views and outline modes go round.
    tools::Playback q(10.0f, 3, 2, 2);
    q.stepBack();
    EXPECT_EQ(q.frame(), 9.0f);
    q.stepForward();
    EXPECT_EQ(q.frame(), 0.0f);
    q.advance(350); // 10.5 frames
    EXPECT_EQ(q.frame(), 0.5f);
    q.nextCamera();
    q.nextOutline();
    EXPECT_EQ(q.cameraIndex(), 0);
    EXPECT_EQ(q.outlineMode(), 0u);
}
