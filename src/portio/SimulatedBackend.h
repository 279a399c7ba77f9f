#pragma once

#include "core/device/Clock.h"
#include "core/device/sim/DeviceSelection.h"
#include "core/device/sim/SimulatedLptPort.h"
#include "core/device/sim/SimulatedReaderDevice.h"
#include "portio/PortIoBackend.h"

#include <memory>
#include <string>

namespace kestrel::portio {

// The simulated reader device on a virtual LPT port, timed by the real clock. With a
// file its memory comes from the file and goes back to it after every write cycle; a
// file that is missing (or no regular file) is refused with its name. Without a file
// it holds the demo memory.
class SimulatedBackend : public PortIoBackend {
public:
    explicit SimulatedBackend(const DeviceSelection& selection);
    ~SimulatedBackend() override;

    std::uint8_t readByte(std::uint16_t port) override;
    void writeByte(std::uint16_t port, std::uint8_t value) override;

private:
    void reportSaveFailure();

    SystemClock clock_;
    std::unique_ptr<SimulatedReaderDevice> device_;
    std::unique_ptr<SimulatedLptPort> port_;
    std::string reportedSaveError_;
};

} // namespace kestrel::portio
