#pragma once

#include "core/config/ConfigurationArea.h"
#include "core/image/ByteAccess.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kestrel {

// The configuration area as the reader device holds it after a write-back: zero bytes
// (the clearing write), and in them the blocks written, taken from the image that
// they were written from.
class ExpectedArea {
public:
    ExpectedArea();
    void blockWritten(ConstBytes image, config_area::Block block);
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

    // The device address of the first byte where `readBack` differs; nullopt when equal.
    std::optional<std::uint16_t> firstDifference(ConstBytes readBack) const;

private:
    std::vector<std::uint8_t> bytes_;
};

// "Проверка записи не прошла: по адресу 0x06F8 в ПСИ не то, что записано!"
std::string readBackDiffersMessage(std::uint16_t address);

} // namespace kestrel
