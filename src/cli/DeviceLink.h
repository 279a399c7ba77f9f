#pragma once

#include "cli/CliUserInterface.h"
#include "cli/CommandOptions.h"
#include "core/device/Clock.h"
#include "core/device/i2c/TI2C.h"
#include "core/device/reader/MemoryDumpTable.h"
#include "core/device/reader/ReaderDeviceTransfer.h"

#include <iosfwd>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

namespace kestrel::cli {

// Options every device command takes besides its own: the device, and the port
// address typed into the search's input dialog (the fourth candidate, after 0x378,
// 0x278 and 0x3BC; without it the dialog's own 0x378 is taken).
inline constexpr const char* kPortOption = "--port";

// --device DEVICE and --port ADDR with their help.
void declareDeviceOptions(CommandSyntax& syntax, Need device);

// The port library could not be opened: the command cannot reach any device. The
// reason has been printed already.
class DeviceUnavailable : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The device side of the program for one command: the port library's backend chosen
// by --device (through KESTREL_PORTIO), the bus master opened from the program's
// folder and calibrated on the real clock, and the reader procedures on top.
class DeviceLink {
public:
    // Throws UsageError for a device text or a --port text that cannot be understood, or a
    // --port for a device that is not searched on the parallel port; DeviceUnavailable
    // when the port library cannot be opened.
    DeviceLink(const std::string& deviceSpec, const std::optional<std::string>& portText, CliUserInterface& ui,
        std::ostream& err);
    DeviceLink(const std::string& deviceSpec, CliUserInterface& ui, std::ostream& err)
        : DeviceLink(deviceSpec, std::nullopt, ui, err)
    {
    }
    ReaderDeviceTransfer& transfer() { return *transfer_; }

private:
    SystemClock clock_;
    std::unique_ptr<TI2C> bus_;
    std::unique_ptr<ReaderDeviceTransfer> transfer_;
};

// The folder of the running program, without a trailing separator.
std::string programFolder();

// The hex table as text: the header line of column offsets, then one line per row.
void printMemoryDump(const MemoryDumpTable& table, std::ostream& out);

// The address of a --port text (0x, $ or decimal, as the input dialog takes it);
// throws UsageError for anything that is no port address.
std::uint16_t parsePortOption(const std::string& text);

// Exit code of a device command whose transfer did not go through.
inline constexpr int kExitDeviceFailed = 1;

} // namespace kestrel::cli
