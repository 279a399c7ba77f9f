#include "core/device/reader/PortMemoryBus.h"

#include "core/device/PortAccess.h"
#include "core/device/i2c/BusError.h"
#include "core/device/reader/ReaderDeviceTransfer.h"
#include "core/text/PlatformInteger.h"

#include <array>

namespace kestrel {

namespace {

constexpr std::uint8_t kWriteAddress = 0xAE;
constexpr std::uint8_t kReadAddress = 0xAF;
constexpr std::uint32_t kSearchPauseMs = 1000;

// The last candidate (0) is the address the user types.
constexpr std::array<std::uint16_t, 4> kCandidatePorts = {0x378, 0x278, 0x3BC, 0};
constexpr std::int32_t kDefaultPort = 888; // 0x378
constexpr const char* kDefaultPortText = "0x378";

std::uint8_t highByte(std::uint16_t value) { return static_cast<std::uint8_t>(value >> 8); }
std::uint8_t lowByte(std::uint16_t value) { return static_cast<std::uint8_t>(value & 0xFF); }

} // namespace

PortMemoryBus::PortMemoryBus(TI2C& bus, Clock& clock, UserInterface& ui, const int& retryLimit)
    : bus_(bus), clock_(clock), ui_(ui), retryLimit_(retryLimit)
{
}

void PortMemoryBus::showSearchStatus(const std::string& text)
{
    ui_.setStatusText(text);
    ui_.processMessages();
    clock_.sleepMs(kSearchPauseMs);
}

std::uint16_t PortMemoryBus::askForPort()
{
    const auto answer = ui_.inputText("Ручная установка номера порта обмена",
        "Введите адрес порта к которому подключен ПСИ:", kDefaultPortText);
    const std::string text = answer.value_or(kDefaultPortText);
    return static_cast<std::uint16_t>(static_cast<std::uint32_t>(platformStrToIntDef(text, kDefaultPort)) & 0xFFFF);
}

bool PortMemoryBus::search()
{
    bool found = false;
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
                found = true;
                break;
            }
            showSearchStatus("Нет ответа от ПСИ (порт 0x" + hex + ").");
        } catch (const std::exception&) {
            // Any failure of a probe only means nothing usable is on this port; its
            // time-out is not the transfer's to report.
            bus_.TimedOut = false;
        }
    }
    if (found)
        showSearchStatus("ПСИ обнаружен! Порт: 0x" + hexText(bus_.BaseAddress, 2) + ".");
    return found;
}

void PortMemoryBus::countFailure(int& failures)
{
    if (++failures < retryLimit_)
        return;
    // Reported exactly like a line wait that ran out.
    bus_.TimedOut = true;
    throw BusError(kTimeoutMessage);
}

void PortMemoryBus::pollAcknowledge(int& failures)
{
    while (!bus_.StartAddress(kWriteAddress)) {
        bus_.Stop();
        countFailure(failures);
    }
}

void PortMemoryBus::confirmDeviceAnswers(const char* message)
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

void PortMemoryBus::beginSequentialRead(std::uint16_t address)
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

void PortMemoryBus::begin()
{
    if (!bus_.InitBus())
        throw BusError(kInitErrorMessage);
}

void PortMemoryBus::readBlock(std::uint16_t address, std::span<std::uint8_t> out)
{
    beginSequentialRead(address);
    // Every byte is acknowledged, the last one too; the no-acknowledge follows the
    // progress report.
    for (std::uint8_t& byte : out) {
        byte = bus_.ReadByte();
        bus_.SendAck();
    }
}

void PortMemoryBus::endBlock() { bus_.SendNack(); }

void PortMemoryBus::writePage(std::uint16_t address, std::span<const std::uint8_t> data)
{
    std::size_t sent = 0;
    int failures = 0;
    while (sent < data.size()) {
        // The stop starts the write cycle of the page sent before.
        bus_.Stop();
        pollAcknowledge(failures);
        const auto at = static_cast<std::uint16_t>(address + sent);
        if (!bus_.SendTwoBytes(highByte(at), lowByte(at))) {
            countFailure(failures);
            continue;
        }
        while (sent < data.size()) {
            bus_.SendByte(data[sent]);
            if (!bus_.ReadAck()) {
                // The page begins again at the byte that was refused.
                countFailure(failures);
                break;
            }
            failures = 0;
            ++sent;
        }
    }
}

void PortMemoryBus::endRead(const char* lostMessage)
{
    // The device is in the middle of sending the byte after the last one and may hold SDA
    // low, so no stop can be made yet: the poll's start condition ends the read, as the
    // next transaction's would.
    confirmDeviceAnswers(lostMessage);
}

void PortMemoryBus::endWrite(const char* lostMessage)
{
    // The stop starts the write cycle of the last page; the device's acknowledge
    // afterwards says that the page arrived and the cycle is over.
    bus_.Stop();
    confirmDeviceAnswers(lostMessage);
}

bool PortMemoryBus::failureIsShown(const std::exception& error)
{
    if (bus_.TimedOut) {
        bus_.TimedOut = false;
        return true;
    }
    // The port itself failed (driver gone, device unplugged from a ppdev port): the
    // status text alone would not say why.
    return dynamic_cast<const PortError*>(&error) != nullptr;
}

} // namespace kestrel
