// One image through the whole pipeline, beside the cost of merely copying its bytes.
#include "core/demo/DemoImage.h"
#include "core/pipeline/Pipeline.h"
#include "core/reports/ReportDispatch.h"
#include "core/reports/ReportDocuments.h"
#include "core/ui/ScriptedUserInterface.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

namespace kestrel {
namespace {

void BM_CopyImage(benchmark::State& state)
{
    const MemoryImage source = makeDemoImage(1);
    auto target = std::make_unique<MemoryImage>();
    for (auto _ : state) {
        std::memcpy(target->data(), source.data(), source.size());
        benchmark::DoNotOptimize(target->data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(kImageSize));
}
BENCHMARK(BM_CopyImage);

// What a load does after the bytes are in: period start, identification, decoding,
// classification and every text of the main window.
void BM_ProcessImage(benchmark::State& state)
{
    const MemoryImage source = makeDemoImage(1);
    auto session = std::make_unique<Session>();
    ScriptedUserInterface ui;
    for (auto _ : state) {
        session->image = source;
        resetPeriodStart(*session);
        processImage(*session, ui);
        benchmark::DoNotOptimize(session->view.statistics.eKp.data());
    }
    if (!ui.messages.empty())
        state.SkipWithError(ui.messages.front().c_str());
}
BENCHMARK(BM_ProcessImage);

// The same plus protocol No. 2 as the file's bytes.
void BM_ProcessImageAndProtocol2(benchmark::State& state)
{
    const MemoryImage source = makeDemoImage(1);
    auto session = std::make_unique<Session>();
    ScriptedUserInterface ui;
    std::size_t bytes = 0;
    for (auto _ : state) {
        session->image = source;
        resetPeriodStart(*session);
        processImage(*session, ui);
        const ReportInput input{session->view, session->cycleRows, session->stats, session->locale};
        const auto document = buildReportDocument(2, input, ui);
        bytes = document ? document->bytes.size() : 0;
        benchmark::DoNotOptimize(bytes);
    }
    if (!ui.messages.empty() || bytes == 0)
        state.SkipWithError("the pipeline or the protocol failed");
    state.counters["protocol_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_ProcessImageAndProtocol2);

} // namespace
} // namespace kestrel
