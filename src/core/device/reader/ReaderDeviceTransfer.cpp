#include "core/device/reader/ReaderDeviceTransfer.h"

#include "core/device/PortAccess.h"
#include "core/device/i2c/BusError.h"
#include "core/text/PlatformInteger.h"

#include <array>

namespace kestrel {

namespace {

constexpr std::uint8_t kWriteAddress = 0xAE;
constexpr std::uint8_t kReadAddress = 0xAF;
constexpr std::size_t kBytesPerRead = 256;
constexpr std::uint16_t kPageMask = 0xFFE0;
constexpr std::uint32_t kSearchPauseMs = 1000;
constexpr std::uint32_t kTransferPauseMs = 500;

// The last candidate (0) is the address the user types.
constexpr std::array<std::uint16_t, 4> kCandidatePorts = {0x378, 0x278, 0x3BC, 0};
constexpr std::int32_t kDefaultPort = 888; // 0x378
constexpr const char* kDefaultPortText = "0x378";

std::uint8_t highByte(std::uint16_t value) { return static_cast<std::uint8_t>(value >> 8); }
std::uint8_t lowByte(std::uint16_t value) { return static_cast<std::uint8_t>(value & 0xFF); }

// Progress positions of the progress bar; the transfers are at most 64 KiB long.
int position(std::size_t value) { return static_cast<int>(value); }

} // namespace

ReaderDeviceTransfer::ReaderDeviceTransfer(TI2C& bus, Clock& clock, UserInterface& ui)
    : bus_(bus), clock_(clock), ui_(ui)
{
}

void ReaderDeviceTransfer::showSearchStatus(const std::string& text)
{
    ui_.setStatusText(text);
    ui_.processMessages();
    clock_.sleepMs(kSearchPauseMs);
}

std::uint16_t ReaderDeviceTransfer::askForPort()
{
    const auto answer = ui_.inputText("Ручная установка номера порта обмена",
        "Введите адрес порта к которому подключен ПСИ:", kDefaultPortText);
    const std::string text = answer.value_or(kDefaultPortText);
    return static_cast<std::uint16_t>(static_cast<std::uint32_t>(platformStrToIntDef(text, kDefaultPort)) & 0xFFFF);
}

bool ReaderDeviceTransfer::findReader()
{
    deviceFound_ = false;
    for (const std::uint16_t candidate : kCandidatePorts) {
        bus_.BaseAddress = candidate != 0 ? candidate : askForPort();
        const std::string hex = hexText(bus_.BaseAddress, 2);
        showSearchStatus("Поиск ПСИ по адресу 0x" + hex + "...");
        try {
            if (!bus_.InitBus()) {
                showSearchStatus("Ошибка инициализации порта 0x" + hex + ".");
                continue;
            }
            if (bus_.StartAddress(kWriteAddress)) {
                deviceFound_ = true;
                break;
            }
            showSearchStatus("Нет ответа от ПСИ (порт 0x" + hex + ").");
        } catch (const std::exception&) {
            // Any failure of a probe only means nothing usable is on this port; its
            // time-out is not the transfer's to report.
            bus_.TimedOut = false;
        }
    }
    if (deviceFound_)
        showSearchStatus("ПСИ обнаружен! Порт: 0x" + hexText(bus_.BaseAddress, 2) + ".");
    else
        ui_.setStatusText(kReaderNotFound);
    return deviceFound_;
}

void ReaderDeviceTransfer::countFailure(int& failures)
{
    if (++failures < RetryLimit)
        return;
    // Reported exactly like a line wait that ran out.
    bus_.TimedOut = true;
    throw BusError(kTimeoutMessage);
}

void ReaderDeviceTransfer::pollAcknowledge(int& failures)
{
    while (!bus_.StartAddress(kWriteAddress)) {
        bus_.Stop();
        countFailure(failures);
    }
}

void ReaderDeviceTransfer::confirmDeviceAnswers(const char* message)
{
    try {
        int failures = 0;
        pollAcknowledge(failures);
        bus_.Stop(); // the bus is left idle, with no write begun
    } catch (const BusError&) {
        // Whatever the lines did, the device did not answer: that is what the user needs to know.
        bus_.TimedOut = true;
        throw BusError(message);
    }
}

void ReaderDeviceTransfer::beginSequentialRead(std::uint16_t address)
{
    int failures = 0;
    for (;;) {
        pollAcknowledge(failures);
        if (!bus_.SendTwoBytes(highByte(address), lowByte(address))) {
            countFailure(failures);
            continue;
        }
        bus_.RepeatedStart();
        bus_.SendByte(kReadAddress);
        if (!bus_.ReadAck()) {
            countFailure(failures);
            continue;
        }
        return;
    }
}

void ReaderDeviceTransfer::reportTransferError(const std::exception& error)
{
    if (bus_.TimedOut) {
        bus_.TimedOut = false;
        ui_.showError(kReaderCaption, error.what());
    } else if (dynamic_cast<const PortError*>(&error) != nullptr) {
        // The port itself failed (driver gone, device unplugged from a ppdev port):
        // the status text alone would not say why.
        ui_.showError(kReaderCaption, error.what());
    }
}

bool ReaderDeviceTransfer::readDevice(std::uint16_t start, std::span<std::uint8_t> buffer)
{
    const std::size_t count = buffer.size();
    const int maximum = position(count) - 1;
    beginTransfer("Подождите, идет загрузка данных ...");

    try {
        if (!bus_.InitBus())
            throw BusError(kInitErrorMessage);
        ui_.setProgress(0, maximum);
        clock_.sleepMs(kTransferPauseMs);

        std::uint16_t address = start;
        std::size_t done = 0;
        while (done < count) {
            beginSequentialRead(address);
            // Every byte is acknowledged, the last one too; the no-acknowledge follows
            // the progress report.
            for (std::size_t n = 0; n < kBytesPerRead && done < count; ++n) {
                buffer[done] = bus_.ReadByte();
                bus_.SendAck();
                address = static_cast<std::uint16_t>(address + 1);
                ++done;
            }
            ui_.setProgress(position(done), maximum);
            ui_.processMessages();
            if (ui_.terminateRequested())
                return false; // the application is going away: nothing more to show
            bus_.SendNack();
        }
        // The device is in the middle of sending the byte after the last one and may
        // hold SDA low, so no stop can be made yet: the poll's start condition ends the
        // read, as the next transaction's would.
        if (count > 0)
            confirmDeviceAnswers(kLostAfterRead);
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
    clock_.sleepMs(kTransferPauseMs);
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
    const std::size_t count = data.size();
    const int maximum = position(count) - 1;
    beginTransfer("Подождите, идет запись данных ...");

    try {
        if (!bus_.InitBus())
            throw BusError(kInitErrorMessage);
        ui_.setProgress(0, maximum);
        ui_.processMessages();
        clock_.sleepMs(kTransferPauseMs);

        std::uint16_t address = start;
        std::size_t done = 0;
        int failures = 0;
        while (done < count) {
            // The stop starts the write cycle of the page sent before.
            bus_.Stop();
            pollAcknowledge(failures);
            if (!bus_.SendTwoBytes(highByte(address), lowByte(address))) {
                countFailure(failures);
                continue;
            }
            bool pageComplete = false;
            for (;;) {
                bus_.SendByte(data[done]);
                if (!bus_.ReadAck()) {
                    // The page begins again at the byte that was refused.
                    countFailure(failures);
                    break;
                }
                failures = 0;
                ++done;
                const auto next = static_cast<std::uint16_t>(address + 1);
                if ((next & kPageMask) != (address & kPageMask) || done == count) {
                    pageComplete = true;
                    break;
                }
                address = next;
            }
            if (!pageComplete)
                continue;
            address = static_cast<std::uint16_t>(address + 1);
            ui_.setProgress(position(done) - 1, maximum);
            ui_.processMessages();
        }
        // The stop starts the write cycle of the last page; the device's acknowledge
        // afterwards says that the page arrived and the cycle is over.
        bus_.Stop();
        if (count > 0)
            confirmDeviceAnswers(kLostAfterWrite);
    } catch (const std::exception& e) {
        reportTransferError(e);
        return endTransfer(maximum, kWriteFailed, false);
    }
    return endTransfer(maximum, kWriteDone, true);
}

} // namespace kestrel
