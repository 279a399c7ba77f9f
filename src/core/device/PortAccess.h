#pragma once

#include <cstdint>
#include <stdexcept>

namespace kestrel {

// A port operation that could not be carried out (driver not open, device gone).
class PortError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Byte-wide access to I/O ports: what the I2C bus master needs of the port-access component.
class PortAccess {
public:
    virtual ~PortAccess() = default;
    virtual std::uint8_t GetPortByte(std::uint16_t port) = 0;
    virtual void WritePortByte(std::uint16_t port, std::uint8_t value) = 0;
};

} // namespace kestrel
