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

} // namespace

std::unique_ptr<PortIoBackend> makePortIoBackend(const char* deviceSpec)
{
    try {
        const std::string text = deviceSpec == nullptr ? std::string() : std::string(deviceSpec);
        const DeviceSelection selection = parseDeviceSelection(text.empty() ? "sim" : text);
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
