#pragma once

#include "core/device/Clock.h"
#include "core/device/i2cdev/I2cAdapters.h"
#include "core/device/i2cdev/I2cDevCalls.h"
#include "core/device/i2cdev/I2cMemoryBus.h"
#include "core/device/reader/MemoryBus.h"
#include "core/ui/UserInterface.h"

#include <memory>
#include <string>

namespace kestrel {

// The reader device behind an I2C adapter of Linux i2c-dev (or the simulated one behind
// the same calls). No fixed pauses: they pace the parallel port, not a USB adapter.
class I2cReaderBus : public MemoryBus {
public:
    // `label` names the adapter in status texts ("USB-адаптер I2C: MCP2221"); `named`: the
    // user chose this adapter, so a failure to open it is shown in a box, not only in the
    // status bar of an automatic search.
    I2cReaderBus(std::unique_ptr<I2cDevCalls> calls, const I2cAdapter& adapter, std::string label, bool named,
        Clock& clock, UserInterface& ui);

    bool search() override;
    bool pacedByPauses() const override { return false; }
    void begin() override;
    void readBlock(std::uint16_t address, std::span<std::uint8_t> out) override;
    void endBlock() override {}
    void writePage(std::uint16_t address, std::span<const std::uint8_t> data) override;
    void endRead(const char* lostMessage) override;
    void endWrite(const char* lostMessage) override;
    bool failureIsShown(const std::exception& error) override;

    I2cDevCalls& calls() { return *calls_; }
    I2cMemoryBus& memoryBus() { return bus_; }

private:
    std::unique_ptr<I2cDevCalls> calls_;
    I2cMemoryBus bus_;
    std::string where_; // "USB-адаптер I2C: MCP2221 (/dev/i2c-7)"
    bool named_;
    UserInterface& ui_;
};

// How an adapter is named in status texts: "USB-адаптер I2C: MCP2221 (/dev/i2c-7)".
std::string i2cAdapterLabel(const I2cAdapter& adapter);

} // namespace kestrel
