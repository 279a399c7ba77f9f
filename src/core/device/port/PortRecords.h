#pragma once

#include <cstdint>

namespace kestrel {

// One step of TPortIO::PortControl.
struct TPortRec {
    std::uint16_t Port = 0;
    std::uint8_t Value = 0;
    bool Write = false; // true writes Value to Port, false reads Port into Value
};

// Command types of TPortCommand; any other type leaves the record untouched.
enum TPortCommandType : std::int8_t {
    kReadByte = 0,
    kReadWord = 1,
    kReadDword = 2,
    kWriteByte = 3,
    kWriteWord = 4,
    kWriteDword = 5,
};

// One step of TPortIO::PortCommand; Value holds a byte, word or double word in its low part.
struct TPortCommand {
    std::uint16_t Port = 0;
    std::uint32_t Value = 0;
    std::int8_t Command = 0;
};

} // namespace kestrel
