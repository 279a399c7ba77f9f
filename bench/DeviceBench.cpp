// A full read of the reader device through the bit-level simulation: once on virtual
// time with no bit delay (what the bus master and the simulated device cost), and once
// on the real clock with the calibrated delay, against the least time the protocol
// allows (its fixed pauses plus two bit delays per bit). The read ends with the proof
// that the device is still there (its address acknowledged, then a stop), which the
// floor leaves out; end_check_ms is what that proof costs on the real clock.
#include "core/demo/DemoImage.h"
#include "core/device/Clock.h"
#include "core/device/FakeClock.h"
#include "core/device/i2c/TI2C.h"
#include "core/device/reader/ReaderDeviceTransfer.h"
#include "core/device/sim/SimulatedLptPort.h"
#include "core/device/sim/SimulatedReaderDevice.h"
#include "core/ui/ScriptedUserInterface.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <vector>

namespace kestrel {
namespace {

constexpr std::uint16_t kPort = 0x378;
constexpr double kBitsPerByte = 9.0;        // eight data bits and the acknowledge
constexpr double kDelaysPerBit = 2.0;
constexpr double kTransactions = 128.0;     // 32 KiB in reads of 256 bytes
// Each transaction also sends 0xAE, two address bytes and 0xAF, and ends with a
// no-acknowledge bit.
constexpr double kBusBitsPerTransaction = 4 * kBitsPerByte + 1;
constexpr double kPausesPerReadMs = 500 + 500 + 500 + 1 + 1 + 500; // before, InitBus (with its stop), after
constexpr double kPausesPerTransactionMs = 2; // around the start condition

// The simulated device and the bus master on it, on the given clock.
struct Link {
    explicit Link(Clock& clock)
        : device(makeDemoImage(1), SimulatedFaults{}, clock), lpt(kPort, device), bus(lpt, clock, ui),
          transfer(bus, clock, ui)
    {
        bus.BaseAddress = kPort;
    }
    ScriptedUserInterface ui;
    SimulatedReaderDevice device;
    SimulatedLptPort lpt;
    TI2C bus;
    ReaderDeviceTransfer transfer;
};

void BM_ReadDevice_VirtualTimeNoBitDelay(benchmark::State& state)
{
    FakeClock clock;
    auto link = std::make_unique<Link>(clock);
    link->bus.DelayLoops = 0;
    std::vector<std::uint8_t> buffer(kImageSize);
    for (auto _ : state) {
        if (!link->transfer.readDevice(0, buffer))
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(buffer.data());
    }
    state.counters["port_accesses"] = static_cast<double>(link->lpt.reads + link->lpt.writes)
        / static_cast<double>(state.iterations());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(kImageSize));
}
BENCHMARK(BM_ReadDevice_VirtualTimeNoBitDelay)->Unit(benchmark::kMillisecond);

// Nanoseconds one round of the real busy loop takes, measured on the fine clock: the
// quickest of several runs, as the calibration takes it, so that another program's
// turn on the processor does not raise the floor.
double nanosecondsPerLoopRound(SystemClock& clock)
{
    constexpr std::int64_t rounds = 100'000'000;
    constexpr int runs = 5;
    double best = 0;
    for (int run = 0; run < runs; ++run) {
        const auto t0 = std::chrono::steady_clock::now();
        clock.busyLoop(rounds);
        const auto t1 = std::chrono::steady_clock::now();
        const double ns = static_cast<double>(std::chrono::duration_cast<std::chrono::nanoseconds>(t1 - t0).count())
            / static_cast<double>(rounds);
        if (run == 0 || ns < best)
            best = ns;
    }
    return best;
}

void BM_ReadDevice_RealClockAgainstFloor(benchmark::State& state)
{
    SystemClock clock;
    auto link = std::make_unique<Link>(clock);
    const double roundNs = nanosecondsPerLoopRound(clock);
    const double delayUs = link->bus.DelayLoops * roundNs / 1000.0;
    const double busBits = static_cast<double>(kImageSize) * kBitsPerByte + kTransactions * kBusBitsPerTransaction;
    const double floorMs = kPausesPerReadMs + kTransactions * kPausesPerTransactionMs
        + busBits * kDelaysPerBit * delayUs / 1000.0;

    // The same read on virtual time counts every pause and delay the bus master really
    // makes (retries and the delays around start conditions included): the real
    // clock's time without the cost of the port accesses.
    double countedMs = 0;
    {
        FakeClock virtualClock;
        Link counted(virtualClock);
        counted.bus.DelayLoops = link->bus.DelayLoops;
        const auto iterationsBefore = virtualClock.busyIterations;
        std::vector<std::uint8_t> scratch(kImageSize);
        counted.transfer.readDevice(0, scratch);
        countedMs = static_cast<double>(virtualClock.totalSleepMs())
            + static_cast<double>(virtualClock.busyIterations - iterationsBefore) * roundNs / 1e6;
    }

    // The proof at the end of the read, on a device that answers at once.
    double endCheckMs = 0;
    {
        const auto t0 = std::chrono::steady_clock::now();
        const bool answered = link->bus.StartAddress(0xAE);
        link->bus.Stop();
        endCheckMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
        if (!answered)
            state.SkipWithError("the device did not answer");
    }

    std::vector<std::uint8_t> buffer(kImageSize);
    double wallMs = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        if (!link->transfer.readDevice(0, buffer))
            state.SkipWithError("read failed");
        const auto t1 = std::chrono::steady_clock::now();
        wallMs += std::chrono::duration<double, std::milli>(t1 - t0).count();
        benchmark::DoNotOptimize(buffer.data());
    }
    wallMs /= static_cast<double>(state.iterations());
    state.counters["delay_loops"] = link->bus.DelayLoops;
    state.counters["bit_delay_us"] = delayUs;
    state.counters["floor_ms"] = floorMs;
    state.counters["counted_ms"] = countedMs;
    state.counters["end_check_ms"] = endCheckMs;
    state.counters["wall_ms"] = wallMs;
    state.counters["over_floor_pct"] = (wallMs / floorMs - 1.0) * 100.0;
}
BENCHMARK(BM_ReadDevice_RealClockAgainstFloor)->Iterations(1)->Unit(benchmark::kMillisecond);

// The bit-delay calibration on the real clock: five runs of the 10^8-round loop, once
// per program start.
void BM_Calibration(benchmark::State& state)
{
    SystemClock clock;
    SimulatedReaderDevice device(makeDemoImage(1), SimulatedFaults{}, clock);
    SimulatedLptPort lpt(kPort, device);
    ScriptedUserInterface ui;
    std::int32_t loops = 0;
    for (auto _ : state) {
        TI2C bus(lpt, clock, ui);
        loops = bus.DelayLoops;
    }
    state.counters["delay_loops"] = loops;
}
BENCHMARK(BM_Calibration)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kestrel
