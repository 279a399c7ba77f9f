#include "core/device/reader/MemoryDumpTable.h"

#include "core/text/PlatformInteger.h"

#include <algorithm>
#include <stdexcept>

namespace kestrel {

MemoryDumpTable::MemoryDumpTable(int rowCount)
    : rowCount_(rowCount), cells_(static_cast<std::size_t>(rowCount) * kColumnCount)
{
}

std::size_t MemoryDumpTable::index(int row, int column) const
{
    if (row < 0 || row >= rowCount_ || column < 0 || column >= kColumnCount)
        throw std::out_of_range("memory dump cell outside the table");
    return static_cast<std::size_t>(row) * kColumnCount + static_cast<std::size_t>(column);
}

MemoryDumpTable showMemoryDump(std::uint16_t start, std::span<const std::uint8_t> bytes)
{
    const std::size_t line = start & 0xFFF0u;
    const std::size_t spanned = start + bytes.size() - line;
    const std::size_t dataRows = std::max<std::size_t>((spanned + 15) / 16, 1);
    MemoryDumpTable table(static_cast<int>(dataRows) + MemoryDumpTable::kFixedRows);

    for (int column = 1; column <= 16; ++column)
        table.setCell(0, column, hexText(static_cast<std::uint32_t>(column - 1), 2));
    for (std::size_t r = 1; r <= dataRows; ++r)
        table.setCell(static_cast<int>(r), 0, hexText(static_cast<std::uint32_t>((line + 16 * (r - 1)) & 0xFFFF), 4));

    // Byte i lies at offset (start - line) + i from the first line.
    const std::size_t first = start - line;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::size_t offset = first + i;
        table.setCell(static_cast<int>(1 + offset / 16), static_cast<int>(1 + offset % 16), hexText(bytes[i], 2));
    }
    return table;
}

} // namespace kestrel
