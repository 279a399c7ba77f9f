#pragma once

#include "portio/PortIoBackend.h"

#include <bitset>
#include <cstdint>

namespace kestrel::portio {

// Direct port I/O with ioperm and inb/outb: x86 Linux, root (CAP_SYS_RAWIO) only.
// Access is asked for each port address on its first use.
class DirectBackend : public PortIoBackend {
public:
    DirectBackend();
    ~DirectBackend() override;
    DirectBackend(const DirectBackend&) = delete;
    DirectBackend& operator=(const DirectBackend&) = delete;

    std::uint8_t readByte(std::uint16_t port) override;
    void writeByte(std::uint16_t port, std::uint8_t value) override;

private:
    bool permitted(std::uint16_t port);

    std::bitset<0x10000> granted_;
    std::bitset<0x10000> refused_;
};

} // namespace kestrel::portio
