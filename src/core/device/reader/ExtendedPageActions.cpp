#include "core/device/reader/ExtendedPageActions.h"

#include "core/text/PlatformInteger.h"

#include <charconv>
#include <new>

namespace kestrel {

namespace {

constexpr std::uint32_t kAfterSearchPauseMs = 500;

bool findDevice(ReaderDeviceTransfer& transfer)
{
    transfer.findReader();
    transfer.clock().sleepMs(kAfterSearchPauseMs);
    return transfer.deviceFound();
}

// A zero-filled buffer, or nullopt after telling the user there was no memory for it.
std::optional<std::vector<std::uint8_t>> zeroBuffer(std::size_t size, UserInterface& ui)
{
    try {
        return std::vector<std::uint8_t>(size, 0);
    } catch (const std::bad_alloc&) {
        ui.showMessage(kOutOfMemoryMessage);
        return std::nullopt;
    }
}

// "1 байт", "2 байта", "5 байт", "22 байта", "32768 байт".
std::string byteCountText(std::uint32_t count)
{
    char digits[12];
    const auto end = std::to_chars(digits, digits + sizeof digits, count).ptr;
    const std::uint32_t lastTwo = count % 100;
    const std::uint32_t last = count % 10;
    const bool paucal = last >= 2 && last <= 4 && (lastTwo < 12 || lastTwo > 14);
    return std::string(digits, end) + (paucal ? " байта" : " байт");
}

} // namespace

std::string eraseQuestion(const AreaRange& range)
{
    return "Стереть область 0x" + hexText(range.start, 4) + "–0x" + hexText(lastAddress(range), 4) + " ("
        + byteCountText(range.size) + ") в ПСИ?";
}

std::optional<AreaReadResult> bbGetRAMClick(ReaderDeviceTransfer& transfer, AreaFields& fields, ReadCheck check)
{
    const auto range = readAreaRange(fields, transfer.ui());
    if (!range)
        return std::nullopt;
    if (range->size == 0)
        return AreaReadResult{*range, {}, showMemoryDump(range->start, {})};
    if (!findDevice(transfer))
        return std::nullopt;
    auto buffer = zeroBuffer(range->size, transfer.ui());
    if (!buffer)
        return std::nullopt;
    if (!readDeviceChecked(transfer, range->start, *buffer, check))
        return std::nullopt;
    auto table = showMemoryDump(range->start, *buffer);
    return AreaReadResult{*range, std::move(*buffer), std::move(table)};
}

EraseResult bbEraseClick(ReaderDeviceTransfer& transfer, AreaFields& fields)
{
    const auto range = readAreaRange(fields, transfer.ui());
    if (!range)
        return EraseResult::Refused;
    if (range->size == 0)
        return EraseResult::Erased;
    // Asked before the search: No must not even touch the port.
    if (!transfer.ui().askYesNo(eraseQuestion(*range)))
        return EraseResult::Declined;
    if (!findDevice(transfer))
        return EraseResult::Failed;
    const auto zeros = zeroBuffer(range->size, transfer.ui());
    if (!zeros)
        return EraseResult::Failed;
    if (!transfer.writeDevice(range->start, *zeros)) {
        transfer.ui().showMessage(kEraseFailedMessage);
        return EraseResult::Failed;
    }
    return EraseResult::Erased;
}

} // namespace kestrel
