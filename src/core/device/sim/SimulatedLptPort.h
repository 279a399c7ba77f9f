#pragma once

#include "core/device/PortAccess.h"
#include "core/device/sim/SimulatedReaderDevice.h"

#include <cstdint>

namespace kestrel {

// A virtual parallel port with the reader device on its pins: data register bit 4
// drives SDA, bit 5 drives SCL (1 pulls low); status bit 6 senses SDA, bit 7 senses
// SCL inverted, as a real port returns it. Other addresses read 0xFF and ignore writes.
class SimulatedLptPort : public PortAccess {
public:
    SimulatedLptPort(std::uint16_t baseAddress, SimulatedReaderDevice& device);

    std::uint8_t GetPortByte(std::uint16_t port) override;
    void WritePortByte(std::uint16_t port, std::uint8_t value) override;

    std::uint16_t baseAddress() const { return base_; }
    long reads = 0;
    long writes = 0;

    static constexpr std::uint8_t kSdaDrive = 0x10;
    static constexpr std::uint8_t kSclDrive = 0x20;
    static constexpr std::uint8_t kSdaSense = 0x40;
    static constexpr std::uint8_t kSclSenseInverted = 0x80;
    // Status bits 0-5 of an idle port with nothing on its other inputs:
    // ERROR, SELECT and PAPER END read high, the reserved bits low.
    static constexpr std::uint8_t kIdleStatusBits = 0x38;

private:
    // Register offset from the base, or -1 for an address that is not ours.
    int registerOf(std::uint16_t port) const;

    std::uint16_t base_;
    SimulatedReaderDevice& device_;
    std::uint8_t data_ = 0;
    std::uint8_t control_ = 0;
};

} // namespace kestrel
