#include "core/device/sim/SimulatedLptPort.h"

namespace kestrel {

SimulatedLptPort::SimulatedLptPort(std::uint16_t baseAddress, SimulatedReaderDevice& device)
    : base_(baseAddress), device_(device)
{
}

int SimulatedLptPort::registerOf(std::uint16_t port) const
{
    const int offset = static_cast<int>(port) - static_cast<int>(base_);
    return offset >= 0 && offset <= 2 ? offset : -1;
}

std::uint8_t SimulatedLptPort::GetPortByte(std::uint16_t port)
{
    ++reads;
    switch (registerOf(port)) {
    case 0:
        return data_; // the data latch reads back
    case 1: {
        const auto lines = device_.senseLines();
        std::uint8_t status = kIdleStatusBits;
        if (lines.sda)
            status |= kSdaSense;
        if (!lines.scl)
            status |= kSclSenseInverted; // the port inverts BUSY
        return status;
    }
    case 2:
        return control_;
    default:
        return 0xFF;
    }
}

void SimulatedLptPort::WritePortByte(std::uint16_t port, std::uint8_t value)
{
    ++writes;
    switch (registerOf(port)) {
    case 0:
        data_ = value;
        device_.masterDrives((value & kSclDrive) != 0, (value & kSdaDrive) != 0);
        break;
    case 2:
        control_ = value;
        break;
    default:
        break; // the status register and foreign addresses take no writes
    }
}

} // namespace kestrel
