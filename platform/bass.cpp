// The audio library's calls on SDL audio and libmpg123.

#include "platform/bass.hpp"

#include "platform/clock.hpp"
#include "platform/decoded_stream.hpp"
#include "platform/device_clock.hpp"

#include <SDL/SDL.h>
#include <dlfcn.h>

#include <algorithm>
#include <atomic>
#include <cstring>

namespace {

constexpr DWORD version = 0x80001;
constexpr DWORD failed = 0xFFFFFFFF;
constexpr int rate = 44100;
constexpr DWORD frameBytes = 4; // 16-bit stereo
constexpr HSTREAM theStream = 1;

DWORD lastError = BASS_OK;

struct Output {
    bool initialised = false;
    bool deviceOpen = false; // a real SDL audio device is running
} output;

struct Stream {
    DecodedStream data;
    bool created = false;
    std::atomic<bool> playing{false};
    std::atomic<uint64_t> consumed{0}; // where the next bytes handed to the device begin
    DeviceClock heard;                 // the position on a real device
    // The position at the last start (play, or a move of the position), in bytes, and when
    // that was: on the wall clock for the silent device, in presented frames for the fixed
    // step.
    uint64_t start = 0;
    uint32_t startTicks = 0;
    uint64_t startFrame = 0;
} music;

BOOL fail(DWORD code) {
    lastError = code;
    return 0;
}

void feed(void*, Uint8* buffer, int length) {
    const int64_t now = DeviceClock::now();
    size_t count = 0;
    if (music.playing) {
        count = music.data.copy(size_t(music.consumed.load()), buffer, size_t(length));
        music.consumed += count;
    }
    std::memset(buffer + count, 0, size_t(length) - count);
    music.heard.handedOver(now, music.consumed.load(), uint32_t(length));
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

// Plays on from music.start. Call with the device locked (or not open).
void restartAt(uint64_t position) {
    music.start = position;
    music.startTicks = SDL_GetTicks();
    music.startFrame = platform::presentedFrames();
    music.consumed = position;
    music.heard.reset(position);
}

bool validStream(DWORD handle) {
    return handle == theStream && music.created;
}

// A byte offset of whole sample frames, never past what the stream holds.
DWORD bytesOf(uint64_t sampleFrames) {
    return DWORD(std::min<uint64_t>(sampleFrames * frameBytes, music.data.available()));
}

} // namespace

DWORD BASS_GetVersion() {
    return version;
}

DWORD BASS_ErrorGetCode() {
    return lastError;
}

BOOL BASS_Init(int device, DWORD freq, DWORD flags, HWND win) {
    if (output.initialised)
        return fail(BASS_ERROR_ALREADY);
    if (device == -2 || platform::fixedStepActive()) {
        output = Output{true, false};
        lastError = BASS_OK;
        return 1;
    }
    if (device != -1)
        return fail(BASS_ERROR_DEVICE);
    quietSoundLibrary();
    SDL_AudioSpec wanted{};
    wanted.freq = int(freq);
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = 1024;
    wanted.callback = feed;
    SDL_AudioSpec obtained{};
    if (SDL_OpenAudio(&wanted, &obtained) < 0)
        return fail(BASS_ERROR_DEVICE);
    // A device that opened at another rate, sample format or channel count would expect
    // its own format from the callback: open it again without asking what it took, and SDL
    // converts from the stream's. (Over SDL 2, SDL 1.2's layer always grants the format
    // asked for and converts by itself.) Positions stay in the stream's bytes.
    if (obtained.freq != wanted.freq || obtained.format != wanted.format ||
        obtained.channels != wanted.channels) {
        SDL_CloseAudio();
        if (SDL_OpenAudio(&wanted, nullptr) < 0)
            return fail(BASS_ERROR_FORMAT);
    }
    output = Output{true, true};
    lastError = BASS_OK;
    return 1;
}

HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, DWORD offset, DWORD length, DWORD flags) {
    if (!output.initialised)
        return fail(BASS_ERROR_INIT);
    if (mem || !file)
        return fail(BASS_ERROR_FILEOPEN);
    // The device's thread reads the stream: keep it out while the stream is replaced.
    if (output.deviceOpen)
        SDL_LockAudio();
    music.created = false;
    music.playing = false;
    music.consumed = 0;
    music.start = 0;
    const DWORD code = music.data.open(static_cast<const char*>(file));
    music.created = code == BASS_OK;
    if (output.deviceOpen)
        SDL_UnlockAudio();
    if (code != BASS_OK)
        return fail(code);
    lastError = BASS_OK;
    return theStream;
}

