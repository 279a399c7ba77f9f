#pragma once

#include "core/device/sim/DeviceSelection.h"
#include "portio/PortIoBackend.h"
#include "portio/PpdevCalls.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kestrel::portio {

// The kernel's parallel-port driver: each /dev/parportN is opened and claimed once,
// at load, and released at unload; exclusively where the kernel allows it, shared
// with the printer driver where that one holds the port too. A port address is
// served by the parport whose base address (from /proc/sys/dev/parport/parportN/base-addr)
// it belongs to; with a device node given, by that node alone. A parport whose ioctl
// fails midway is given up, and portFailure() names the call and the system's reason.
class PpdevBackend : public PortIoBackend {
public:
    explicit PpdevBackend(const DeviceSelection& selection, PpdevCalls& calls = systemPpdevCalls(),
        std::string procParport = "/proc/sys/dev/parport");
    ~PpdevBackend() override;
    PpdevBackend(const PpdevBackend&) = delete;
    PpdevBackend& operator=(const PpdevBackend&) = delete;

    std::uint8_t readByte(std::uint16_t port) override;
    void writeByte(std::uint16_t port, std::uint8_t value) override;
    const char* portFailure(std::uint16_t port) const override;

    // Whether the parport serving `port` was claimed exclusively (false: shared, or none).
    bool exclusive(std::uint16_t port) const;

private:
    struct Parport {
        std::string device;
        std::uint16_t base = 0;
        int fd = -1;
        bool exclusive = false;
        std::string lost; // why it was given up during use; empty while it works
    };

    // The reason the port cannot be used, or empty when it is claimed.
    std::string claim(Parport& parport);
    // The parport whose registers hold a port address, claimed or lost, or nullptr.
    const Parport* owner(std::uint16_t port, int& offset) const;
    // The claimed parport and register offset serving a port address, or nullptr.
    Parport* serving(std::uint16_t port, int& offset);
    // A failed ioctl on a claimed port: the port is given up and the reason kept.
    void lose(Parport& parport, const char* request, int error);

    PpdevCalls& calls_;
    std::vector<Parport> parports_;
};

} // namespace kestrel::portio
