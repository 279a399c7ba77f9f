// The longest section a log can hold: a time mark and then samples all the way round,
// read and turned into the nine chart series (target: under 5 ms).
#include "core/image/ImageLayout.h"
#include "core/image/MemoryImage.h"
#include "core/oplog/OperationalChart.h"
#include "core/oplog/OperationalLog.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace kestrel {
namespace {

constexpr StampBytes kStamp{0x30, 0x14, 0x07, 0x12, 0x26};

std::unique_ptr<MemoryImage> wholeLogOfSamples(bool extended)
{
    auto image = std::make_unique<MemoryImage>();
    image->fill(0);
    if (extended)
        (*image)[layout::kProgramName + 1] = 0xCF;
    std::uint8_t* log = image->data() + layout::kOplog;
    log[0] = kTimeMarkByte;
    std::copy(kStamp.begin(), kStamp.end(), log + 1);
    const std::size_t sampleSize = extended ? 3 : 2;
    for (std::size_t p = 6, t = 0; p < kOplogPositions; p += sampleSize, ++t) {
        // Alternating winches, a ramp of loads, an event now and then.
        log[p] = static_cast<std::uint8_t>((t & 1) | ((t % 97 == 0) ? 0x10 : 0) | ((t % 50 < 10) ? 0x0A : 0));
        if (p + 1 < kOplogPositions)
            log[p + 1] = static_cast<std::uint8_t>(t % 120);
        if (extended && p + 2 < kOplogPositions)
            log[p + 2] = static_cast<std::uint8_t>(t % 16);
    }
    return image;
}

void BM_OplogWholeLogSection(benchmark::State& state)
{
    const auto image = wholeLogOfSamples(state.range(0) != 0);
    std::size_t points = 0;
    for (auto _ : state) {
        const OperationalChart chart = showOperationalSection(*image, kStamp);
        points = chart.pointCount();
        benchmark::DoNotOptimize(chart.series.data());
    }
    state.counters["points"] = static_cast<double>(points);
}
BENCHMARK(BM_OplogWholeLogSection)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kestrel
