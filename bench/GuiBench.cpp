// The desktop program's own figures: how long from start to the first shown window
// (the bit-delay calibration included), how long "Открыть" takes until every page is
// filled, and the peak memory after a load; and how long the cycle detail window takes to
// draw a page again.
#include "core/demo/DemoImage.h"
#include "core/device/Clock.h"
#include "core/image/DataFile.h"
#include "core/image/ImageLayout.h"
#include "gui/app/ScriptedGuiDialogs.h"
#include "gui/app/TfMain.h"
#include "gui/windows/TfOper.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QRadioButton>
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
        o.archivePath = folder.filePath("archive.sqlite");
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

// The longest section the log can hold: one time mark and then nothing but samples, with
// every kind of event and the outputs switching, so every series has points.
MemoryImage longestSectionImage(const StampBytes& stamp)
{
    MemoryImage image{};
    image[layout::kProgramName + 1] = 'A';
    std::size_t at = layout::kOplog;
    image[at++] = 0xFF;
    for (std::uint8_t b : stamp)
        image[at++] = b;
    for (std::size_t i = 0; at + 1 < layout::kOplog + layout::kOplogSize; ++i) {
        image[at++] = static_cast<std::uint8_t>((i % 16 == 0 ? (i / 16 % 8) << 4 : 0) | (i / 30 % 16));
        image[at++] = static_cast<std::uint8_t>(20 + i % 90);
    }
    return image;
}

// A page of the longest section drawn again (what every control of the window ends with):
// range, marks and labels of the page, the chart's layers and the window's paint.
// Argument: points per page, 0 for the whole cycle.
void BM_CycleDetailRedrawPage(benchmark::State& state)
{
    const StampBytes stamp{0x30, 0x10, 0x15, 0x06, 0x23};
    const MemoryImage image = longestSectionImage(stamp);
    TfOper window(image, stamp, fixture().dialogs);
    window.resize(1000, 620);
    const char* choice = state.range(0) == 20 ? "rbPage20s" : state.range(0) == 60 ? "rbPage1min" : "rbPageCycle";
    window.findChild<QRadioButton*>(QString::fromLatin1(choice))->click();
    window.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        window.redrawPage();
        window.repaint();
    }
    state.counters["points"] = static_cast<double>(window.chart().pointCount());
}
BENCHMARK(BM_CycleDetailRedrawPage)->Arg(20)->Arg(60)->Arg(0)->Unit(benchmark::kMillisecond);

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
