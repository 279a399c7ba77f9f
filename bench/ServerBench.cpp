// The team server (a throw-away local PostgreSQL cluster that scripts/bench.sh starts and
// names in KESTREL_BENCH_SERVER): sending 10 000 readings from a laptop's archive, a sync
// with nothing to do over them, and the fleet overview of 1 000 cranes × 20 readings.
#include "core/archive/SqliteArchive.h"
#include "../tests/core/fleet/FleetSample.h"
#include "core/demo/DemoHistory.h"
#include "core/fleet/FleetOverview.h"
#include "core/server/ServerArchive.h"
#include "core/sync/ArchiveSync.h"

#include <benchmark/benchmark.h>
#include <pqxx/pqxx>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

constexpr int kReadings = 10000;

std::string serverAdmin()
{
    const char* connection = std::getenv("KESTREL_BENCH_SERVER");
    return connection ? connection : "";
}

std::string databaseConnection(const std::string& database)
{
    std::string connection = serverAdmin();
    const auto at = connection.find("dbname=");
    const auto end = connection.find(' ', at);
    connection.replace(at, end == std::string::npos ? std::string::npos : end - at, "dbname=" + database);
    return connection;
}

std::string freshDatabase()
{
    static int counter = 0;
    const std::string name = "kestrel_bench_" + std::to_string(::getpid()) + "_" + std::to_string(++counter);
    pqxx::connection admin(serverAdmin());
    pqxx::nontransaction tx(admin);
    tx.exec("CREATE DATABASE " + name);
    return databaseConnection(name);
}

// A laptop's archive of 10 000 readings: yearly histories of as many recorders as that takes.
class LaptopArchive {
public:
    LaptopArchive()
        : path_(fs::temp_directory_path() / ("kestrel-bench-laptop-" + std::to_string(::getpid()) + ".sqlite"))
    {
        auto archive = openSqliteArchive(path_.string());
        int stored = 0;
        for (std::uint32_t seed = 1; stored < kReadings; ++seed) {
            std::vector<ImageToStore> batch;
            for (const MemoryImage& image : makeDemoHistory(seed, 20)) {
                if (stored + static_cast<int>(batch.size()) == kReadings)
                    break;
                batch.push_back({image, "bench-" + std::to_string(seed)});
            }
            stored += static_cast<int>(batch.size());
            archive->storeAll(batch);
        }
    }
    ~LaptopArchive()
    {
        std::error_code ec;
        for (const char* suffix : {"", "-wal", "-shm"})
            fs::remove(path_.string() + suffix, ec);
    }
    std::unique_ptr<ReadingArchive> open() const { return openSqliteArchive(path_.string()); }

private:
    fs::path path_;
};

const LaptopArchive& laptop()
{
    static const LaptopArchive instance;
    return instance;
}

bool haveServer(benchmark::State& state)
{
    if (!serverAdmin().empty())
        return true;
    state.SkipWithError("KESTREL_BENCH_SERVER is not set (scripts/bench.sh starts a server)");
    return false;
}

// Every reading of the laptop to an empty server database.
void BM_SendReadings(benchmark::State& state)
{
    if (!haveServer(state))
        return;
    auto local = laptop().open();
    for (auto _ : state) {
        state.PauseTiming();
        auto server = openServerArchive(freshDatabase());
        state.ResumeTiming();
        const SyncReport report = synchroniseArchives(*local, *server);
        if (report.sent != kReadings)
            state.SkipWithError("not every reading was sent");
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kReadings);
}
BENCHMARK(BM_SendReadings)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

// The same laptop and server again: nothing to send or fetch.
void BM_IdleSync(benchmark::State& state)
{
    if (!haveServer(state))
        return;
    auto local = laptop().open();
    const std::string connection = freshDatabase();
    {
        auto server = openServerArchive(connection);
        synchroniseArchives(*local, *server);
    }
    for (auto _ : state) {
        auto server = openServerArchive(connection);
        const SyncReport report = synchroniseArchives(*local, *server);
        if (report.sent + report.fetched != 0)
            state.SkipWithError("an idle sync moved readings");
    }
}
BENCHMARK(BM_IdleSync)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// `kestrel-cli fleet --server` of 1 000 cranes with 20 readings each.
void BM_FleetOnServer(benchmark::State& state)
{
    if (!haveServer(state))
        return;
    constexpr int kCranes = 1000;
    const std::string connection = freshDatabase();
    {
        auto server = openServerArchive(connection);
        for (int crane = 0; crane < kCranes; ++crane) {
            std::vector<ImageToStore> images;
            for (const MemoryImage& image : test::fleetSampleCrane(static_cast<std::uint32_t>(crane), 20))
                images.push_back({image, "bench"});
            server->storeAll(images);
        }
    }
    auto server = openServerArchive(connection);
    const DateTime today = encodeDateTime(2026, 6, 1, 0, 0);
    for (auto _ : state) {
        const FleetOverview overview = fleetOverview(*server, today, DisplayLocale::russian());
        if (overview.rows.size() != kCranes)
            state.SkipWithError("not one row per crane");
    }
}
BENCHMARK(BM_FleetOnServer)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace
} // namespace kestrel
