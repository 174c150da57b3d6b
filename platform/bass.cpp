// The audio library's calls on SDL audio and libmpg123.

#include "platform/bass.hpp"

#include "platform/clock.hpp"

#include <SDL/SDL.h>
#include <mpg123.h>

#include <atomic>
#include <cstring>
#include <vector>

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
    DWORD queuedBytes = 0;   // one device buffer: what is consumed but not yet heard
} output;

struct Stream {
    std::vector<uint8_t> data; // decoded 16-bit stereo at 44100 Hz
    bool created = false;
    std::atomic<bool> playing{false};
    std::atomic<uint64_t> consumed{0}; // bytes handed to the device so far
    uint32_t playTicks = 0;            // wall clock at play, for the silent device
    uint64_t playFrame = 0;            // presented frames at play, for the fixed step
} music;

BOOL fail(DWORD code) {
    lastError = code;
    return 0;
}

void feed(void*, Uint8* buffer, int length) {
    const size_t total = music.data.size();
    size_t at = music.playing ? size_t(music.consumed.load()) : total;
    const size_t count = at < total ? std::min(total - at, size_t(length)) : 0;
    if (count) std::memcpy(buffer, music.data.data() + at, count);
    std::memset(buffer + count, 0, size_t(length) - count);
    if (count) music.consumed += count;
}

// The whole file decoded to 16-bit stereo at 44100 Hz; mpg123 resamples and duplicates
// mono channels as needed. Returns a BASS error code.
DWORD decode(const char* path, std::vector<uint8_t>& out) {
    if (mpg123_init() != MPG123_OK) return BASS_ERROR_UNKNOWN;
    int err = MPG123_OK;
    mpg123_handle* handle = mpg123_new(nullptr, &err);
    if (!handle) return BASS_ERROR_MEM;
    mpg123_param(handle, MPG123_FLAGS, MPG123_QUIET | MPG123_FORCE_STEREO, 0.0);
    mpg123_param(handle, MPG123_FORCE_RATE, rate, 0.0);
    mpg123_format_none(handle);
    mpg123_format(handle, rate, MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_open(handle, path) != MPG123_OK) {
        mpg123_delete(handle);
        return BASS_ERROR_FILEOPEN;
    }
    out.clear();
    std::vector<uint8_t> chunk(65536);
    for (;;) {
        size_t done = 0;
        const int result = mpg123_read(handle, chunk.data(), chunk.size(), &done);
        out.insert(out.end(), chunk.data(), chunk.data() + done);
        if (result == MPG123_DONE) break;
        if (result != MPG123_OK && result != MPG123_NEW_FORMAT) {
            out.clear();
            break;
        }
    }
    mpg123_close(handle);
    mpg123_delete(handle);
    out.resize(out.size() / frameBytes * frameBytes);
    return out.empty() ? BASS_ERROR_FILEFORM : BASS_OK;
}

bool validStream(DWORD handle) {
    return handle == theStream && music.created;
}

DWORD bytesOf(uint64_t sampleFrames) {
    const uint64_t bytes = sampleFrames * frameBytes;
    return DWORD(std::min<uint64_t>(bytes, music.data.size()));
}

} // namespace

DWORD BASS_GetVersion() {
    return version;
}

DWORD BASS_ErrorGetCode() {
    return lastError;
}

BOOL BASS_Init(int device, DWORD freq, DWORD flags, HWND win) {
    if (output.initialised) return fail(BASS_ERROR_ALREADY);
    if (device == -2 || platform::fixedStepActive()) {
        output = Output{true, false, 0};
        lastError = BASS_OK;
        return 1;
    }
    if (device != -1) return fail(BASS_ERROR_DEVICE);
    SDL_AudioSpec wanted{};
    wanted.freq = int(freq);
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = 1024;
    wanted.callback = feed;
    SDL_AudioSpec obtained{};
    if (SDL_OpenAudio(&wanted, &obtained) < 0) return fail(BASS_ERROR_DEVICE);
    // Formats other than the one asked for are not converted here: refuse them.
    if (obtained.freq != int(freq) || obtained.format != AUDIO_S16SYS || obtained.channels != 2) {
        SDL_CloseAudio();
        return fail(BASS_ERROR_FORMAT);
    }
    output = Output{true, true, DWORD(obtained.samples) * frameBytes};
    lastError = BASS_OK;
    return 1;
}

HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, DWORD offset, DWORD length, DWORD flags) {
    if (!output.initialised) return fail(BASS_ERROR_INIT);
    if (mem || !file) return fail(BASS_ERROR_FILEOPEN);
    std::vector<uint8_t> decoded;
    const DWORD code = decode(static_cast<const char*>(file), decoded);
    if (code != BASS_OK) return fail(code);
    if (output.deviceOpen) SDL_LockAudio();
    music.data.swap(decoded);
    music.created = true;
    music.playing = false;
    music.consumed = 0;
    if (output.deviceOpen) SDL_UnlockAudio();
    lastError = BASS_OK;
    return theStream;
}

BOOL BASS_Start() {
    if (!output.initialised) return fail(BASS_ERROR_INIT);
    if (output.deviceOpen) SDL_PauseAudio(0);
    lastError = BASS_OK;
    return 1;
}

BOOL BASS_StreamPlay(HSTREAM handle, BOOL flush, DWORD flags) {
    if (!validStream(handle)) return fail(BASS_ERROR_HANDLE);
    music.playTicks = SDL_GetTicks();
    music.playFrame = platform::presentedFrames();
    music.consumed = 0;
    music.playing = true;
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
    if (!music.playing) return 0;
    if (platform::fixedStepActive()) {
        const uint64_t frames = platform::presentedFrames() - music.playFrame;
        return bytesOf(frames * rate / uint64_t(platform::fixedStepRate()));
    }
    if (output.deviceOpen) {
        // What the device has taken minus what still waits in its buffer.
        const uint64_t consumed = music.consumed.load();
        return consumed > output.queuedBytes ? bytesOf((consumed - output.queuedBytes) / frameBytes)
                                             : 0;
    }
    const uint64_t elapsed = SDL_GetTicks() - music.playTicks;
    return bytesOf(elapsed * rate / 1000);
}

DWORD BASS_ChannelGetData(DWORD handle, void* buffer, DWORD length) {
    if (!validStream(handle) || !buffer) {
        lastError = BASS_ERROR_HANDLE;
        return failed;
    }
    const DWORD position = BASS_ChannelGetPosition(handle);
    const size_t total = music.data.size();
    const size_t count = position < total ? std::min<size_t>(length, total - position) : 0;
    std::memcpy(buffer, music.data.data() + position, count);
    lastError = BASS_OK;
    return DWORD(count);
}

DWORD BASS_StreamGetLength(HSTREAM handle) {
    if (!validStream(handle)) {
        lastError = BASS_ERROR_HANDLE;
        return failed;
    }
    lastError = BASS_OK;
    return DWORD(music.data.size());
}

void BASS_Free() {
    if (output.deviceOpen) SDL_CloseAudio();
    output = Output{};
    music.playing = false;
    music.created = false;
    music.consumed = 0;
    std::vector<uint8_t>().swap(music.data);
    lastError = BASS_OK;
}
