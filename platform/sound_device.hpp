#pragma once
// The sound device under the audio library's calls: it plays the decoded stream from a
// byte of it and tells which byte of it is being heard. platform/sdl_sound_device.cpp is
// SDL audio; the browser build has its own over Web Audio (web/sound/).

#include <cstdint>

class DecodedStream;

namespace sound_device {

// Opens the default output for 16-bit stereo at `rate` samples a second; it plays
// silence until `play`. 0, or the audio library's error code when there is no device
// (BASS_ERROR_DEVICE) or it does not take the format (BASS_ERROR_FORMAT).
uint32_t open(int rate);
// Output runs from now on. False when it cannot run; the position then follows the wall
// clock as without a device.
bool start();
// Plays `stream` from byte `from` (whole sample frames), which is heard until the device
// reports more; null stops playing (while the stream is replaced).
void play(const DecodedStream* stream, uint64_t from);
// The byte offset in the stream of the sample being heard: whole sample frames, never less
// than an earlier answer since `play`.
uint64_t heard();
// Closes the device; harmless when none is open.
void close();

} // namespace sound_device
