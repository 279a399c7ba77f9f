#include "core/device/reader/ReaderDeviceTransfer.h"

#include "core/device/i2c/BusError.h"
#include "core/device/reader/PortMemoryBus.h"

#include <algorithm>

namespace kestrel {

namespace {

constexpr std::size_t kBytesPerRead = 256;
constexpr std::size_t kPageSize = 32;
constexpr std::uint32_t kTransferPauseMs = 500;

// Progress positions of the progress bar; the transfers are at most 64 KiB long.
int position(std::size_t value) { return static_cast<int>(value); }

} // namespace

ReaderDeviceTransfer::ReaderDeviceTransfer(TI2C& bus, Clock& clock, UserInterface& ui) : clock_(clock), ui_(ui)
{
    buses_.push_back(std::make_unique<PortMemoryBus>(bus, clock, ui, RetryLimit));
}

ReaderDeviceTransfer::ReaderDeviceTransfer(
    std::vector<std::unique_ptr<MemoryBus>> buses, TI2C* port, Clock& clock, UserInterface& ui)
    : buses_(std::move(buses)), clock_(clock), ui_(ui)
{
    if (port != nullptr)
        buses_.push_back(std::make_unique<PortMemoryBus>(*port, clock, ui, RetryLimit));
}

ReaderDeviceTransfer::~ReaderDeviceTransfer() = default;

bool ReaderDeviceTransfer::findReader()
{
    deviceFound_ = false;
    for (std::size_t i = 0; i < buses_.size() && !deviceFound_; ++i) {
        if (buses_[i]->search()) {
            active_ = i;
            deviceFound_ = true;
        }
    }
    if (!deviceFound_)
        ui_.setStatusText(kReaderNotFound);
    return deviceFound_;
}

void ReaderDeviceTransfer::pause()
{
    if (activeBus().pacedByPauses())
        clock_.sleepMs(kTransferPauseMs);
}

void ReaderDeviceTransfer::reportTransferError(const std::exception& error)
{
    if (activeBus().failureIsShown(error))
        ui_.showError(kReaderCaption, error.what());
}

bool ReaderDeviceTransfer::readDevice(std::uint16_t start, std::span<std::uint8_t> buffer)
{
    if (!hasBuses()) {
        ui_.setStatusText(kReadFailed); // no bus was chosen that could be used
        return false;
    }
    MemoryBus& bus = activeBus();
    const std::size_t count = buffer.size();
    const int maximum = position(count) - 1;
    beginTransfer("Подождите, идет загрузка данных ...");

    try {
        bus.begin();
        ui_.setProgress(0, maximum);
        pause();

        std::size_t done = 0;
        while (done < count) {
            const std::size_t block = std::min(kBytesPerRead, count - done);
            bus.readBlock(static_cast<std::uint16_t>(start + done), buffer.subspan(done, block));
            done += block;
            ui_.setProgress(position(done), maximum);
            ui_.processMessages();
            if (ui_.terminateRequested())
                return false; // the application is going away: nothing more to show
            bus.endBlock();
        }
        if (count > 0)
            bus.endRead(kLostAfterRead);
    } catch (const std::exception& e) {
        reportTransferError(e);
        return endTransfer(maximum, kReadFailed, false);
    }
    return endTransfer(maximum, kReadDone, true);
}

void ReaderDeviceTransfer::beginTransfer(const char* status)
{
    ui_.setTransferRunning(true);
    ui_.setStatusText(status);
    ui_.processMessages();
    pause();
}

bool ReaderDeviceTransfer::endTransfer(int maximum, const char* status, bool result)
{
    ui_.setProgress(0, maximum);
    ui_.setTransferRunning(false);
    ui_.setStatusText(status);
    return result;
}

bool ReaderDeviceTransfer::writeDevice(std::uint16_t start, std::span<const std::uint8_t> data)
{
    if (!hasBuses()) {
        ui_.setStatusText(kWriteFailed);
        return false;
    }
    MemoryBus& bus = activeBus();
    const std::size_t count = data.size();
    const int maximum = position(count) - 1;
    beginTransfer("Подождите, идет запись данных ...");

    try {
        bus.begin();
        ui_.setProgress(0, maximum);
        ui_.processMessages();
        pause();

        std::size_t done = 0;
        while (done < count) {
            // Up to the end of the 32-byte page the next byte lies in.
            const auto address = static_cast<std::uint16_t>(start + done);
            const std::size_t roomInPage = kPageSize - (address & (kPageSize - 1));
            const std::size_t page = std::min(roomInPage, count - done);
            bus.writePage(address, data.subspan(done, page));
            done += page;
            ui_.setProgress(position(done) - 1, maximum);
            ui_.processMessages();
        }
        if (count > 0)
            bus.endWrite(kLostAfterWrite);
    } catch (const std::exception& e) {
        reportTransferError(e);
        return endTransfer(maximum, kWriteFailed, false);
    }
    return endTransfer(maximum, kWriteDone, true);
}

} // namespace kestrel
