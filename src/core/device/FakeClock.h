#pragma once

#include "core/device/Clock.h"

#include <cstdint>
#include <vector>

namespace kestrel {

// A clock for tests and benchmarks: nothing waits, virtual time advances by the
// pauses asked for and by the busy loops run (at a chosen cost per iteration).
class FakeClock : public Clock {
public:
    // Virtual nanoseconds one busy-loop iteration costs; 0.1 ns makes 10^8 iterations 10 ms.
    double nanosecondsPerIteration = 0.1;
    std::vector<std::uint32_t> sleeps; // every pause asked for, in ms
    std::int64_t busyIterations = 0;
    int highResolutionDepth = 0;

    void sleepMs(std::uint32_t ms) override
    {
        sleeps.push_back(ms);
        nowNs_ += static_cast<double>(ms) * 1e6;
    }
    std::uint32_t milliseconds() override { return static_cast<std::uint32_t>(static_cast<std::uint64_t>(nowNs_ / 1e6)); }
    void beginHighResolution() override { ++highResolutionDepth; }
    void endHighResolution() override { --highResolutionDepth; }
    void busyLoop(std::int64_t iterations) override
    {
        busyIterations += iterations;
        nowNs_ += static_cast<double>(iterations) * nanosecondsPerIteration;
    }

    // Virtual time since construction.
    double nowNanoseconds() const { return nowNs_; }
    void advanceMs(double ms) { nowNs_ += ms * 1e6; }
    std::uint64_t totalSleepMs() const
    {
        std::uint64_t sum = 0;
        for (auto s : sleeps)
            sum += s;
        return sum;
    }

private:
    double nowNs_ = 0.0;
};

} // namespace kestrel
