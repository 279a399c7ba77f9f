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

// Why the fields cannot be taken: one line for each field whose text is not a number,
// naming the field and quoting the text; empty when both can be taken. A blank field
// is no slip and takes its default. A mistyped size must never turn into "everything".
std::string areaFieldsError(const AreaFields& fields);

// Reads the two fields (blank: 0 and 0x8000; numbers taken as 16-bit values), shortens
// the area to end at the end of device memory and rewrites both fields as "0x" + four
// hex digits. Refused with a message (nullopt): a field that is not a number (the
// fields then stay as typed), a start outside device memory (its area could not be
// made to fit).
std::optional<AreaRange> readAreaRange(AreaFields& fields, UserInterface& ui);

// The last address of a non-empty area.
inline std::uint32_t lastAddress(const AreaRange& range) { return std::uint32_t{range.start} + range.size - 1; }

inline constexpr const char* kAreaStartOutsideMessage = "Адрес области должен быть от 0x0000 до 0x7FFF!";

} // namespace kestrel
