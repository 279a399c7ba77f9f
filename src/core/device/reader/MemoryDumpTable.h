#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kestrel {

// The hex table of the extended page (sgRAM): row 0 holds the column offsets "00" to
// "0F"; each further row is one 16-byte line, its address in column 0 and its bytes
// in columns 1 to 16, with cells outside the range left empty.
class MemoryDumpTable {
public:
    static constexpr int kColumnCount = 17;
    static constexpr int kFixedRows = 1;
    static constexpr int kAddressColumnWidth = 60; // pixels

    explicit MemoryDumpTable(int rowCount = kFixedRows + 1);

    int rowCount() const { return rowCount_; }
    int columnCount() const { return kColumnCount; }
    const std::string& cell(int row, int column) const { return cells_.at(index(row, column)); }
    void setCell(int row, int column, std::string text) { cells_.at(index(row, column)) = std::move(text); }

private:
    std::size_t index(int row, int column) const;

    int rowCount_;
    std::vector<std::string> cells_;
};

// The table of `bytes` read from device address `start`. It always has at least one
// data row (addressed at start's line), so an empty range still shows as a table.
MemoryDumpTable showMemoryDump(std::uint16_t start, std::span<const std::uint8_t> bytes);

} // namespace kestrel
