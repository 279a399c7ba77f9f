#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace kestrel::portio {

// Where the library's port bytes go. A backend that could not be set up stays in
// place: its reads give 0xFF, its writes go nowhere, and reason() says why.
class PortIoBackend {
public:
    virtual ~PortIoBackend() = default;
    virtual std::uint8_t readByte(std::uint16_t port) = 0;
    virtual void writeByte(std::uint16_t port, std::uint8_t value) = 0;

    // nullptr while the backend works, else the reason it does not.
    const char* reason() const { return reason_.empty() ? nullptr : reason_.c_str(); }
    // nullptr unless the port at this address was lost during use; then the reason.
    virtual const char* portFailure(std::uint16_t port) const
    {
        (void)port;
        return nullptr;
    }

protected:
    void setReason(std::string reason) { reason_ = std::move(reason); }
    bool usable() const { return reason_.empty(); }

private:
    std::string reason_;
};

// The backend named by the KESTREL_PORTIO text; nullptr or empty means the machine's own
// parallel ports through ppdev (none: a bus on which nothing answers, without a reason).
// The simulator only when named. Never throws: a bad text gives a backend that only
// carries the reason.
std::unique_ptr<PortIoBackend> makePortIoBackend(const char* deviceSpec);

} // namespace kestrel::portio
