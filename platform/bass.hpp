#pragma once
// The audio library's calls, as the show makes them, on a sound device (SDL audio; Web
// Audio in the browser) and libmpg123.
// The whole mp3 is decoded up front to 16-bit stereo at 44100 Hz; positions and lengths
// are byte offsets into that decoded stream (4 bytes per sample frame).
//
// Under the fixed step (platform::useFixedStep in platform/clock.hpp, which demo-capture
// and some tests turn on) three calls behave otherwise, as noted at each: BASS_Init opens
// no device, the position follows the presented frames instead of time, and both the
// position and the sample data wait for the decoder to get that far.

#include <cstdint>

using DWORD = uint32_t;
using BOOL = int;
using HSTREAM = DWORD;
using HWND = void*;

// Error codes reported by BASS_ErrorGetCode.
enum : DWORD {
    BASS_OK = 0,
    BASS_ERROR_MEM = 1,
    BASS_ERROR_FILEOPEN = 2,
    BASS_ERROR_DRIVER = 3,
    BASS_ERROR_HANDLE = 5,
    BASS_ERROR_FORMAT = 6,
    BASS_ERROR_POSITION = 7,
    BASS_ERROR_INIT = 8,
    BASS_ERROR_START = 9,
    BASS_ERROR_ALREADY = 14,
    BASS_ERROR_NOPLAY = 24,
    BASS_ERROR_DEVICE = 23,
    BASS_ERROR_FILEFORM = 41,
    BASS_ERROR_UNKNOWN = 0xFFFFFFFF,
};

// 0x80001: version 1.8.
DWORD BASS_GetVersion();
// The code of the last failure, 0 when the last call succeeded.
DWORD BASS_ErrorGetCode();
// Device -1 opens the default output for `freq` 16-bit stereo, which SDL (or the browser)
// converts when the device plays another format; device -2 opens nothing and always succeeds, its
// position then follows the wall clock. Under the fixed step every device is taken as -2.
BOOL BASS_Init(int device, DWORD freq, DWORD flags, HWND win);
// mem must be 0 and `file` a path; offset and length 0 take the whole file.
// Returns 0 when the file is missing or cannot be decoded.
HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, DWORD offset, DWORD length, DWORD flags);
BOOL BASS_Start();
// Plays from the position that BASS_ChannelSetPosition set, the stream's start otherwise.
BOOL BASS_StreamPlay(HSTREAM handle, BOOL flush, DWORD flags);
// Moves the position to `pos` bytes, rounded down to whole sample frames: a playing stream
// goes on from there at once, one not yet playing starts there. Waits until the decoder has
// reached it; fails with BASS_ERROR_POSITION past the end of the stream.
BOOL BASS_ChannelSetPosition(DWORD handle, DWORD pos);
// Whole sample frames: always a multiple of 4 bytes.
DWORD BASS_ChannelSeconds2Bytes(DWORD handle, float seconds);
// The byte offset of the sample being heard; before play where play will start (0 unless
// BASS_ChannelSetPosition moved it), 0xFFFFFFFF on failure,
// never past the end of the stream. On a sound device it moves on between the device's
// callbacks with the monotonic clock, never back. Under the fixed step it is the frames
// presented since BASS_StreamPlay times 1/fps of a second, whole sample frames, and the
// call waits until the decoder has reached it.
DWORD BASS_ChannelGetPosition(DWORD handle);
// Copies up to `length` decoded bytes at the current position; fewer near the end.
// Returns the count, or 0xFFFFFFFF on failure. Under the fixed step it waits until the
// decoder has reached the end of those bytes; otherwise it copies what is decoded so far.
DWORD BASS_ChannelGetData(DWORD handle, void* buffer, DWORD length);
// The decoded stream's length in bytes, 0xFFFFFFFF for an invalid handle.
DWORD BASS_StreamGetLength(HSTREAM handle);
// Stops and releases everything; harmless when nothing was initialised.
void BASS_Free();
