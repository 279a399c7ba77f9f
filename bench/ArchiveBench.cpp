// The reading archive: importing a folder of 10 000 data files into a new archive,
// listing them, and what one stored reading costs on disk.
#include "DemoFolder.h"
#include "cli/Commands.h"
#include "core/archive/SqliteArchive.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <sstream>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

std::string archivePath() { return folder().path() + ".sqlite"; }

void removeArchive()
{
    for (const char* suffix : {"", "-wal", "-shm"})
        fs::remove(archivePath() + suffix);
}

int importFolder()
{
    std::ostringstream out;
    std::ostringstream err;
    return cli::runCli({"archive", "import", "--archive", archivePath(), folder().path()}, out, err);
}

// `kestrel-cli archive import` of the folder into an archive that does not exist yet.
void BM_ImportFolder(benchmark::State& state)
{
    folder();
    for (auto _ : state) {
        state.PauseTiming();
        removeArchive();
        state.ResumeTiming();
        if (importFolder() != cli::kExitOk)
            state.SkipWithError("import failed");
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kFileCount);
    state.counters["bytes_per_reading"] = static_cast<double>(fs::file_size(archivePath())) / kFileCount;
}
BENCHMARK(BM_ImportFolder)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The same folder a second time: every file is found to be stored already.
void BM_ImportAgain(benchmark::State& state)
{
    removeArchive();
    importFolder();
    for (auto _ : state)
        if (importFolder() != cli::kExitOk)
            state.SkipWithError("import failed");
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kFileCount);
}
BENCHMARK(BM_ImportAgain)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The folder imported once for the listings; removed when the program ends.
struct ImportedArchive {
    ImportedArchive()
    {
        removeArchive();
        importFolder();
    }
    ~ImportedArchive() { removeArchive(); }
    ImportedArchive(const ImportedArchive&) = delete;
    ImportedArchive& operator=(const ImportedArchive&) = delete;
};

void importOnce() { static const ImportedArchive archive; }

// What the history page and `archive list` read: 10 000 summaries, no image bytes.
void BM_ListReadings(benchmark::State& state)
{
    importOnce();
    auto archive = openSqliteArchive(archivePath());
    for (auto _ : state) {
        const auto list = archive->readings();
        if (list.size() != static_cast<std::size_t>(kFileCount))
            state.SkipWithError("wrong count");
        benchmark::DoNotOptimize(list.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kFileCount);
}
BENCHMARK(BM_ListReadings)->Unit(benchmark::kMillisecond)->UseRealTime();

// `kestrel-cli archive list --json`, opening the archive included.
void BM_ListCommandJson(benchmark::State& state)
{
    importOnce();
    for (auto _ : state) {
        std::ostringstream out;
        std::ostringstream err;
        if (cli::runCli({"archive", "list", "--archive", archivePath(), "--json"}, out, err) != cli::kExitOk)
            state.SkipWithError("list failed");
        benchmark::DoNotOptimize(out.str().size());
    }
}
BENCHMARK(BM_ListCommandJson)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace kestrel
