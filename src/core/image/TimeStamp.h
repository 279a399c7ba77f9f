#pragma once

#include "core/image/ByteAccess.h"
#include "core/image/DateTime.h"

#include <array>
#include <cstdint>
#include <string>

namespace kestrel {

// Five packed-BCD bytes: minute, hour, day, month, year within 2000..2099.
using StampBytes = std::array<std::uint8_t, 5>;

StampBytes stampAt(ConstBytes image, std::size_t offset);

bool stampIsValid(const StampBytes& stamp);
// "dd.MM.20yy hh:mm " (ends with one blank); empty for an invalid stamp.
std::string stampText(const StampBytes& stamp);
// 0 for an invalid stamp; throws DateConversionError for a day its month lacks.
DateTime stampToDateTime(const StampBytes& stamp);

std::uint8_t packBcd(int value);
std::string bcdDigits(std::uint8_t byte);

} // namespace kestrel
