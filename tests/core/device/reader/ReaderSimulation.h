#pragma once

#include "core/demo/DemoImage.h"
#include "core/device/FakeClock.h"
#include "core/device/i2c/TI2C.h"
#include "core/device/reader/ReaderDeviceTransfer.h"
#include "core/device/sim/SimulatedLptPort.h"
#include "core/device/sim/SimulatedReaderDevice.h"
#include "core/ui/ScriptedUserInterface.h"

#include <cstdint>
#include <vector>

namespace kestrel::test {

// Ports of several cards on one machine: each address goes to the card that has it;
// addresses of no card read 0xFF, as an empty I/O slot does.
class PortBus : public PortAccess {
public:
    void attach(SimulatedLptPort& port) { ports_.push_back(&port); }
    std::uint8_t GetPortByte(std::uint16_t port) override
    {
        if (auto* owner = ownerOf(port))
            return owner->GetPortByte(port);
        return 0xFF;
    }
    void WritePortByte(std::uint16_t port, std::uint8_t value) override
    {
        if (auto* owner = ownerOf(port))
            owner->WritePortByte(port, value);
    }

private:
    SimulatedLptPort* ownerOf(std::uint16_t port)
    {
        for (auto* p : ports_)
            if (port >= p->baseAddress() && port <= p->baseAddress() + 2)
                return p;
        return nullptr;
    }
    std::vector<SimulatedLptPort*> ports_;
};

// The whole link on virtual time: the bus master over a simulated LPT port with the
// reader device on it, holding a demo recorder memory.
struct ReaderSimulation {
    explicit ReaderSimulation(SimulatedFaults faults = {}, std::uint16_t portAddress = 0x378,
        MemoryImage contents = makeDemoImage(7))
        : memory(contents), device(memory, faults, clock), lpt(portAddress, device)
    {
        ports.attach(lpt);
    }

    FakeClock clock;
    ScriptedUserInterface ui;
    MemoryImage memory;
    SimulatedReaderDevice device;
    SimulatedLptPort lpt;
    PortBus ports;
    TI2C bus{ports, clock, ui};
    ReaderDeviceTransfer transfer{bus, clock, ui};

    // Progress positions reported, the maximum of the first report alongside.
    std::vector<int> progressPositions() const
    {
        std::vector<int> positions;
        for (const auto& p : ui.progress)
            positions.push_back(p.first);
        return positions;
    }
};

} // namespace kestrel::test
