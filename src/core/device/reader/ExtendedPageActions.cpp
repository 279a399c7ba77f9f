#include "core/device/reader/ExtendedPageActions.h"

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

} // namespace

std::optional<AreaReadResult> bbGetRAMClick(ReaderDeviceTransfer& transfer, AreaFields& fields)
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
    if (!transfer.readDevice(range->start, *buffer))
        return std::nullopt;
    auto table = showMemoryDump(range->start, *buffer);
    return AreaReadResult{*range, std::move(*buffer), std::move(table)};
}

bool bbEraseClick(ReaderDeviceTransfer& transfer, AreaFields& fields)
{
    const auto range = readAreaRange(fields, transfer.ui());
    if (!range)
        return false;
    if (range->size == 0)
        return true;
    if (!findDevice(transfer))
        return false;
    const auto zeros = zeroBuffer(range->size, transfer.ui());
    if (!zeros)
        return false;
    if (!transfer.writeDevice(range->start, *zeros)) {
        transfer.ui().showMessage(kEraseFailedMessage);
        return false;
    }
    return true;
}

} // namespace kestrel
