#pragma once
// The playing position of a sound device that takes the stream in buffers through a
// callback. Read only at the callbacks, it would move in steps of a whole buffer (23 ms
// for 1024 sample frames); instead it advances with a monotonic clock at the stream's
// rate, and every callback anchors it again to what the device has taken, so that the
// device's own clock governs over minutes.
//
// One callback thread writes, one program thread reads: the anchor is published under a
// sequence count, so the callback never waits for the reader.

#include <atomic>
#include <cstdint>

class DeviceClock {
public:
    // The stream starts (again) at byte `fromBytes`, nothing handed over yet: positions are
    // `fromBytes` until the next callback. Call while no callback runs (the device locked or
    // not started).
    void reset(uint64_t fromBytes = 0);

    // From the callback that began at `nowNs`, having just handed the device a buffer of
    // `bufferBytes`: `givenBytes` is where what it has been handed ends in the stream.
    void handedOver(int64_t nowNs, uint64_t givenBytes, uint32_t bufferBytes);

    // The byte offset of the sample being heard at `nowNs`, in whole sample frames: never
    // less than an earlier answer, never more than the device has been given.
    uint64_t heard(int64_t nowNs);

    // Nanoseconds of the monotonic clock that the positions follow.
    static int64_t now();

private:
    void publish(int64_t atNs, double startBytes, uint64_t givenBytes);

    // The anchor: at `anchorNs` the sample heard was `start`, and what the device had been
    // given ended at byte `given`.
    std::atomic<uint32_t> sequence{0}; // odd while the callback writes the anchor
    std::atomic<int64_t> anchorNs{0};
    std::atomic<double> start{0};
    std::atomic<uint64_t> given{0};

    // The callback's own: where the last callbacks put the sample heard, less the
    // stream's progress since the first of them, in bytes.
    static constexpr int window = 16;
    double leads[window] = {};
    int callbacks = 0;
    int64_t firstNs = 0;

    uint64_t lastHeard = 0; // the reader's own
};
