#pragma once
// An mp3 file decoded to 16-bit stereo at 44100 Hz. The first second is decoded when the
// stream opens (so a file that cannot be decoded is refused at once); a worker thread
// decodes the rest while the program goes on loading (in the browser build, which has no
// threads, open decodes it all). Decoded bytes are stored in blocks
// that never move, so the audio thread and the program can read what is published while
// the worker appends.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <thread>

class DecodedStream {
public:
    DecodedStream() = default;
    DecodedStream(const DecodedStream&) = delete;
    DecodedStream& operator=(const DecodedStream&) = delete;
    ~DecodedStream() { close(); }

    // 0 on success, else the audio library's error code (file missing, not decodable).
    uint32_t open(const char* path);
    // Stops the worker and frees every block.
    void close();

    // Bytes decoded so far; the whole length once finished() is true.
    size_t available() const { return decoded.load(std::memory_order_acquire); }
    bool finished() const { return done.load(std::memory_order_acquire); }
    // Waits for the worker, then returns the whole length.
    size_t length();
    // Waits until `bytes` are decoded or the stream has ended.
    void waitFor(size_t bytes) const;
    // Copies up to `count` bytes from `offset`, never past what is decoded; returns the count.
    size_t copy(size_t offset, uint8_t* out, size_t count) const;

private:
    static constexpr size_t blockBytes = size_t(1) << 20;
    static constexpr size_t maxBlocks = 4096;

    // Appends decoded bytes; false when the stream is full or memory runs out.
    bool append(const uint8_t* data, size_t count);
    // Decodes until `limit` bytes are published or the file ends; false on a decoding error.
    bool decodeUntil(size_t limit);
    void finish();

    std::unique_ptr<std::unique_ptr<uint8_t[]>[]> blocks;
    size_t written = 0; // owned by whoever decodes: bytes appended, published or not
    std::atomic<size_t> decoded{0};
    std::atomic<bool> done{false};
    std::atomic<bool> stopping{false};
    struct mpg123_handle_struct* handle = nullptr;
    std::thread worker;
};
