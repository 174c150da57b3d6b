// The audio library's calls over a sound device (platform/sound_device.hpp) and libmpg123.

#include "platform/bass.hpp"

#include "platform/clock.hpp"
#include "platform/decoded_stream.hpp"
#include "platform/sound_device.hpp"

#include <SDL/SDL.h>

#include <algorithm>

namespace {

constexpr DWORD version = 0x80001;
constexpr DWORD failed = 0xFFFFFFFF;
constexpr int rate = 44100;
constexpr DWORD frameBytes = 4; // 16-bit stereo
constexpr HSTREAM theStream = 1;

DWORD lastError = BASS_OK;

struct Output {
    bool initialised = false;
    bool deviceOpen = false; // a sound device is playing, and its position counts
} output;

struct Stream {
    DecodedStream data;
    bool created = false;
    bool playing = false;
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

// Plays on from byte `position` of the stream, on the device too when one is open.
void restartAt(uint64_t position) {
    music.start = position;
    music.startTicks = SDL_GetTicks();
    music.startFrame = platform::presentedFrames();
    if (output.deviceOpen && music.playing)
        sound_device::play(&music.data, position);
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
    if (const DWORD code = sound_device::open(int(freq)); code != BASS_OK)
        return fail(code);
    output = Output{true, true};
    lastError = BASS_OK;
    return 1;
}

HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, DWORD offset, DWORD length, DWORD flags) {
    if (!output.initialised)
        return fail(BASS_ERROR_INIT);
    if (mem || !file)
        return fail(BASS_ERROR_FILEOPEN);
    if (output.deviceOpen)
        sound_device::play(nullptr, 0);
    music.created = false;
    music.playing = false;
    music.start = 0;
    const DWORD code = music.data.open(static_cast<const char*>(file));
    music.created = code == BASS_OK;
    if (code != BASS_OK)
        return fail(code);
    lastError = BASS_OK;
    return theStream;
}

BOOL BASS_Start() {
    if (!output.initialised)
        return fail(BASS_ERROR_INIT);
    if (output.deviceOpen && !sound_device::start()) {
        sound_device::close();
        output.deviceOpen = false;
    }
    lastError = BASS_OK;
    return 1;
}

BOOL BASS_StreamPlay(HSTREAM handle, BOOL flush, DWORD flags) {
    if (!validStream(handle))
        return fail(BASS_ERROR_HANDLE);
    music.playing = true;
    restartAt(music.start);
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
    restartAt(pos);
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
        return bytesOf(sound_device::heard() / frameBytes);
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
    sound_device::close();
    output = Output{};
    music.playing = false;
    music.created = false;
    music.start = 0;
    music.data.close();
    lastError = BASS_OK;
}
