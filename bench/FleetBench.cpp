// The fleet overview ("Парк кранов", `kestrel-cli fleet`) of 1 000 cranes with 20 readings
// each, over a local archive written once per run and removed when the program ends.
#include "../tests/core/fleet/FleetSample.h"
#include "core/archive/SqliteArchive.h"
#include "core/fleet/FleetOverview.h"
#include "core/life/ReadingFigures.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

constexpr int kCranes = 1000;
constexpr int kReadingsPerCrane = 20;

class FleetArchive {
public:
    FleetArchive()
        : path_((fs::temp_directory_path() / ("kestrel-fleet-bench-" + std::to_string(::getpid()) + ".sqlite")).string())
    {
        auto archive = openSqliteArchive(path_);
        for (int crane = 0; crane < kCranes; ++crane) {
            std::vector<ImageToStore> images;
            for (const MemoryImage& image : test::fleetSampleCrane(static_cast<std::uint32_t>(crane), kReadingsPerCrane))
                images.push_back({image, "bench"});
            archive->storeAll(images);
        }
    }
    ~FleetArchive()
    {
        for (const char* suffix : {"", "-wal", "-shm"})
            fs::remove(path_ + suffix);
    }
    FleetArchive(const FleetArchive&) = delete;
    FleetArchive& operator=(const FleetArchive&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

const FleetArchive& fleetArchive()
{
    static const FleetArchive archive;
    return archive;
}

// The whole overview as the page and the command build it: the list, the bytes of the
// readings the assessments need (the oldest and newest of each crane here), each checked
// against its SHA-256, the design working period of every crane.
void BM_FleetOverview(benchmark::State& state)
{
    auto archive = openSqliteArchive(fleetArchive().path());
    const DateTime today = encodeDateTime(2026, 6, 1, 0, 0);
    std::size_t rows = 0;
    for (auto _ : state) {
        const FleetOverview overview = fleetOverview(*archive, today, DisplayLocale::russian());
        rows = overview.rows.size();
        benchmark::DoNotOptimize(overview.rows.data());
    }
    if (rows != kCranes)
        state.SkipWithError("not one row per crane");
    state.counters["cranes"] = static_cast<double>(rows);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kCranes * kReadingsPerCrane);
}
BENCHMARK(BM_FleetOverview)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// What reading every reading would cost: the bytes of all 20 000, each checked against
// its SHA-256. The overview reads a tenth of them.
void BM_EveryReadingsBytes(benchmark::State& state)
{
    auto archive = openSqliteArchive(fleetArchive().path());
    const auto list = archive->readings();
    for (auto _ : state)
        for (const StoredReading& reading : list)
            benchmark::DoNotOptimize(archive->image(reading.id));
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * list.size()));
}
BENCHMARK(BM_EveryReadingsBytes)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// The window's processing of one reading, which the assessment runs on each reading it uses.
void BM_FiguresOfReading(benchmark::State& state)
{
    const MemoryImage image = test::fleetSampleCrane(7, 1).back();
    for (auto _ : state)
        benchmark::DoNotOptimize(figuresOfReading(image, DisplayLocale::russian()));
}
BENCHMARK(BM_FiguresOfReading)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace kestrel
