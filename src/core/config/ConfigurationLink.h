#pragma once

#include "core/device/reader/ReaderDeviceTransfer.h"

#include <cstdint>
#include <span>

namespace kestrel {

// What the write-back asks of the reader device: find it, write a range, read a
// range. The reader-device transfer does it for the window and the command line;
// tests put a recording link in between.
class ConfigurationLink {
public:
    virtual ~ConfigurationLink() = default;
    virtual bool findReader() = 0;
    virtual bool writeDevice(std::uint16_t start, std::span<const std::uint8_t> data) = 0;
    virtual bool readDevice(std::uint16_t start, std::span<std::uint8_t> buffer) = 0;
};

class TransferLink : public ConfigurationLink {
public:
    explicit TransferLink(ReaderDeviceTransfer& transfer) : transfer_(transfer) {}
    bool findReader() override { return transfer_.findReader(); }
    bool writeDevice(std::uint16_t start, std::span<const std::uint8_t> data) override
    {
        return transfer_.writeDevice(start, data);
    }
    bool readDevice(std::uint16_t start, std::span<std::uint8_t> buffer) override
    {
        return transfer_.readDevice(start, buffer);
    }

private:
    ReaderDeviceTransfer& transfer_;
};

} // namespace kestrel
