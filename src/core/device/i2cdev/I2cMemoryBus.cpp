#include "core/device/i2cdev/I2cMemoryBus.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <stdexcept>

namespace kestrel {

namespace {

std::string number(int value)
{
    std::array<char, 16> text{};
    const auto [end, ec] = std::to_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc{} ? std::string(text.data(), end) : std::string("?");
}

// The device did not acknowledge: busy in its write cycle, or not there. Drivers
// differ in how they say it.
bool notAcknowledged(int error)
{
    return error == kErrNxio || error == kErrRemoteIo || error == kErrIo || error == kErrTimedOut ||
        error == kErrAgain || error == kErrBusy || error == kErrIntr;
}

// The adapter cannot send a transfer of this size or form.
bool shapeRefused(int error) { return error == kErrOpNotSupp || error == kErrInval; }

// The USB adapter has been unplugged (or its driver unbound).
bool adapterUnplugged(int error)
{
    return error == kErrNoDev || error == kErrShutdown || error == kErrHostUnreach || error == kErrProto;
}

std::string gonePrefix() { return "USB-адаптер I2C отключен: "; }

} // namespace

I2cMemoryBus::I2cMemoryBus(I2cDevCalls& calls, Clock& clock, std::string devicePath, AdapterKind kind)
    : calls_(calls), clock_(clock), path_(std::move(devicePath)), readChunk_(firstReadChunk(kind)),
      writeChunk_(firstWriteChunk(kind))
{
}

I2cMemoryBus::~I2cMemoryBus() { close(); }

void I2cMemoryBus::open()
{
    if (fd_ >= 0)
        return;
    const int fd = calls_.open(path_);
    if (fd < 0) {
        const int error = -fd;
        if (error == kErrNoEnt)
            throw I2cAdapterError("Устройство " + path_ +
                " не существует: подключите USB-адаптер I2C и загрузите модуль ядра i2c-dev (sudo modprobe i2c-dev).");
        if (error == kErrAccess || error == kErrPerm)
            throw I2cAdapterError("Нет доступа к " + path_ +
                ": добавьте пользователя в группу i2c (sudo usermod -aG i2c ИМЯ, затем войдите в систему заново). "
                "Если группы i2c нет, создайте её (sudo groupadd i2c) и правило udev "
                "/etc/udev/rules.d/99-i2c.rules со строкой: KERNEL==\"i2c-[0-9]*\", GROUP=\"i2c\", MODE=\"0660\".");
        // A node whose adapter went away answers ENODEV, ENXIO or EIO until udev removes it.
        if (adapterUnplugged(error) || error == kErrNxio || error == kErrIo)
            throw I2cAdapterError(gonePrefix() + path_);
        throw I2cAdapterError("Не удалось открыть " + path_ + ": ошибка " + number(error) + ".");
    }
    std::uint64_t funcs = 0;
    const int result = calls_.functionality(fd, funcs);
    if (result < 0 || (funcs & kI2cFuncI2c) == 0) {
        calls_.close(fd);
        if (result < 0 && adapterUnplugged(-result))
            throw I2cAdapterError(gonePrefix() + path_);
        if (result < 0)
            throw I2cAdapterError("Не удалось узнать возможности адаптера " + path_ + ": ошибка " + number(-result) + ".");
        throw I2cAdapterError("Адаптер " + path_ +
            " поддерживает только SMBus: чтение ПСИ через него невозможно (нужны составные передачи I2C).");
    }
    fd_ = fd;
    gone_ = false;
}

void I2cMemoryBus::close()
{
    if (fd_ < 0)
        return;
    calls_.close(fd_);
    fd_ = -1;
}

void I2cMemoryBus::ensureOpen()
{
    if (gone_)
        throw I2cAdapterError(gonePrefix() + path_);
    if (fd_ < 0)
        throw I2cAdapterError("Адаптер I2C " + path_ + " не открыт.");
}

void I2cMemoryBus::adapterGone()
{
    // At once: the kernel cannot finish removing the adapter while a descriptor is open.
    close();
    gone_ = true;
    throw I2cAdapterError(gonePrefix() + path_);
}

void I2cMemoryBus::unexpected(int error)
{
    throw I2cAdapterError("Ошибка обмена через адаптер I2C " + path_ + ": ошибка " + number(error) + ".");
}

I2cMemoryBus::Outcome I2cMemoryBus::transfer(std::span<I2cMessage> messages)
{
    ensureOpen();
    ++counters_.transfers;
    const int result = calls_.transfer(fd_, messages);
    if (result >= 0) {
        // Fewer messages than sent: the device dropped out part way, as with a not-acknowledge.
        if (static_cast<std::size_t>(result) != messages.size()) {
            ++counters_.notAcknowledged;
            return Outcome::NotAcknowledged;
        }
        for (const auto& m : messages)
            (m.read ? counters_.bytesRead : counters_.bytesWritten) += m.length;
        return Outcome::Done;
    }
    const int error = -result;
    if (adapterUnplugged(error))
        adapterGone();
    if (notAcknowledged(error)) {
        ++counters_.notAcknowledged;
        return Outcome::NotAcknowledged;
    }
    if (shapeRefused(error)) {
        ++counters_.shapeRefusals;
        return Outcome::ShapeRefused;
    }
    unexpected(error);
}

template <typename Attempt, typename Shrink>
void I2cMemoryBus::untilAcknowledged(Attempt attempt, Shrink shrink, const char* timeoutMessage)
{
    const std::uint32_t start = clock_.milliseconds();
    for (;;) {
        switch (attempt()) {
        case Outcome::Done:
            return;
        case Outcome::ShapeRefused:
            if (!shrink())
                throw I2cAdapterError("Адаптер I2C " + path_ + " не выполняет обмен с ПСИ даже по одному байту.");
            continue;
        case Outcome::NotAcknowledged:
            break;
        }
        // Unsigned difference: right across the wrap of the millisecond counter.
        if (clock_.milliseconds() - start >= kI2cDeadlineMs)
            throw I2cTimeoutError(timeoutMessage);
        clock_.sleepMs(1);
    }
}

bool I2cMemoryBus::deviceAnswers()
{
    std::uint8_t byte = 0;
    std::array<I2cMessage, 1> probe{{{kReaderI2cAddress, true, &byte, 1}}};
    switch (transfer(probe)) {
    case Outcome::Done:
        return true;
    case Outcome::NotAcknowledged:
        return false;
    case Outcome::ShapeRefused:
        break;
    }
    throw I2cAdapterError("Адаптер I2C " + path_ + " не выполняет чтение одного байта.");
}

void I2cMemoryBus::read(std::uint16_t address, std::span<std::uint8_t> out)
{
    if (address + out.size() > kReaderMemorySize)
        throw std::invalid_argument("I2cMemoryBus::read: range past the end of the reader's memory");
    std::size_t done = 0;
    while (done < out.size()) {
        const auto at = static_cast<std::uint16_t>(address + done);
        std::array<std::uint8_t, 2> memoryAddress{static_cast<std::uint8_t>(at >> 8), static_cast<std::uint8_t>(at)};
        std::size_t length = std::min(readChunk_, out.size() - done);
        std::array<I2cMessage, 2> messages{{{kReaderI2cAddress, false, memoryAddress.data(), 2},
            {kReaderI2cAddress, true, out.data() + done, static_cast<std::uint16_t>(length)}}};
        untilAcknowledged([&] { return transfer(messages); },
            [&] {
                if (length == 1)
                    return false;
                length /= 2;
                readChunk_ = length;
                messages[1].length = static_cast<std::uint16_t>(length);
                return true;
            },
            kTimeoutMessage);
        done += length;
    }
}

void I2cMemoryBus::writePage(std::uint16_t address, std::span<const std::uint8_t> data)
{
    if (data.empty())
        return;
    if (address + data.size() > kReaderMemorySize)
        throw std::invalid_argument("I2cMemoryBus::writePage: range past the end of the reader's memory");
    if (address / kReaderPageSize != (address + data.size() - 1) / kReaderPageSize)
        throw std::invalid_argument("I2cMemoryBus::writePage: the data crosses a 32-byte page");
    std::size_t done = 0;
    while (done < data.size()) {
        const auto at = static_cast<std::uint16_t>(address + done);
        std::array<std::uint8_t, 2 + kReaderPageSize> buffer{};
        buffer[0] = static_cast<std::uint8_t>(at >> 8);
        buffer[1] = static_cast<std::uint8_t>(at);
        std::size_t length = std::min(writeChunk_, data.size() - done);
        std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(done), length, buffer.begin() + 2);
        std::array<I2cMessage, 1> message{{{kReaderI2cAddress, false, buffer.data(), static_cast<std::uint16_t>(2 + length)}}};
        // A part page is a page write of its own, with its own write cycle.
        untilAcknowledged([&] { return transfer(message); },
            [&] {
                if (length == 1)
                    return false;
                length /= 2;
                writeChunk_ = length;
                message[0].length = static_cast<std::uint16_t>(2 + length);
                return true;
            },
            kTimeoutMessage);
        waitWriteCycle();
        done += length;
    }
}

void I2cMemoryBus::waitWriteCycle()
{
    const std::uint32_t start = clock_.milliseconds();
    for (;;) {
        clock_.sleepMs(1);
        if (deviceAnswers())
            return;
        if (clock_.milliseconds() - start >= kI2cDeadlineMs)
            throw I2cTimeoutError(kWriteCycleTimeoutMessage);
    }
}

void I2cMemoryBus::confirmAnswers(const char* message)
{
    const std::uint32_t start = clock_.milliseconds();
    for (;;) {
        if (deviceAnswers())
            return;
        if (clock_.milliseconds() - start >= kI2cDeadlineMs)
            throw I2cAdapterError(message);
        clock_.sleepMs(1);
    }
}

} // namespace kestrel
