// demo-capture's pictures for sharing: the video with every pixel enlarged and its sound in
// step, and the storyboard of the whole show.

#include "png_reader.hpp"
#include "sample_levels.hpp"
#include "show_data.hpp"
#include "tools/capture/options.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// A video stream's property as ffprobe prints it, and a stream's duration.
std::string probe(const std::string& video, const std::string& entry) {
    const std::string text =
        commandOutput("ffprobe -v error -select_streams v:0 -show_entries stream=" + entry +
                      " -of default=noprint_wrappers=1:nokey=1 " + video);
    return text.substr(0, text.find('\n'));
}

double duration(const std::string& video, const std::string& stream) {
    return std::atof(commandOutput("ffprobe -v error -select_streams " + stream +
                                   " -show_entries stream=duration -of csv=p=0 " + video)
                         .c_str());
}

// Where `part` (w x h pixels) appears in `image`, by brute force; (-1, -1) if nowhere.
std::pair<int, int> find(const Image& image, const std::vector<uint32_t>& part, int w, int h) {
    for (int y = 0; y + h <= image.height; ++y)
        for (int x = 0; x + w <= image.width; ++x) {
            bool same = true;
            for (int py = 0; py < h && same; ++py)
                for (int px = 0; px < w && same; ++px)
                    same = image.pixels[size_t((y + py) * image.width + x + px)] ==
                           part[size_t(py * w + px)];
            if (same)
                return {x, y};
        }
    return {-1, -1};
}

} // namespace

TEST(Capture, TheVideoEnlargedByPixelRepetitionKeepsPictureAndSoundTogether) {
    const int fps = 60;
    const std::string data = copyOfData("video");
    const ProgramResult r =
        runProgram(data, captureProgram, "",
                   "--fps 60 --video show.mp4 --scale 2 --png shots --every 40 --until 12");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const std::string video = data + "/show.mp4";
    EXPECT_EQ(probe(video, "width"), "1024");
    EXPECT_EQ(probe(video, "height"), "768");
    EXPECT_EQ(probe(video, "color_space"), "bt709");
    // The sound stops with the pictures.
    EXPECT_NEAR(duration(video, "a:0"), duration(video, "v:0"), 0.1);

    // At demo time 0, the first downbeat, the wait screen gives way to the first part: that
    // picture must come within one frame of the beat's sound.
    ASSERT_EQ(std::system(("cd '" + data +
                           "' && ffmpeg -v error -i show.mp4 -t 1.5 -f s16le -ac 2 -ar 44100 "
                           "sound.raw && ffmpeg -v error -i show.mp4 -t 2 -f rawvideo -pix_fmt "
                           "gray -s 64x48 frames.raw")
                              .c_str()),
              0);
    const std::string sound = readFile(data + "/sound.raw");
    std::vector<int16_t> samples(sound.size() / 2);
    std::memcpy(samples.data(), sound.data(), samples.size() * 2);
    const double beat = double(firstDownbeat(samples)) / 44100.0;
    const std::string frames = readFile(data + "/frames.raw");
    const size_t size = 64 * 48;
    const auto differs = [&](size_t frame) {
        long sum = 0;
        for (size_t i = 0; i < size; ++i)
            sum += std::abs(int(uint8_t(frames[frame * size + i])) - int(uint8_t(frames[i])));
        return sum > long(size) * 20;
    };
    size_t change = 1;
    while ((change + 1) * size <= frames.size() && !differs(change))
        ++change;
    ASSERT_LT((change + 1) * size, frames.size());
    EXPECT_NEAR(double(change) / fps, beat, 1.0 / fps) << "beat at " << beat << " s";

    // The PNG of presented frame 40 against the video, each pixel a 2 x 2 block. That frame
    // was drawn with the music position of the tick before, so it fills video frame 39. The
    // encoding blurs the film grain a little: blocks are compared by their means.
    // Raw RGB bytes: a PNG would carry the video's transfer curve, which PNG readers apply.
    std::system(("ffmpeg -loglevel error -y -i " + video + " -vf 'select=eq(n\\,39)' -frames:v 1 " +
                 "-f rawvideo -pix_fmt rgb24 " + data + "/decoded.rgb")
                    .c_str());
    const std::string decoded = readFile(data + "/decoded.rgb");
    const Image frame = readPng(data + "/shots/frame-000040.png");
    ASSERT_EQ(decoded.size(), size_t(1024 * 768 * 3));
    ASSERT_EQ(frame.width, 512);
    double error = 0;
    for (int y = 0; y < 384; ++y)
        for (int x = 0; x < 512; ++x)
            for (int channel = 0; channel < 3; ++channel) {
                double block = 0;
                for (int i = 0; i < 4; ++i)
                    block += uint8_t(
                        decoded[size_t((2 * y + i / 2) * 1024 + 2 * x + i % 2) * 3 + channel]);
                const int shift = 16 - 8 * channel; // red, green, blue
                error += std::fabs(block / 4.0 -
                                   double((frame.pixels[size_t(y * 512 + x)] >> shift) & 255));
            }
    EXPECT_LT(error / (512.0 * 384.0 * 3.0), 6.0);
}

