#pragma once

#include <cstdint>
#include <optional>

namespace kestrel {

inline constexpr std::uint8_t BIT0 = 0x01;
inline constexpr std::uint8_t BIT1 = 0x02;
inline constexpr std::uint8_t BIT2 = 0x04;
inline constexpr std::uint8_t BIT3 = 0x08;
inline constexpr std::uint8_t BIT4 = 0x10;
inline constexpr std::uint8_t BIT5 = 0x20;
inline constexpr std::uint8_t BIT6 = 0x40;
inline constexpr std::uint8_t BIT7 = 0x80;

// Pins of the 25-pin connector; the data pins 2 to 9 go by their numbers.
inline constexpr std::uint8_t STROBE_PIN = 1;
inline constexpr std::uint8_t ACK_PIN = 10;
inline constexpr std::uint8_t BUSY_PIN = 11;
inline constexpr std::uint8_t PAPEREND_PIN = 12;
inline constexpr std::uint8_t SELECTOUT_PIN = 13;
inline constexpr std::uint8_t AUTOFD_PIN = 14;
inline constexpr std::uint8_t ERROR_PIN = 15;
inline constexpr std::uint8_t INIT_PIN = 16;
inline constexpr std::uint8_t SELECTIN_PIN = 17;

// Register offsets from an LPT port's base address.
enum LptRegister : std::uint8_t {
    kDataRegister = 0,
    kStatusRegister = 1,
    kControlRegister = 2,
};

// Where a pin lives: "inverted" means the register bit is the complement of the pin level.
struct PinLine {
    LptRegister reg;
    std::uint8_t mask;
    bool inverted;
    bool output;
};

// The pin map; nullopt for numbers outside 1..17.
constexpr std::optional<PinLine> pinLine(std::uint8_t pin)
{
    constexpr PinLine kPins[18] = {
        {kDataRegister, 0, false, false}, // no pin 0
        {kControlRegister, BIT0, true, true}, // 1 STROBE
        {kDataRegister, BIT0, false, true}, // 2..9 data
        {kDataRegister, BIT1, false, true},
        {kDataRegister, BIT2, false, true},
        {kDataRegister, BIT3, false, true},
        {kDataRegister, BIT4, false, true},
        {kDataRegister, BIT5, false, true},
        {kDataRegister, BIT6, false, true},
        {kDataRegister, BIT7, false, true},
        {kStatusRegister, BIT6, false, false}, // 10 ACK
        {kStatusRegister, BIT7, true, false}, // 11 BUSY
        {kStatusRegister, BIT5, false, false}, // 12 PAPEREND
        {kStatusRegister, BIT4, false, false}, // 13 SELECTOUT
        {kControlRegister, BIT1, true, true}, // 14 AUTOFD
        {kStatusRegister, BIT3, false, false}, // 15 ERROR
        {kControlRegister, BIT2, false, true}, // 16 INIT
        {kControlRegister, BIT3, true, true}, // 17 SELECTIN
    };
    if (pin < 1 || pin > 17)
        return std::nullopt;
    return kPins[pin];
}

} // namespace kestrel
