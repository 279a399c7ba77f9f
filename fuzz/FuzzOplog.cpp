// Arbitrary operational logs: the section show and a run of "След." must end within
// one pass over the log whatever the bytes, with no crash or sanitizer report.
//
// Input: byte 0 bit 0 = extended recorder program, bit 1 = the log beyond the input
// holds samples (0x00) rather than erased bytes (0xFF); bytes 1-2 = write position
// (image offset, little-endian); bytes 3-7 = the stamp looked for; the rest = the log
// from position 0.
#include "core/image/ImageLayout.h"
#include "core/image/MemoryImage.h"
#include "core/oplog/OperationalChart.h"
#include "core/oplog/OperationalLog.h"
#include "core/oplog/OperationalPages.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

using namespace kestrel;

namespace {

constexpr std::size_t kHeader = 8;
constexpr int kNextSteps = 6;

// At most one point per two bytes walked, plus two closing points per time mark passed.
void checkChart(const OperationalChart& chart)
{
    for (const auto& s : chart.series)
        if (s.points.size() != chart.pointCount())
            __builtin_trap();
    if (chart.pointCount() > kOplogPositions || chart.stopPosition >= kOplogPositions)
        __builtin_trap();
    for (PageChoice choice : kPageChoices) {
        const int pages = pageCount(choice, chart.pointCount());
        const PageRange last = pageRange(choice, chart.pointCount(), pages);
        if (pages < 1 || last.end != chart.pointCount() || last.first > last.end)
            __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < kHeader)
        return 0;
    auto image = std::make_unique<MemoryImage>();
    image->fill(0);
    const bool extended = (data[0] & 0x01) != 0;
    const std::uint8_t rest = (data[0] & 0x02) != 0 ? 0x00 : 0xFF;
    if (extended)
        (*image)[layout::kProgramName + 1] = 0xCF;
    (*image)[layout::kOplogWritePosition] = data[1];
    (*image)[layout::kOplogWritePosition + 1] = data[2];
    for (std::size_t z = 0; z < layout::kLoadCharacteristicZones * 3; ++z)
        (*image)[layout::kLoadCharacteristic + z] = static_cast<std::uint8_t>(z * 5);
    const StampBytes stamp{data[3], data[4], data[5], data[6], data[7]};

    const std::size_t logBytes = std::min(size - kHeader, kOplogPositions);
    std::copy_n(data + kHeader, logBytes, image->begin() + layout::kOplog);
    std::fill(image->begin() + static_cast<std::ptrdiff_t>(layout::kOplog + logBytes), image->end(), rest);

    OperationalChart chart = showOperationalSection(*image, stamp);
    checkChart(chart);
    for (int i = 0; i < kNextSteps; ++i) {
        NextSectionResult next = showNextOperationalSection(*image, chart);
        if (!next.found)
            break;
        checkChart(next.chart);
        chart = std::move(next.chart);
    }
    return 0;
}