TEST(CaptureOptions, ValuesOnBothSidesOfTheirLimitsAndTheRulesBetweenOptions) {
    // The first line written for a command line: "" when it is taken.
    const auto reason = [](std::vector<const char*> args) {
        args.insert(args.begin(), "demo-capture");
        CaptureOptions options;
        ::testing::internal::CaptureStderr();
        const bool taken = parseOptions(int(args.size()), const_cast<char**>(args.data()), options);
        const std::string text = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(taken, text.empty());
        return text.substr(0, text.find('\n'));
    };
    const std::string wholeFps = "demo-capture: --fps takes a whole number from 1 to 1000";
    EXPECT_EQ(reason({"--fps", "1"}), "");
    EXPECT_EQ(reason({"--fps", "1000", "--every", "1000"}), "");
    EXPECT_EQ(reason({"--fps", "0"}), wholeFps);
    EXPECT_EQ(reason({"--fps", "1001"}), wholeFps);
    EXPECT_EQ(reason({"--fps", "30x"}), wholeFps);
    EXPECT_EQ(reason({"--every", "1001"}),
              "demo-capture: --every takes a whole number from 1 to 1000");
    const std::string wholeScale = "demo-capture: --scale takes a whole number from 1 to 4";
    EXPECT_EQ(reason({"--video", "v.mp4", "--scale", "4"}), "");
    EXPECT_EQ(reason({"--video", "v.mp4", "--scale", "5"}), wholeScale);
    EXPECT_EQ(reason({"--video", "v.mp4", "--scale", "0"}), wholeScale);
    EXPECT_EQ(reason({"--scale", "2"}), "demo-capture: --scale needs --video FILE.mp4");
    EXPECT_EQ(reason({"--png", "d", "--at", "0,32.5"}), "");
    EXPECT_EQ(reason({"--hash", "--at", "7"}), "");
    EXPECT_EQ(reason({"--at", "7"}), "demo-capture: --at needs --png DIR or --hash");
    EXPECT_EQ(reason({"--png", "d", "--at", "1,,2"}),
              "demo-capture: --at takes demo times separated by commas");
    EXPECT_EQ(reason({"--hash"}), "demo-capture: --hash needs --at T,T,...");
    EXPECT_EQ(reason({"--json", "f"}), "demo-capture: --json needs --bench");
    EXPECT_EQ(reason({"--until", "-3.5"}), "");
    EXPECT_EQ(reason({"--until", "soon"}), "demo-capture: --until takes a demo time");
    EXPECT_EQ(reason({"--data"}), "demo-capture: missing value after --data");
    EXPECT_EQ(reason({"--frames", "9"}), "demo-capture: unknown option --frames");
}

TEST(Capture, TheStoryboardShowsALabelledThumbnailEvery32Units) {
    const std::string data = copyOfData("storyboard");
    const std::vector<int> times = {0, 32, 1600, 2016};
    const ProgramResult r = runProgram(
        data, captureProgram, "",
        "--fps 10 --storyboard board.png --png shots --at 0,32,1600,2016 --until 2016 --progress");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("] "), std::string::npos); // the progress bar
    EXPECT_EQ(r.err.back(), '\n');
    const Image board = readPng(data + "/board.png");
    EXPECT_GE(board.width, 1024);

    // Each thumbnail is its frame shrunk 4 times, every pixel the rounded mean of a 4 x 4
    // block; they run left to right, eight to a row.
    std::vector<std::pair<int, int>> at;
    std::vector<std::vector<uint32_t>> labels;
    for (int t : times) {
        SCOPED_TRACE(t);
        const Image frame = readPng(data + "/shots/at-" + std::to_string(t) + ".png");
        ASSERT_EQ(frame.width, 512);
        std::vector<uint32_t> thumbnail(128 * 96);
        for (int y = 0; y < 96; ++y)
            for (int x = 0; x < 128; ++x) {
                uint32_t pixel = 0xFF000000;
                for (int shift = 0; shift < 24; shift += 8) {
                    double sum = 0;
                    for (int i = 0; i < 16; ++i)
                        sum +=
                            (frame.pixels[size_t((4 * y + i / 4) * 512 + 4 * x + i % 4)] >> shift) &
                            255;
                    pixel |= uint32_t(std::floor(sum / 16.0 + 0.5)) << shift;
                }
                thumbnail[size_t(y * 128 + x)] = pixel;
            }
        at.push_back(find(board, thumbnail, 128, 96));
        ASSERT_GE(at.back().first, 0) << "no thumbnail";
        // Two lines of text under it: its part and its demo time.
        std::vector<uint32_t> label;
        int text = 0;
        for (int y = at.back().second + 96; y < at.back().second + 96 + 24; ++y)
            for (int x = at.back().first; x < at.back().first + 128; ++x) {
                label.push_back(board.pixels[size_t(y * board.width + x)]);
                text += label.back() != board.pixels[size_t(y * board.width)];
            }
        EXPECT_GT(text, 40);
        labels.push_back(label);
    }
    EXPECT_EQ(at[1].second, at[0].second); // 0 and 32 on the first row
    EXPECT_GT(at[1].first, at[0].first);
    EXPECT_GT(at[2].second, at[1].second); // 1600 is the 51st, 2016 the 64th and last
    EXPECT_GT(at[3].second, at[2].second);
    EXPECT_GT(at[3].first, at[2].first);
    EXPECT_NE(labels[0], labels[1]);
    EXPECT_NE(labels[2], labels[3]);
}
