// The desktop program's own figures: how long from start to the first shown window
// (the bit-delay calibration included), how long "Открыть" takes until every page is
// filled, and the peak memory after a load.
#include "core/demo/DemoImage.h"
#include "core/device/Clock.h"
#include "core/image/DataFile.h"
#include "gui/app/ScriptedGuiDialogs.h"
#include "gui/app/TfMain.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

namespace kestrel::gui {
namespace {

// Peak resident set size of the process, in MiB (VmHWM).
double peakMemoryMiB()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmHWM:") {
            double kib = 0;
            status >> kib;
            return kib / 1024.0;
        }
        std::getline(status, key);
    }
    return 0;
}

struct Fixture {
    QTemporaryDir folder;
    ScriptedGuiDialogs dialogs;
    SystemClock clock;
    QString demoFile;

    Fixture()
    {
        demoFile = folder.filePath("demo.bbd");
        saveImage(demoFile.toStdString(), makeDemoImage(1));
    }
    TfMain::Options options()
    {
        TfMain::Options o;
        o.dialogs = &dialogs;
        o.clock = &clock;
        o.programFolder = QCoreApplication::applicationDirPath();
        o.workFolder = folder.path();
        return o;
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void BM_StartToShownWindow(benchmark::State& state)
{
    for (auto _ : state) {
        TfMain window(fixture().options());
        window.show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(window.isVisible());
    }
}
BENCHMARK(BM_StartToShownWindow)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_OpenToEveryPageFilled(benchmark::State& state)
{
    TfMain window(fixture().options());
    window.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        window.loadFromFile(fixture().demoFile);
        QCoreApplication::processEvents();
    }
    state.counters["peak_MiB"] = peakMemoryMiB();
}
BENCHMARK(BM_OpenToEveryPageFilled)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace
} // namespace kestrel::gui

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
