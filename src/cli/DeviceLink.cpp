#include "cli/DeviceLink.h"

#include "cli/ArgParser.h"
#include "core/device/port/TPortIO.h"
#include "core/device/sim/DeviceSelection.h"

#include <cstdlib>
#include <filesystem>
#include <ostream>

#include "core/device/WindowsApi.h"

namespace kestrel::cli {

namespace {

void selectBackend(const std::string& deviceSpec)
{
    try {
        (void)parseDeviceSelection(deviceSpec);
    } catch (const DeviceSelectionError& e) {
        throw UsageError(std::string("--device: ") + e.what());
    }
#if defined(_WIN32)
    _putenv_s("KESTREL_PORTIO", deviceSpec.c_str());
#else
    setenv("KESTREL_PORTIO", deviceSpec.c_str(), 1);
#endif
}

} // namespace

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

DeviceLink::DeviceLink(const std::string& deviceSpec, CliUserInterface& ui, std::ostream& err)
{
    selectBackend(deviceSpec);
    bus_ = std::make_unique<TI2C>(clock_, ui, programFolder());
    if (TPortIO* port = bus_->ownedPort(); port != nullptr && !port->ActiveHW() && !port->LibraryFailure().empty())
        err << "kestrel-cli: " << port->LibraryFailure() << "\n";
    transfer_ = std::make_unique<ReaderDeviceTransfer>(*bus_, clock_, ui);
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
