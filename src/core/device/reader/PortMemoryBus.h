#pragma once

#include "core/device/Clock.h"
#include "core/device/i2c/TI2C.h"
#include "core/device/reader/MemoryBus.h"
#include "core/ui/UserInterface.h"

#include <string>

namespace kestrel {

// The reader device on a parallel port, through the bit-banged master: probes 0x378,
// 0x278, 0x3BC and then an address the user types; transactions of up to 256 bytes;
// acknowledge polling bounded by `retryLimit` failed attempts in a row.
class PortMemoryBus : public MemoryBus {
public:
    PortMemoryBus(TI2C& bus, Clock& clock, UserInterface& ui, const int& retryLimit);

    bool search() override;
    bool pacedByPauses() const override { return true; }
    void begin() override;
    void readBlock(std::uint16_t address, std::span<std::uint8_t> out) override;
    void endBlock() override;
    void writePage(std::uint16_t address, std::span<const std::uint8_t> data) override;
    void endRead(const char* lostMessage) override;
    void endWrite(const char* lostMessage) override;
    bool failureIsShown(const std::exception& error) override;

    TI2C& bus() { return bus_; }

private:
    void showSearchStatus(const std::string& text);
    std::uint16_t askForPort();
    // Acknowledge polling: start + 0xAE until the device answers, a stop after each miss.
    void pollAcknowledge(int& failures);
    // A missed attempt; throws a time-out once the limit of them came in a row.
    void countFailure(int& failures);
    void beginSequentialRead(std::uint16_t address);
    // The device must acknowledge its address again within the bound, else `message`
    // is raised. A device that vanished during the last transaction leaves SDA floating
    // high, which reads as 0xFF bytes and as acknowledges given; only this tells it
    // apart. After a write's final stop it also waits out the last page's write cycle.
    void confirmDeviceAnswers(const char* message);

    TI2C& bus_;
    Clock& clock_;
    UserInterface& ui_;
    const int& retryLimit_;
};

} // namespace kestrel
