// The reader device on a USB-to-I2C adapter, through the simulated adapter of each
// profile: a full 32 KiB read and the write-back of the configuration area (757 bytes
// at 0x60B). Modelled time is what the bus and the adapter's USB round trips would
// take; the floor is the least the profile allows for the same plan (9 bits per byte,
// start, address bytes and stop, plus its latency per transfer; for the write-back the
// device's 5 ms write cycle per page as well). cpu_share is the processor time of the
// simulation and the transfer logic against the modelled time.
#include "core/demo/DemoImage.h"
#include "core/device/FakeClock.h"
#include "core/device/i2cdev/I2cMemoryBus.h"
#include "core/device/i2cdev/SimulatedI2cAdapter.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <vector>

namespace kestrel {
namespace {

constexpr std::uint16_t kWriteStart = 0x60B;
constexpr std::size_t kWriteCount = 757;

double transferMicroseconds(const I2cSimProfile& profile, std::initializer_list<std::size_t> messageLengths)
{
    double bits = 1.0; // the stop
    for (auto length : messageLengths)
        bits += 1.0 + 9.0 + 9.0 * static_cast<double>(length);
    return profile.latencyUs + bits * 1e6 / profile.clockHz;
}

// A full read in chunks as large as the adapter and the 128-byte reads of the EEPROM
// driver allow, and the 1-byte proof at the end.
double readFloorMs(const I2cSimProfile& profile, double& transfers)
{
    const std::size_t chunk = std::min<std::size_t>(128, profile.maxRead);
    double us = 0.0;
    transfers = 0.0;
    for (std::size_t done = 0; done < kImageSize; done += chunk) {
        us += transferMicroseconds(profile, {2, std::min(chunk, kImageSize - done)});
        ++transfers;
    }
    us += transferMicroseconds(profile, {1});
    ++transfers;
    return us / 1000.0;
}

// Each page once (in as many writes as the adapter's message size needs), each write
// followed by its write cycle and one acknowledged poll.
double writeFloorMs(const I2cSimProfile& profile, double busyMs)
{
    const std::size_t piece = std::min(kReaderPageSize, profile.maxWrite - 2);
    double us = 0.0;
    for (std::size_t done = 0; done < kWriteCount;) {
        const std::size_t address = kWriteStart + done;
        const std::size_t inPage =
            std::min({kReaderPageSize - address % kReaderPageSize, kWriteCount - done, piece});
        us += transferMicroseconds(profile, {2 + inPage}) + busyMs * 1000.0 + transferMicroseconds(profile, {1});
        done += inPage;
    }
    return us / 1000.0 + transferMicroseconds(profile, {1}) / 1000.0;
}

double processorSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

void BM_FullRead(benchmark::State& state)
{
    const auto kind = static_cast<AdapterKind>(state.range(0));
    const MemoryImage image = makeDemoImage(1);
    I2cSimSelection selection;
    selection.profile = kind;
    std::vector<std::uint8_t> buffer(kImageSize);
    double modelledMs = 0.0, ioctls = 0.0, cpu = 0.0;
    for (auto _ : state) {
        FakeClock clock;
        SimulatedI2cAdapter adapter(image, selection, clock);
        I2cMemoryBus bus(adapter, clock, "/dev/i2c-sim", kind);
        const double startCpu = processorSeconds();
        bus.open();
        bus.read(0, buffer);
        bus.confirmAnswers("ПСИ не отвечает");
        cpu += processorSeconds() - startCpu;
        if (!std::equal(buffer.begin(), buffer.end(), image.begin()))
            state.SkipWithError("the bytes read differ");
        modelledMs += adapter.modelledMicroseconds() / 1000.0 + static_cast<double>(clock.totalSleepMs());
        ioctls += static_cast<double>(bus.counters().transfers);
    }
    const double n = static_cast<double>(state.iterations());
    const auto& profile = i2cSimProfile(kind);
    double floorTransfers = 0.0;
    const double floorMs = readFloorMs(profile, floorTransfers);
    state.SetLabel(profile.key);
    state.counters["modelled_ms"] = modelledMs / n;
    state.counters["floor_ms"] = floorMs;
    state.counters["vs_floor"] = modelledMs / n / floorMs;
    state.counters["ioctls"] = ioctls / n;
    state.counters["floor_ioctls"] = floorTransfers;
    state.counters["cpu_share_pct"] = 100.0 * cpu / (modelledMs / 1000.0);
}

void BM_WriteBack(benchmark::State& state)
{
    const auto kind = static_cast<AdapterKind>(state.range(0));
    const MemoryImage image = makeDemoImage(1);
    I2cSimSelection selection;
    selection.profile = kind;
    std::vector<std::uint8_t> data(kWriteCount);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(~image[kWriteStart + i]);
    double modelledMs = 0.0, ioctls = 0.0, cpu = 0.0;
    for (auto _ : state) {
        FakeClock clock;
        SimulatedI2cAdapter adapter(image, selection, clock);
        I2cMemoryBus bus(adapter, clock, "/dev/i2c-sim", kind);
        const double startCpu = processorSeconds();
        bus.open();
        for (std::size_t done = 0; done < kWriteCount;) {
            const std::size_t address = kWriteStart + done;
            const std::size_t inPage = std::min(kReaderPageSize - address % kReaderPageSize, kWriteCount - done);
            bus.writePage(static_cast<std::uint16_t>(address), std::span(data).subspan(done, inPage));
            done += inPage;
        }
        bus.confirmAnswers("ПСИ не отвечает");
        cpu += processorSeconds() - startCpu;
        if (!std::equal(data.begin(), data.end(), adapter.memory().begin() + kWriteStart))
            state.SkipWithError("the bytes written did not arrive");
        modelledMs += adapter.modelledMicroseconds() / 1000.0 + static_cast<double>(clock.totalSleepMs());
        ioctls += static_cast<double>(bus.counters().transfers);
    }
    const double n = static_cast<double>(state.iterations());
    const auto& profile = i2cSimProfile(kind);
    const double floorMs = writeFloorMs(profile, selection.busyMs);
    state.SetLabel(profile.key);
    state.counters["modelled_ms"] = modelledMs / n;
    state.counters["floor_ms"] = floorMs;
    state.counters["vs_floor"] = modelledMs / n / floorMs;
    state.counters["ioctls"] = ioctls / n;
    state.counters["cpu_share_pct"] = 100.0 * cpu / (modelledMs / 1000.0);
}

void everyProfile(benchmark::internal::Benchmark* b)
{
    for (auto kind : {AdapterKind::Mcp2221, AdapterKind::Ft260, AdapterKind::Cp2112, AdapterKind::Ch341, AdapterKind::Generic})
        b->Arg(static_cast<int>(kind));
    b->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_FullRead)->Apply(everyProfile);
BENCHMARK(BM_WriteBack)->Apply(everyProfile);

} // namespace
} // namespace kestrel
