#include "platform/decoded_stream.hpp"

#include "platform/bass.hpp"

#include <mpg123.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <new>
#include <vector>

#if defined(__EMSCRIPTEN__)
#include <sys/stat.h>

// Given by the browser build's host: shows how far decoding has come (0 to 1) and lets
// the page have its turn now and then.
extern "C" void web_decoding_progress(double fraction);
#endif

namespace {
constexpr long rate = 44100;
constexpr size_t frameBytes = 4;     // 16-bit stereo
constexpr size_t firstPart = 176400; // one second, decoded before open returns
} // namespace

uint32_t DecodedStream::open(const char* path) {
    close();
    if (mpg123_init() != MPG123_OK)
        return BASS_ERROR_UNKNOWN;
    // The plain C decoder, always: libmpg123 would otherwise pick its synthesis by
    // processor (AVX, SSE or plain), and each rounds its samples differently, which the
    // oscilloscope would show. The plain one gives the same samples on every processor.
    int err = MPG123_OK;
    handle = mpg123_new("generic", &err);
    if (!handle)
        return err == MPG123_OUT_OF_MEM ? BASS_ERROR_MEM : BASS_ERROR_UNKNOWN;
    // These flags replace libmpg123's defaults, so gapless decoding is asked for again: a
    // file with a LAME header then loses the encoder's delay and padding, and sample n of
    // the stream is sample n of what was encoded.
    mpg123_param(handle, MPG123_FLAGS, MPG123_QUIET | MPG123_FORCE_STEREO | MPG123_GAPLESS, 0.0);
    if (mpg123_open(handle, path) != MPG123_OK) {
        close();
        return BASS_ERROR_FILEOPEN;
    }
    long nativeRate = 0;
    int channels = 0, encoding = 0;
    if (mpg123_getformat(handle, &nativeRate, &channels, &encoding) != MPG123_OK) {
        close();
        return BASS_ERROR_FILEFORM;
    }
    // Only 16-bit stereo at 44100 Hz comes out: mono is duplicated, other rates are
    // resampled (which costs time, so only when needed). The format is fixed at open, so
    // the file is opened again once its rate is known.
    mpg123_close(handle);
    if (nativeRate != rate)
        mpg123_param(handle, MPG123_FORCE_RATE, rate, 0.0);
    mpg123_format_none(handle);
    mpg123_format(handle, rate, MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_open(handle, path) != MPG123_OK) {
        close();
        return BASS_ERROR_FILEOPEN;
    }
    blocks.reset(new (std::nothrow) std::unique_ptr<uint8_t[]>[maxBlocks]);
    if (!blocks) {
        close();
        return BASS_ERROR_MEM;
    }
    if (!decodeUntil(firstPart) || available() == 0) {
        close();
        return BASS_ERROR_FILEFORM;
    }
    if (finished())
        return BASS_OK;
#if defined(__EMSCRIPTEN__)
    // The browser build has no threads: the rest is decoded now, a second at a time, with
    // the page told how far the file has been read in between. A decoding error ends the
    // stream where it occurs, as on the worker.
    struct stat file {};
    const double fileBytes =
        stat(path, &file) == 0 && file.st_size > 0 ? double(file.st_size) : 1.0;
    while (!finished() && decodeUntil(written + firstPart))
        if (handle)
            web_decoding_progress(std::min(1.0, double(mpg123_tell_stream(handle)) / fileBytes));
    finish();
#else
    worker = std::thread([this] {
        decodeUntil(SIZE_MAX);
        finish();
    });
#endif
    return BASS_OK;
}

bool DecodedStream::decodeUntil(size_t limit) {
    std::vector<uint8_t> chunk(65536);
    while (written < limit && !stopping.load(std::memory_order_relaxed)) {
        size_t count = 0;
        const int result = mpg123_read(handle, chunk.data(), chunk.size(), &count);
        if (count && !append(chunk.data(), count))
            return false;
        if (result == MPG123_DONE) {
            finish();
            return true;
        }
        if (result != MPG123_OK && result != MPG123_NEW_FORMAT)
            return false;
    }
    return true;
}

bool DecodedStream::append(const uint8_t* data, size_t count) {
    while (count) {
        const size_t block = written / blockBytes, at = written % blockBytes;
        if (block >= maxBlocks)
            return false;
        if (!blocks[block]) {
            blocks[block].reset(new (std::nothrow) uint8_t[blockBytes]);
            if (!blocks[block])
                return false;
        }
        const size_t n = std::min(count, blockBytes - at);
        std::memcpy(blocks[block].get() + at, data, n);
        written += n;
        data += n;
        count -= n;
    }
    // Only whole sample frames are published.
    decoded.store(written / frameBytes * frameBytes, std::memory_order_release);
    return true;
}

void DecodedStream::finish() {
    if (handle) {
        mpg123_close(handle);
        mpg123_delete(handle);
        handle = nullptr;
    }
    done.store(true, std::memory_order_release);
}

void DecodedStream::close() {
    stopping = true;
    if (worker.joinable())
        worker.join();
    if (handle) {
        mpg123_close(handle);
        mpg123_delete(handle);
        handle = nullptr;
    }
    blocks.reset();
    written = 0;
    decoded = 0;
    done = false;
    stopping = false;
}

size_t DecodedStream::length() {
    if (worker.joinable())
        worker.join();
    return available();
}

void DecodedStream::waitFor(size_t bytes) const {
    while (available() < bytes && !finished())
        std::this_thread::sleep_for(std::chrono::microseconds(200));
}

size_t DecodedStream::copy(size_t offset, uint8_t* out, size_t count) const {
    const size_t end = available();
    if (offset >= end)
        return 0;
    count = std::min(count, end - offset);
    for (size_t left = count; left;) {
        const size_t block = offset / blockBytes, at = offset % blockBytes;
        const size_t n = std::min(left, blockBytes - at);
        std::memcpy(out, blocks[block].get() + at, n);
        out += n;
        offset += n;
        left -= n;
    }
    return count;
}
