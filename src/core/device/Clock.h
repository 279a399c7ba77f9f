#pragma once

#include <cstdint>

namespace kestrel {

// Everything on the device side that waits goes through this: fixed pauses, the
// millisecond timer of the bit-delay calibration, and the busy loop itself.
class Clock {
public:
    virtual ~Clock() = default;
    // Blocks for the given milliseconds (Sleep).
    virtual void sleepMs(std::uint32_t milliseconds) = 0;
    // A free-running millisecond counter (timeGetTime); wraps at 2^32.
    virtual std::uint32_t milliseconds() = 0;
    // Timer resolution of 1 ms around the calibration (timeBeginPeriod / timeEndPeriod).
    virtual void beginHighResolution() {}
    virtual void endHighResolution() {}
    // Runs the calibrated busy loop: `iterations` rounds of a loop the compiler cannot remove.
    virtual void busyLoop(std::int64_t iterations) = 0;
};

// The real clock: sleeps, a steady millisecond counter, a volatile-counter busy loop.
class SystemClock : public Clock {
public:
    void sleepMs(std::uint32_t milliseconds) override;
    std::uint32_t milliseconds() override;
    void beginHighResolution() override;
    void endHighResolution() override;
    void busyLoop(std::int64_t iterations) override;
};

} // namespace kestrel
