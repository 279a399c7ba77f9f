// The team server (a throw-away local PostgreSQL cluster that scripts/bench.sh starts and
// names in KESTREL_BENCH_SERVER): sending 10 000 readings from a laptop's archive, and a
// sync with nothing to do over them.
#include "core/archive/SqliteArchive.h"
#include "core/demo/DemoHistory.h"
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

} // namespace
} // namespace kestrel
