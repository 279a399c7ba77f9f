#pragma once

#include "cli/CliUserInterface.h"
#include "core/device/Clock.h"
#include "core/device/i2c/TI2C.h"
#include "core/device/reader/MemoryDumpTable.h"
#include "core/device/reader/ReaderDeviceTransfer.h"

#include <iosfwd>
#include <memory>
#include <string>

namespace kestrel::cli {

// The device side of the program for one command: the port library's backend chosen
// by --device (through KESTREL_PORTIO), the bus master opened from the program's
// folder and calibrated on the real clock, and the reader procedures on top.
class DeviceLink {
public:
    // Throws UsageError for a device text that cannot be understood.
    DeviceLink(const std::string& deviceSpec, CliUserInterface& ui, std::ostream& err);
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

// Exit code of a device command whose transfer did not go through.
inline constexpr int kExitDeviceFailed = 1;

} // namespace kestrel::cli
