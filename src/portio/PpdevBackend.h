#pragma once

#include "core/device/sim/DeviceSelection.h"
#include "portio/PortIoBackend.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kestrel::portio {

// The kernel's parallel-port driver: each /dev/parportN is opened, taken exclusively
// and claimed once, at load, and released at unload. A port address is served by the
// parport whose base address (from /proc/sys/dev/parport/parportN/base-addr) it
// belongs to; with a device node given, by that node alone.
class PpdevBackend : public PortIoBackend {
public:
    explicit PpdevBackend(const DeviceSelection& selection);
    ~PpdevBackend() override;
    PpdevBackend(const PpdevBackend&) = delete;
    PpdevBackend& operator=(const PpdevBackend&) = delete;

    std::uint8_t readByte(std::uint16_t port) override;
    void writeByte(std::uint16_t port, std::uint8_t value) override;

private:
    struct Parport {
        std::string device;
        std::uint16_t base = 0;
        int fd = -1;
    };

    // The reason the port cannot be used, or empty when it is claimed.
    std::string claim(Parport& parport);
    // The claimed parport and register offset serving a port address, or nullptr.
    Parport* serving(std::uint16_t port, int& offset);
    // A failed ioctl on a claimed port: the port is given up and the reason kept.
    void lose(Parport& parport, const char* request);

    std::vector<Parport> parports_;
};

} // namespace kestrel::portio
