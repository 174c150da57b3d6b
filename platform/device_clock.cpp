#include "platform/device_clock.hpp"

#include <algorithm>
#include <chrono>
#include <thread>

namespace {
constexpr double bytesPerNs = 44100 * 4 / 1e9; // the decoded stream's, 16-bit stereo
constexpr uint64_t frameBytes = 4;
} // namespace

int64_t DeviceClock::now() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void DeviceClock::reset(uint64_t fromBytes) {
    callbacks = 0;
    publish(now(), double(fromBytes), fromBytes);
    lastHeard = fromBytes;
}

void DeviceClock::handedOver(int64_t nowNs, uint64_t givenBytes, uint32_t bufferBytes) {
    if (callbacks == 0)
        firstNs = nowNs;
    // At a callback the device has just been handed the buffer that it plays after the one
    // it is playing, so the sample heard lies one buffer before the end of what it has
    // been given. Accounted for: that one buffer, the only one SDL 1.2 tells of (the size
    // of each callback's buffer). Not accounted for: what the system holds beyond it
    // (ALSA's ring buffer, a sound server's latency such as PulseAudio's or PipeWire's,
    // SDL's rate converter when the device runs at another rate, the sound card's own
    // delay): the sound is heard that much later than the position says, by an amount
    // that does not grow.
    const double since = bytesPerNs * double(nowNs - firstNs);
    leads[callbacks % window] = double(givenBytes) - double(bufferBytes) - since;
    ++callbacks;
    // The lowest of the last 16 (0.37 s): a callback hands a buffer over no later than the
    // device needs it, and some hand it over well before, in bursts (SDL 2 under SDL 1.2's
    // layer filling a device buffer of another size with several of ours) or at an
    // irregular pace (a sound server whose period is not ours). Those would put the
    // sample heard too far on and are passed over, while a device that falls behind moves
    // the line at once. A callback that is late only because its thread woke late holds
    // the line back by as much until it leaves the window.
    const int n = std::min(callbacks, window);
    publish(nowNs, *std::min_element(leads, leads + n) + since, givenBytes);
}

void DeviceClock::publish(int64_t atNs, double startBytes, uint64_t givenBytes) {
    const uint32_t count = sequence.load(std::memory_order_relaxed);
    sequence.store(count + 1, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    anchorNs.store(atNs, std::memory_order_relaxed);
    start.store(startBytes, std::memory_order_relaxed);
    given.store(givenBytes, std::memory_order_relaxed);
    sequence.store(count + 2, std::memory_order_release);
}

uint64_t DeviceClock::heard(int64_t nowNs) {
    int64_t at = 0;
    double from = 0;
    uint64_t total = 0;
    for (;;) {
        const uint32_t before = sequence.load(std::memory_order_acquire);
        at = anchorNs.load(std::memory_order_relaxed);
        from = start.load(std::memory_order_relaxed);
        total = given.load(std::memory_order_relaxed);
        std::atomic_thread_fence(std::memory_order_acquire);
        if (!(before & 1) && sequence.load(std::memory_order_relaxed) == before)
            break;
        std::this_thread::yield(); // the callback is between its stores
    }
    // From the anchor at the stream's rate, in whole sample frames; a device that has not
    // called back in time holds the position at what it has been given rather than let it
    // run ahead, and an anchor behind an earlier answer holds it there.
    const double ahead = from + bytesPerNs * double(std::max<int64_t>(nowNs - at, 0));
    const uint64_t position = ahead > 0 ? uint64_t(ahead) / frameBytes * frameBytes : 0;
    lastHeard = std::max(lastHeard, std::min(position, total));
    return lastHeard;
}
