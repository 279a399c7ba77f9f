#pragma once

#include "core/device/reader/AreaRange.h"
#include "core/device/reader/MemoryDumpTable.h"
#include "core/device/reader/ReaderDeviceTransfer.h"
#include "core/device/reader/VerifiedRead.h"

#include <cstdint>
#include <optional>
#include <string>
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
// could be shown: the area was refused, no device, the read failed (or, read twice,
// the readings differed). An area of size 0 needs no device and shows the header and
// one empty line.
std::optional<AreaReadResult> bbGetRAMClick(
    ReaderDeviceTransfer& transfer, AreaFields& fields, ReadCheck check = ReadCheck::Once);

// How "Стереть" ended.
enum class EraseResult {
    Erased,   // every zero byte written (an empty area is nothing to write)
    Refused,  // the fields were refused; no question, no device touched
    Declined, // the question was answered No; no device touched
    Failed,   // no device, or the write broke off (the area may be partly zero)
};

// "Стереть": after the question "Стереть область 0x…–0x… (N байт) в ПСИ?", zero bytes
// written over the area. Without the question a typing slip would erase the memory.
EraseResult bbEraseClick(ReaderDeviceTransfer& transfer, AreaFields& fields);

// The question asked before an erase of a non-empty area.
std::string eraseQuestion(const AreaRange& range);

inline constexpr const char* kEraseFailedMessage = "Ошибка при стирании данных из ПСИ!";
inline constexpr const char* kOutOfMemoryMessage = "Ошибка выделения памяти!";

} // namespace kestrel