BOOL BASS_Start() {
    if (!output.initialised)
        return fail(BASS_ERROR_INIT);
    if (output.deviceOpen)
        SDL_PauseAudio(0);
    lastError = BASS_OK;
    return 1;
}

BOOL BASS_StreamPlay(HSTREAM handle, BOOL flush, DWORD flags) {
    if (!validStream(handle))
        return fail(BASS_ERROR_HANDLE);
    if (output.deviceOpen)
        SDL_LockAudio();
    restartAt(music.start);
    music.playing = true;
    if (output.deviceOpen)
        SDL_UnlockAudio();
    lastError = BASS_OK;
    return 1;
}

BOOL BASS_ChannelSetPosition(DWORD handle, DWORD pos) {
    if (!validStream(handle))
        return fail(BASS_ERROR_HANDLE);
    pos -= pos % frameBytes;
    music.data.waitFor(pos);
    if (pos > music.data.available())
        return fail(BASS_ERROR_POSITION);
    if (output.deviceOpen)
        SDL_LockAudio();
    restartAt(pos);
    if (output.deviceOpen)
        SDL_UnlockAudio();
    lastError = BASS_OK;
    return 1;
}

DWORD BASS_ChannelSeconds2Bytes(DWORD handle, float seconds) {
    if (!validStream(handle)) {
        lastError = BASS_ERROR_HANDLE;
        return failed;
    }
    lastError = BASS_OK;
    const double frames = double(seconds) * rate;
    return frames > 0.0 ? DWORD(uint64_t(frames) * frameBytes) : 0;
}

DWORD BASS_ChannelGetPosition(DWORD handle) {
    if (!validStream(handle)) {
        lastError = BASS_ERROR_HANDLE;
        return failed;
    }
    lastError = BASS_OK;
    if (!music.playing)
        return DWORD(music.start);
    if (platform::fixedStepActive()) {
        // Offline the position runs ahead of real time: it must not depend on how far the
        // decoder has come, so it waits for the decoder instead.
        const uint64_t frames = platform::presentedFrames() - music.startFrame;
        const uint64_t sampleFrames =
            music.start / frameBytes + frames * rate / uint64_t(platform::fixedStepRate());
        music.data.waitFor(size_t(sampleFrames * frameBytes));
        return bytesOf(sampleFrames);
    }
    if (output.deviceOpen)
        return bytesOf(music.heard.heard(DeviceClock::now()) / frameBytes);
    const uint64_t elapsed = SDL_GetTicks() - music.startTicks;
    return bytesOf(music.start / frameBytes + elapsed * rate / 1000);
}

DWORD BASS_ChannelGetData(DWORD handle, void* buffer, DWORD length) {
    if (!validStream(handle) || !buffer) {
        lastError = BASS_ERROR_HANDLE;
        return failed;
    }
    const DWORD position = BASS_ChannelGetPosition(handle);
    if (platform::fixedStepActive())
        music.data.waitFor(size_t(position) + length);
    const size_t count = music.data.copy(position, static_cast<uint8_t*>(buffer), length);
    lastError = BASS_OK;
    return DWORD(count);
}

DWORD BASS_StreamGetLength(HSTREAM handle) {
    if (!validStream(handle)) {
        lastError = BASS_ERROR_HANDLE;
        return failed;
    }
    lastError = BASS_OK;
    return DWORD(music.data.length());
}

void BASS_Free() {
    if (output.deviceOpen)
        SDL_CloseAudio();
    output = Output{};
    music.playing = false;
    music.created = false;
    music.consumed = 0;
    music.start = 0;
    music.data.close();
    lastError = BASS_OK;
}
