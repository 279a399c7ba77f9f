#include "cli/CommandOptions.h"
#include "cli/Commands.h"
#include "core/device/Clock.h"
#include "core/device/i2cdev/I2cAdapters.h"
#include "core/device/i2cdev/I2cMemoryBus.h"
#include "core/device/i2cdev/SystemI2cDevCalls.h"
#include "core/device/port/TPrinterPortIO.h"

#include <cstdio>
#include <filesystem>
#include <ostream>
#include <string>

namespace kestrel::cli {

namespace {

// Whether the reader device answers on a USB adapter: a 1-byte read, never a write.
std::string probeText(const I2cAdapter& adapter)
{
    if (!adapter.usb)
        return "не USB, не проверяется (только по имени: --device i2c:" + adapter.devicePath + ")";
    SystemClock clock;
    SystemI2cDevCalls calls;
    I2cMemoryBus bus(calls, clock, adapter.devicePath, adapterKindOf(adapter.name));
    try {
        bus.open();
        return bus.deviceAnswers() ? "ПСИ отвечает" : "ПСИ не отвечает";
    } catch (const std::exception& error) {
        return error.what();
    }
}

void listAdapters(const std::filesystem::path& classFolder, std::ostream& out)
{
    const auto adapters = listI2cAdapters(classFolder);
    if (adapters.empty()) {
        out << "Адаптеры I2C не обнаружены (подключен ли USB-адаптер, загружен ли модуль i2c-dev?).\n";
        return;
    }
    for (const I2cAdapter& adapter : adapters)
        out << adapter.devicePath << "  " << (adapter.name.empty() ? std::string("?") : adapter.name) << "  "
            << (adapter.usb ? "USB" : "не USB") << "  " << probeText(adapter) << "\n";
}

} // namespace

void declarePorts(CommandSyntax& syntax)
{
    syntax
        .describe("Параллельные порты (LPT), которые перечисляет система (/proc/sys/dev/parport в Linux, реестр в "
                  "Windows), затем каждый адаптер I2C модуля i2c-dev: его имя, на USB ли он и, для адаптеров USB, "
                  "отвечает ли ПСИ (чтение одного байта, никогда не запись).")
        .option("--root", "DIR", "корень, от которого берется proc/sys/dev/parport (по умолчанию /; только Linux)")
        .option("--i2c-class", "DIR", "папка списка адаптеров i2c-dev (по умолчанию /sys/class/i2c-dev; только "
                                      "Linux)");
}

int runPorts(const ParsedArgs& args, std::ostream& out, std::ostream&)
{
#if defined(_WIN32)
    // Windows lists its ports in the registry and has no i2c-dev: the folders would be read by nothing.
    refuseOption(args, "--root", "в Windows порты берутся из реестра");
    refuseOption(args, "--i2c-class", "в Windows нет адаптеров i2c-dev");
#endif

    PrinterPortSeams seams;
    if (const auto root = args.value("--root"))
        seams.procRoot = *root;
    // Detection alone: the port driver is not opened.
    const TPrinterPortIO ports({}, seams);

    bool any = false;
    for (std::uint8_t n = 1; n <= TPrinterPortIO::kMaxLptNumber; ++n) {
        const std::uint16_t base = ports.PortTable()[n];
        if (base == 0)
            continue;
        char line[32];
        std::snprintf(line, sizeof line, "LPT%u 0x%X\n", unsigned{n}, unsigned{base});
        out << line;
        any = true;
    }
    if (!any)
        out << "Параллельные порты (LPT) не обнаружены.\n";
    listAdapters(args.value("--i2c-class").value_or("/sys/class/i2c-dev"), out);
    return kExitOk;
}

} // namespace kestrel::cli
