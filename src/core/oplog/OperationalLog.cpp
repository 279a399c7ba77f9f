#include "core/oplog/OperationalLog.h"

#include "core/image/ImageLayout.h"

namespace kestrel {

namespace {
constexpr std::uint8_t kExtendedProgramMark = 0xCF; // "П" in code page 1251
}

OperationalLog::OperationalLog(ConstBytes image)
    : image_(image)
    , extended_(image[layout::kProgramName + 1] == kExtendedProgramMark)
{
}

std::uint8_t OperationalLog::byteAt(std::size_t position) const { return image_[layout::kOplog + wrap(position)]; }

StampBytes OperationalLog::stampAt(std::size_t position) const
{
    StampBytes stamp{};
    for (std::size_t i = 0; i < stamp.size(); ++i)
        stamp[i] = byteAt(position + i);
    return stamp;
}

OplogSample OperationalLog::sampleAt(std::size_t position) const
{
    const std::uint8_t head = byteAt(position);
    OplogSample s;
    s.winch2 = (head & 0x01) != 0;
    s.relay1 = (head & 0x02) != 0;
    s.relay2 = (head & 0x04) != 0;
    s.sound = (head & 0x08) != 0;
    s.event = (head >> 4) & 0x07;
    s.load = byteAt(position + 1);
    if (extended_) {
        const std::uint8_t extra = byteAt(position + 2);
        s.zone = extra & 0x0F;
        s.relay3 = (extra & 0x10) != 0;
        s.relay4 = (extra & 0x20) != 0;
    }
    return s;
}

std::uint8_t OperationalLog::zoneThreshold(int zone) const
{
    return image_[layout::kLoadCharacteristic + 2 + 3 * static_cast<std::size_t>(zone)];
}

std::size_t OperationalLog::writePosition() const
{
    const std::size_t offset = readU16(image_, layout::kOplogWritePosition);
    if (offset < layout::kOplog || offset - layout::kOplog >= kOplogPositions)
        return 0;
    return offset - layout::kOplog;
}

std::optional<std::size_t> OperationalLog::findSection(const StampBytes& stamp) const
{
    const std::size_t from = writePosition();
    for (std::size_t i = 0; i < kOplogPositions; ++i) {
        const std::size_t p = wrap(from + i);
        if (byteAt(p) == kTimeMarkByte && stampAt(p + 1) == stamp)
            return wrap(p + 1 + stamp.size());
    }
    return std::nullopt;
}

std::size_t OperationalLog::skipMarks(std::size_t position, std::size_t& steps) const
{
    while (byteAt(position) == kTimeMarkByte && steps < kOplogPositions) {
        position = wrap(position + 1);
        ++steps;
    }
    return position;
}

} // namespace kestrel
