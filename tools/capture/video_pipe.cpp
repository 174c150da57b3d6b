#include "tools/capture/video_pipe.hpp"

#include <cmath>
#include <csignal>
#include <sys/wait.h>

namespace {

// Single quotes for the shell, with embedded quotes closed and escaped.
std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// H.264 at a constant quality near the eye's limit (CRF 16, tuned for drawn pictures with
// flat areas and hard edges), in 4:2:0 with BT.709 colour, converted and flagged, so that
// browsers and video sites play it with the right colours at any size.
constexpr const char* videoEncoding =
    " -vf scale=out_color_matrix=bt709:out_range=tv,format=yuv420p -c:v libx264 -preset medium"
    " -tune animation -crf 16 -colorspace bt709 -color_primaries bt709 -color_trc bt709";

} // namespace

bool VideoPipe::open(const std::string& path, int w, int h, int rate, const std::string& audio) {
    // A dead encoder must give a write error, not end the process.
    std::signal(SIGPIPE, SIG_IGN);
    width = w;
    height = h;
    fps = rate;
    slots = 0;
    const std::string size = std::to_string(w) + "x" + std::to_string(h);
    // Little-endian 0xAARRGGBB words are the bytes B, G, R, A; the alpha is not used.
    const std::string command =
        "ffmpeg -hide_banner -loglevel error -y -f rawvideo -pix_fmt bgr0 -s " + size + " -r " +
        std::to_string(fps) + " -i - -i " + quoted(audio) + " -map 0:v:0 -map 1:a:0" +
        std::string(videoEncoding) + " -c:a aac -b:a 192k -shortest -movflags +faststart " +
        quoted(path);
    pipe = popen(command.c_str(), "w");
    return pipe != nullptr;
}

bool VideoPipe::write(const uint32_t* pixels, int pitch, double seconds) {
    if (!pipe)
        return false;
    // The audio track starts at music position 0, and slot k is shown at k / fps.
    const long slot = std::lround(seconds * fps);
    for (; slots <= slot; ++slots)
        for (int y = 0; y < height; ++y)
            if (std::fwrite(pixels + size_t(y) * size_t(pitch), 4, size_t(width), pipe) !=
                size_t(width))
                return false;
    return true;
}

bool VideoPipe::close() {
    if (!pipe)
        return true;
    const int status = pclose(pipe);
    pipe = nullptr;
    return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
