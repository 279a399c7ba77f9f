#pragma once

#include "core/device/i2cdev/I2cDevCalls.h"

namespace kestrel {

// The real calls: open(O_RDWR | O_CLOEXEC), ioctl I2C_FUNCS / I2C_RDWR and close on
// Linux; elsewhere every call answers -ENOSYS.
class SystemI2cDevCalls : public I2cDevCalls {
public:
    int open(const std::string& path) override;
    int functionality(int fd, std::uint64_t& funcs) override;
    int transfer(int fd, std::span<I2cMessage> messages) override;
    int close(int fd) override;
};

} // namespace kestrel
