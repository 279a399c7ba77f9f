// `summary` over a folder of 10 000 data files, beside just listing and reading them.
#include "DemoFolder.h"
#include "cli/Commands.h"
#include "core/image/DataFile.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

// Counts what is written and keeps nothing, so output formatting is measured but not stored.
class CountingBuffer : public std::streambuf {
public:
    std::size_t count = 0;

protected:
    int_type overflow(int_type c) override
    {
        ++count;
        return c;
    }
    std::streamsize xsputn(const char*, std::streamsize n) override
    {
        count += static_cast<std::size_t>(n);
        return n;
    }
};

// The baseline: the same listing, filtering and sorting, then every file read into an image.
void BM_ReadFolder(benchmark::State& state)
{
    const std::string dir = folder().path();
    for (auto _ : state) {
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(dir))
            if (!entry.is_directory() && hasDataFileExtension(entry.path().filename().string()))
                files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        unsigned sum = 0;
        for (const auto& f : files)
            sum += readImageFile(f.string())[0x606];
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kFileCount);
}
BENCHMARK(BM_ReadFolder)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_Summary(benchmark::State& state)
{
    const std::string dir = folder().path();
    const bool csv = state.range(0) != 0;
    CountingBuffer buffer;
    std::ostream out(&buffer);
    std::ostream err(&buffer);
    for (auto _ : state) {
        cli::Args args{"summary", dir};
        if (csv)
            args.push_back("--csv");
        if (cli::runCli(args, out, err) != cli::kExitOk)
            state.SkipWithError("summary failed");
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kFileCount);
    state.counters["output_bytes"] = static_cast<double>(buffer.count) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_Summary)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

} // namespace
} // namespace kestrel
