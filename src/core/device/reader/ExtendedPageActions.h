#pragma once

#include "core/device/reader/AreaRange.h"
#include "core/device/reader/MemoryDumpTable.h"
#include "core/device/reader/ReaderDeviceTransfer.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace kestrel {

// What "Прочитать" got: the area, its bytes and the table made of them.
struct AreaReadResult {
    AreaRange range;
    std::vector<std::uint8_t> bytes;
    MemoryDumpTable table;
};

// "Прочитать": the area of the fields is searched for, read into a buffer of its own
// (the memory image is not touched) and shown as a hex table. nullopt when nothing
// could be shown: the area was refused, no device, the read failed. An area of size 0
// needs no device and shows the header and one empty line.
std::optional<AreaReadResult> bbGetRAMClick(ReaderDeviceTransfer& transfer, AreaFields& fields);

// "Стереть": zero bytes written over the area, without a question. True when all were
// written (an empty area is nothing to write).
bool bbEraseClick(ReaderDeviceTransfer& transfer, AreaFields& fields);

inline constexpr const char* kEraseFailedMessage = "Ошибка при стирании данных из ПСИ!";
inline constexpr const char* kOutOfMemoryMessage = "Ошибка выделения памяти!";

} // namespace kestrel
