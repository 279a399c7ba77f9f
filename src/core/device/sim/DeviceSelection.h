#pragma once

#include "core/device/sim/SimulatedReaderDevice.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kestrel {

// Where the port-I/O library on Linux sends port bytes.
enum class PortBackendKind {
    Simulated, // the simulated reader device on a virtual LPT port
    Ppdev,     // the kernel's parallel-port driver (/dev/parportN)
    Direct,    // ioperm + inb/outb, root only
};

// A parsed `--device` text (also the KESTREL_PORTIO environment variable):
//   sim[:FILE.bbd][,port=0x278][,nack=0.01][,stuck_sda=20][,stretch=5][,disconnect=N][,flip=N][,seed=N]
//   ppdev[:/dev/parportN][,port=0x378]
//   direct
struct DeviceSelection {
    PortBackendKind kind = PortBackendKind::Simulated;
    // sim: the backing data file (empty: the demo memory, kept nowhere);
    // ppdev: the device node (empty: the parport whose base address is asked for).
    std::string path;
    // sim: base address of the virtual port; ppdev with a device node: its base
    // address when the kernel does not tell it.
    std::optional<std::uint16_t> port;
    SimulatedFaults faults;

    std::uint16_t portOr(std::uint16_t fallback) const { return port.value_or(fallback); }
};

inline constexpr std::uint16_t kDefaultSimulatedPort = 0x378;

// A device text that cannot be understood; the message says what is wrong and how it should look.
class DeviceSelectionError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

DeviceSelection parseDeviceSelection(std::string_view text);

// Whether a device text (a `--device` value or KESTREL_PORTIO) names the simulated reader
// device; an empty text means real hardware, a text that does not parse is no simulator.
bool selectsSimulator(std::string_view text);

inline constexpr const char* kSimulatorName = "Симулятор ПСИ";

} // namespace kestrel
