#pragma once

#include "core/device/reader/ReaderDeviceTransfer.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace kestrel {

// How a range of the reader device is taken: read once, or read a second time and
// accepted only when both readings agree. The checksum covers only the even offsets,
// and only of the whole memory; the second reading catches a byte that came over
// the bus wrong anywhere in the range.
enum class ReadCheck { Once, Twice };

// readDevice into `buffer`, with ReadCheck::Twice followed by a second read into a
// buffer of its own. When the two differ, an error box names the first address where
// they do, the status bar says the data were not loaded, and the result is false
// (`buffer` then holds the first reading, which nobody should take).
bool readDeviceChecked(
    ReaderDeviceTransfer& transfer, std::uint16_t start, std::span<std::uint8_t> buffer, ReadCheck check);

// Index of the first byte where two readings of the same range differ; nullopt when equal.
std::optional<std::size_t> firstDifference(std::span<const std::uint8_t> first, std::span<const std::uint8_t> second);

// "Два чтения ПСИ не совпадают: первое различие по адресу 0x01A3!"
std::string readingsDifferMessage(std::uint32_t address);

} // namespace kestrel
