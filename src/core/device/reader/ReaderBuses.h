#pragma once

#include "core/device/Clock.h"
#include "core/device/i2cdev/SimulatedI2cAdapter.h"
#include "core/device/reader/MemoryBus.h"
#include "core/ui/UserInterface.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

// Which buses a device text (`--device`, KESTREL_PORTIO) chooses, in the order of the search:
//   (empty)                  every USB I2C adapter the system lists, then the parallel ports
//   sim…, ppdev…, direct     the parallel port only, through the port library
//   i2c                      every USB I2C adapter (the first where the reader device answers)
//   i2c:/dev/i2c-N           that adapter only, USB or not (a laptop's SMBus only when named)
//   i2c-sim[:FILE.bbd][,…]   the simulated USB adapter only
struct BusChoice {
    bool parallelPort = false;
    bool usbAdapters = false;
    std::optional<std::string> namedAdapter;
    std::optional<I2cSimSelection> simulatedAdapter;
};

// Throws DeviceSelectionError (from DeviceSelection.h) for a text that cannot be understood.
BusChoice parseBusChoice(std::string_view text);

// The reader device's buses cannot be set up (a simulated adapter's file is missing).
class BusSetupError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The I2C adapter buses of a choice, in search order (the parallel port, when chosen,
// comes after them: ReaderDeviceTransfer adds it). `classFolder` is where i2c-dev lists
// its adapters. Throws BusSetupError when a bus cannot be set up.
std::vector<std::unique_ptr<MemoryBus>> makeAdapterBuses(const BusChoice& choice, Clock& clock, UserInterface& ui,
    const std::filesystem::path& classFolder = "/sys/class/i2c-dev");

} // namespace kestrel
