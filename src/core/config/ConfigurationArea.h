#pragma once

#include <cstddef>
#include <cstdint>

// Where the write-back's blocks lie in the configuration area. Image offsets are
// device addresses, so each block is written from the image at its own offset.
namespace kestrel::config_area {

struct Block {
    std::uint16_t address;
    std::uint16_t length;
};

inline constexpr Block kArea{0x60B, 757};              // 0x60B–0x8FF, cleared first
inline constexpr Block kClock{0x60B, 37};              // stamp of the new clock value, operator name
inline constexpr Block kPassportOperator{0x635, 32};   // operator name of the identification change
inline constexpr Block kProgram{0x660, 112};           // change stamp, operator, switches, thresholds, characteristic
inline constexpr Block kNormalisation{0x6D0, 16};
inline constexpr Block kAccess{0x6F0, 10};             // access code, operation flags, their copy
inline constexpr Block kIdentification{0x700, 512};

inline constexpr std::size_t kClockOperator = 0x610;
inline constexpr std::size_t kProgramOperator = 0x665;
inline constexpr std::size_t kAccessCodeLength = 8;
inline constexpr std::size_t kOperationFlags = 0x6F8;
inline constexpr std::size_t kOperationFlagsCopy = 0x6F9;

// Operation flags: what the recorder is told to do with the blocks.
inline constexpr std::uint8_t kFlagClock = 0x01;
inline constexpr std::uint8_t kFlagIdentification = 0x02;
inline constexpr std::uint8_t kFlagErase = 0x04;
inline constexpr std::uint8_t kFlagProgram = 0x08;
inline constexpr std::uint8_t kFlagNormalisation = 0x10;

} // namespace kestrel::config_area
