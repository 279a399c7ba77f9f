#include "portio/PortIoBackend.h"

#include "core/device/sim/DeviceSelection.h"
#include "portio/DirectBackend.h"
#include "portio/PpdevBackend.h"
#include "portio/SimulatedBackend.h"

#include <exception>

namespace kestrel::portio {

namespace {

// Carries nothing but the reason the wanted backend could not be made.
class UnavailableBackend : public PortIoBackend {
public:
    explicit UnavailableBackend(std::string reason) { setReason(std::move(reason)); }
    std::uint8_t readByte(std::uint16_t) override { return 0xFF; }
    void writeByte(std::uint16_t, std::uint8_t) override {}
};

// The machine's own ports when there are none: nothing answers, which the reader search
// reports as no reader found. A laptop without a parallel port is no fault to announce.
class NoPortsBackend : public PortIoBackend {
public:
    std::uint8_t readByte(std::uint16_t) override { return 0xFF; }
    void writeByte(std::uint16_t, std::uint8_t) override {}
};

} // namespace

std::unique_ptr<PortIoBackend> makePortIoBackend(const char* deviceSpec)
{
    try {
        const std::string text = deviceSpec == nullptr ? std::string() : std::string(deviceSpec);
        // Nothing chosen: real hardware, never the simulator (it would show a demo crane
        // as if read from a reader device).
        if (text.empty()) {
            auto ports = std::make_unique<PpdevBackend>(parseDeviceSelection("ppdev"));
            if (ports->reason() == nullptr)
                return ports;
            return std::make_unique<NoPortsBackend>();
        }
        const DeviceSelection selection = parseDeviceSelection(text);
        switch (selection.kind) {
        case PortBackendKind::Simulated:
            return std::make_unique<SimulatedBackend>(selection);
        case PortBackendKind::Ppdev:
            return std::make_unique<PpdevBackend>(selection);
        case PortBackendKind::Direct:
            return std::make_unique<DirectBackend>();
        }
        return std::make_unique<UnavailableBackend>("KESTREL_PORTIO: неизвестный вид устройства");
    } catch (const std::exception& e) {
        return std::make_unique<UnavailableBackend>(std::string("KESTREL_PORTIO: ") + e.what());
    }
}

} // namespace kestrel::portio
