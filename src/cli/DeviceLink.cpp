#include "cli/DeviceLink.h"

#include "cli/CommandOptions.h"
#include "core/device/port/TPortIO.h"
#include "core/device/reader/ReaderBuses.h"
#include "core/device/sim/DeviceSelection.h"
#include "core/text/PlatformInteger.h"

#include <cstdlib>
#include <filesystem>
#include <ostream>

#include "core/device/WindowsApi.h"

namespace kestrel::cli {

namespace {

// The buses the device text chooses; a port text also goes to the port library.
BusChoice chooseBuses(const std::string& deviceSpec)
{
    BusChoice choice;
    try {
        choice = parseBusChoice(deviceSpec);
    } catch (const DeviceSelectionError& e) {
        throw UsageError(std::string("--device: ") + e.what());
    }
    if (choice.parallelPort) {
#if defined(_WIN32)
        _putenv_s("KESTREL_PORTIO", deviceSpec.c_str());
#else
        setenv("KESTREL_PORTIO", deviceSpec.c_str(), 1);
#endif
    }
    return choice;
}

} // namespace

void declareDeviceOptions(CommandSyntax& syntax, Need device)
{
    syntax
        .option("--device", "DEVICE",
            "где искать ПСИ: i2c, i2c:/dev/i2c-N, i2c-sim[:FILE.bbd], sim[:FILE.bbd][,...], ppdev[:/dev/parportN], "
            "direct; пустой текст - адаптеры USB, затем параллельные порты",
            device)
        .option(kPortOption, "ADDR",
            "адрес параллельного порта (0x, $ или десятичный), который вводится в окне поиска после 0x378, 0x278 "
            "и 0x3BC; только для ПСИ на параллельном порту");
}

std::string programFolder()
{
#if defined(_WIN32)
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return ".";
    return std::filesystem::path(std::string(path, length)).parent_path().string();
#else
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return ".";
    return exe.parent_path().string();
#endif
}

std::uint16_t parsePortOption(const std::string& text)
{
    // The registers at the address and the two after it must exist.
    constexpr std::int32_t kLastBase = 0xFFFD;
    const auto value = platformStrToInt(text);
    if (!value || *value < 1 || *value > kLastBase)
        throw UsageError(std::string(kPortOption) + ": адрес порта должен быть числом от 0x1 до 0xFFFD "
            "(0x, $ или десятичное), а не \"" + text + "\"");
    return static_cast<std::uint16_t>(*value);
}

DeviceLink::DeviceLink(
    const std::string& deviceSpec, const std::optional<std::string>& portText, CliUserInterface& ui, std::ostream& err)
{
    // Checked before anything is opened: a slip in the options touches no device.
    if (portText)
        ui.setInputAnswer("0x" + hexText(parsePortOption(*portText), 1));
    const BusChoice choice = chooseBuses(deviceSpec);
    // The address is asked only by the parallel port's search: elsewhere it would do nothing.
    if (portText && !choice.parallelPort)
        throw UsageError(std::string(kPortOption) + ": адрес порта задается только для ПСИ на параллельном порту, "
            "а --device " + deviceSpec + " выбирает адаптер I2C");
    // Whatever comes of it is no reading of a real reader device: said before anything else.
    if (selectsSimulator(deviceSpec))
        err << "kestrel-cli: " << kSimulatorName << " (" << deviceSpec << "): работа не с настоящим прибором\n";
    std::vector<std::unique_ptr<MemoryBus>> buses;
    try {
        buses = makeAdapterBuses(choice, clock_, ui);
    } catch (const BusSetupError& e) {
        err << "kestrel-cli: " << e.what() << "\n";
        throw DeviceUnavailable(e.what());
    }
    if (choice.parallelPort) {
        // Says, as the window does, when the library cannot be opened, with LastError.
        bus_ = std::make_unique<TI2C>(clock_, ui, programFolder());
        if (TPortIO* port = bus_->ownedPort(); port != nullptr && !port->ActiveHW() && buses.empty()) {
            // The reason, also when the library could not be loaded at all, is in the message above.
            // Without the library every probe would fail: no point searching four ports.
            throw DeviceUnavailable(port->LibraryFailure().empty() ? port->LastError() : port->LibraryFailure());
        }
    }
    transfer_ = std::make_unique<ReaderDeviceTransfer>(std::move(buses), bus_.get(), clock_, ui);
}

void printMemoryDump(const MemoryDumpTable& table, std::ostream& out)
{
    for (int row = 0; row < table.rowCount(); ++row) {
        std::string line = table.cell(row, 0);
        line.resize(4, ' ');
        for (int column = 1; column < table.columnCount(); ++column) {
            const std::string& cell = table.cell(row, column);
            line += ' ';
            line += cell.empty() ? std::string("  ") : cell;
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        out << line << "\n";
    }
}

} // namespace kestrel::cli
