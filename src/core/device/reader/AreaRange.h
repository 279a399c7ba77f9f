#pragma once

#include "core/ui/UserInterface.h"

#include <cstdint>
#include <optional>
#include <string>

namespace kestrel {

// The area fields of the extended page: eeStart ("Адрес") and eeSize ("Размер").
struct AreaFields {
    std::string eeStart;
    std::string eeSize;
};

struct AreaRange {
    std::uint16_t start = 0;
    std::uint16_t size = 0;
};

inline constexpr std::uint16_t kDeviceMemorySize = 0x8000;

// Reads the two fields (defaults 0 and 0x8000, taken as 16-bit values), shortens the
// area to end at the end of device memory and rewrites both fields as "0x" + four hex
// digits. A start outside device memory is refused with a message (nullopt): its area
// could not be made to fit.
std::optional<AreaRange> readAreaRange(AreaFields& fields, UserInterface& ui);

inline constexpr const char* kAreaStartOutsideMessage = "Адрес области должен быть от 0x0000 до 0x7FFF!";

} // namespace kestrel
