// The sound device on SDL audio: the stream is handed over in buffers of 1024 sample
// frames from SDL's callback, and the position between callbacks comes from DeviceClock.

#include "platform/sound_device.hpp"

#include "platform/bass.hpp"
#include "platform/decoded_stream.hpp"
#include "platform/device_clock.hpp"

#include <SDL/SDL.h>
#include <dlfcn.h>

#include <atomic>
#include <cstring>

namespace {

struct Device {
    bool open = false;
    const DecodedStream* stream = nullptr; // what the callback plays, null for silence
    std::atomic<uint64_t> consumed{0};     // where the next bytes handed to the device begin
    DeviceClock heard;
} device;

void feed(void*, Uint8* buffer, int length) {
    const int64_t now = DeviceClock::now();
    size_t count = 0;
    if (device.stream) {
        count = device.stream->copy(size_t(device.consumed.load()), buffer, size_t(length));
        device.consumed += count;
    }
    std::memset(buffer + count, 0, size_t(length) - count);
    device.heard.handedOver(now, device.consumed.load(), uint32_t(length));
}

void quiet(const char*, int, const char*, int, const char*, ...) {}

// The sound library under SDL (libasound) prints its own errors, eight "ALSA lib" lines
// on a machine without a sound card, before SDL reports the failure for which the program
// has its own line. SDL loads that library at run time, so it is looked up the same way:
// no build dependency, and nothing to do where it is missing. It stays loaded, so the
// quiet handler holds when SDL loads it.
void quietSoundLibrary() {
    static void* const alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
    using SetHandler = int (*)(decltype(&quiet));
    if (alsa)
        if (auto set = reinterpret_cast<SetHandler>(dlsym(alsa, "snd_lib_error_set_handler")))
            set(quiet);
}

} // namespace

namespace sound_device {

uint32_t open(int rate) {
    quietSoundLibrary();
    SDL_AudioSpec wanted{};
    wanted.freq = rate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = 1024;
    wanted.callback = feed;
    SDL_AudioSpec obtained{};
    if (SDL_OpenAudio(&wanted, &obtained) < 0)
        return BASS_ERROR_DEVICE;
    // A device that opened at another rate, sample format or channel count would expect
    // its own format from the callback: open it again without asking what it took, and SDL
    // converts from the stream's. (Over SDL 2, SDL 1.2's layer always grants the format
    // asked for and converts by itself.) Positions stay in the stream's bytes.
    if (obtained.freq != wanted.freq || obtained.format != wanted.format ||
        obtained.channels != wanted.channels) {
        SDL_CloseAudio();
        if (SDL_OpenAudio(&wanted, nullptr) < 0)
            return BASS_ERROR_FORMAT;
    }
    device.open = true;
    return BASS_OK;
}

bool start() {
    SDL_PauseAudio(0);
    return true;
}

// The callback's thread reads the stream: it is kept out while the stream changes.
void play(const DecodedStream* stream, uint64_t from) {
    SDL_LockAudio();
    device.stream = stream;
    device.consumed = from;
    device.heard.reset(from);
    SDL_UnlockAudio();
}

uint64_t heard() {
    return device.heard.heard(DeviceClock::now());
}

void close() {
    if (device.open)
        SDL_CloseAudio();
    device.open = false;
    device.stream = nullptr;
    device.consumed = 0;
}

} // namespace sound_device
