// The sound device on Web Audio: the whole decoded stream becomes one AudioBuffer that a
// source node plays, and the position heard comes from the audio clock. The browser lets
// sound start only after the person at the page has clicked or pressed a key, so output
// starts there; a context that still does not run leaves the show to the wall clock.

#include "platform/sound_device.hpp"

#include "host/host.hpp"
#include "platform/bass.hpp"
#include "platform/decoded_stream.hpp"
#include "platform/device_clock.hpp"

#include <algorithm>
#include <vector>

extern "C" {
// In page_library.js; each does nothing (or says no) where there is no Web Audio.
int web_audio_open();
int web_audio_gesture();
int web_audio_resume();
int web_audio_running();
int web_audio_prepare(int frames);
void web_audio_fill(const int16_t* samples, int firstFrame, int frames);
double web_audio_play(double leadSeconds, double offsetSeconds);
int web_audio_timestamp(double* contextSeconds, double* performanceMs);
void web_audio_stop();
void web_audio_close();
}

namespace {

constexpr int rate = 44100;
constexpr uint64_t frameBytes = 4; // 16-bit stereo
// How far ahead of the last audio timestamp the position may run before it waits for the
// next: a few of the browser's audio callbacks (each 3 to 20 ms).
constexpr uint32_t aheadBytes = rate * frameBytes / 10;
// Playing starts this far after the call, so that it starts exactly where it was scheduled.
constexpr double leadSeconds = 0.05;

struct Device {
    bool open = false;
    bool playing = false;
    const DecodedStream* prepared = nullptr; // the stream the page's buffer holds
    double startSeconds = 0;                 // the audio clock's time of the stream's first sample
    double fromFrames = 0;                   // the sample frame where playing started
    double lastContextSeconds = -1;
    DeviceClock heard;
} device;

} // namespace

namespace sound_device {

uint32_t open(int) {
    if (!web_audio_open())
        return BASS_ERROR_DEVICE;
    device.open = true;
    return BASS_OK;
}

bool start() {
    while (!web_audio_gesture())
        web_sleep(20);
    web_audio_resume();
    for (int waited = 0; !web_audio_running(); waited += 10) {
        if (waited >= 3000)
            return false;
        web_sleep(10);
    }
    return true;
}

void play(const DecodedStream* stream, uint64_t from) {
    web_audio_stop();
    device.playing = false;
    device.heard.reset(from);
    device.lastContextSeconds = -1;
    if (stream != device.prepared) {
        device.prepared = nullptr;
        if (!stream)
            return;
        // The stream is complete here (the browser build decodes it whole when it opens).
        const int frames = int(stream->available() / frameBytes);
        if (!web_audio_prepare(frames))
            return;
        std::vector<int16_t> chunk(1 << 16);
        const int chunkFrames = int(chunk.size() / 2);
        for (int first = 0; first < frames; first += chunkFrames) {
            const int count = std::min(chunkFrames, frames - first);
            stream->copy(size_t(first) * frameBytes, reinterpret_cast<uint8_t*>(chunk.data()),
                         size_t(count) * frameBytes);
            web_audio_fill(chunk.data(), first, count);
        }
        device.prepared = stream;
    }
    // The page's buffer plays from `from`; the stream's first sample would have been heard
    // that much earlier.
    const double offsetSeconds = double(from / frameBytes) / rate;
    device.startSeconds = web_audio_play(leadSeconds, offsetSeconds) - offsetSeconds;
    device.fromFrames = double(from / frameBytes);
    device.playing = true;
}

uint64_t heard() {
    double contextSeconds = 0, performanceMs = 0;
    // Each new timestamp pairs the audio clock with the page's: the sample at
    // `contextSeconds` is heard at `performanceMs` (the output's latency is in it). It
    // anchors the position as a device's callback does; between them the position runs on
    // with the page's clock, which is also DeviceClock's.
    if (device.playing && web_audio_timestamp(&contextSeconds, &performanceMs) &&
        contextSeconds != device.lastContextSeconds) {
        device.lastContextSeconds = contextSeconds;
        const double played = (contextSeconds - device.startSeconds) * rate;
        if (played >= device.fromFrames)
            device.heard.handedOver(int64_t(performanceMs * 1e6),
                                    uint64_t(played) * frameBytes + aheadBytes, aheadBytes);
    }
    return device.heard.heard(DeviceClock::now());
}

void close() {
    if (device.open)
        web_audio_close();
    device.open = false;
    device.playing = false;
    device.prepared = nullptr;
}

} // namespace sound_device
