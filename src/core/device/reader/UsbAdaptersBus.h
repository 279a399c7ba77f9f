#pragma once

#include "core/device/Clock.h"
#include "core/device/reader/I2cReaderBus.h"
#include "core/device/reader/MemoryBus.h"
#include "core/ui/UserInterface.h"

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace kestrel {

// Every USB I2C adapter the system lists at the moment of the search (one plugged in
// after the start is found too), tried in order of their bus numbers; the transfers go
// to the one where the reader device answered. Adapters that are not on USB are never
// probed here: a laptop's SMBus carries its memory modules' EEPROMs in the same range.
class UsbAdaptersBus : public MemoryBus {
public:
    using CallsFactory = std::function<std::unique_ptr<I2cDevCalls>()>;

    // `named`: the user chose "i2c", so failures of an adapter are shown in a box.
    UsbAdaptersBus(CallsFactory makeCalls, std::filesystem::path classFolder, bool named, Clock& clock,
        UserInterface& ui);

    bool search() override;
    bool pacedByPauses() const override { return false; }
    void begin() override { found().begin(); }
    void readBlock(std::uint16_t address, std::span<std::uint8_t> out) override { found().readBlock(address, out); }
    void endBlock() override { found().endBlock(); }
    void writePage(std::uint16_t address, std::span<const std::uint8_t> data) override
    {
        found().writePage(address, data);
    }
    void endRead(const char* lostMessage) override { found().endRead(lostMessage); }
    void endWrite(const char* lostMessage) override { found().endWrite(lostMessage); }
    bool failureIsShown(const std::exception& error) override { return found().failureIsShown(error); }

private:
    I2cReaderBus& found();

    CallsFactory makeCalls_;
    std::filesystem::path classFolder_;
    bool named_;
    Clock& clock_;
    UserInterface& ui_;
    std::map<std::string, std::unique_ptr<I2cReaderBus>> adapters_; // by device path
    I2cReaderBus* found_ = nullptr;
};

} // namespace kestrel
