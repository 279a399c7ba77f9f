#include "portio/DLPortIO.h"

#include "portio/PortIoBackend.h"

#include <cstdlib>
#include <memory>

namespace {

using kestrel::portio::PortIoBackend;

// Chosen once, at first use; destroyed (ports released, simulated memory saved) at unload.
PortIoBackend& backend()
{
    static const std::unique_ptr<PortIoBackend> instance =
        kestrel::portio::makePortIoBackend(std::getenv("KESTREL_PORTIO"));
    return *instance;
}

constexpr std::uint32_t kLastPort = 0xFFFF;

// Nothing may leave an extern "C" function by exception: a failure reads as a floating bus.
std::uint8_t readByte(std::uint32_t port) noexcept
{
    if (port > kLastPort)
        return 0xFF;
    try {
        return backend().readByte(static_cast<std::uint16_t>(port));
    } catch (...) {
        return 0xFF;
    }
}

void writeByte(std::uint32_t port, std::uint8_t value) noexcept
{
    if (port > kLastPort)
        return;
    try {
        backend().writeByte(static_cast<std::uint16_t>(port), value);
    } catch (...) {
    }
}

// Wider accesses are consecutive byte accesses, lowest address first (little-endian).
template <typename Word>
Word readWide(std::uint32_t port) noexcept
{
    Word value = 0;
    for (unsigned i = 0; i < sizeof(Word); ++i)
        value = static_cast<Word>(value | (static_cast<Word>(readByte(port + i)) << (8 * i)));
    return value;
}

template <typename Word>
void writeWide(std::uint32_t port, Word value) noexcept
{
    for (unsigned i = 0; i < sizeof(Word); ++i)
        writeByte(port + i, static_cast<std::uint8_t>(value >> (8 * i)));
}

template <typename Word>
void readBuffer(std::uint32_t port, Word* buffer, std::uint32_t count) noexcept
{
    if (buffer == nullptr)
        return;
    for (std::uint32_t i = 0; i < count; ++i)
        buffer[i] = readWide<Word>(port);
}

template <typename Word>
void writeBuffer(std::uint32_t port, const Word* buffer, std::uint32_t count) noexcept
{
    if (buffer == nullptr)
        return;
    for (std::uint32_t i = 0; i < count; ++i)
        writeWide<Word>(port, buffer[i]);
}

} // namespace

extern "C" {

std::uint8_t DlPortReadPortUchar(std::uint32_t port) { return readByte(port); }
std::uint16_t DlPortReadPortUshort(std::uint32_t port) { return readWide<std::uint16_t>(port); }
std::uint32_t DlPortReadPortUlong(std::uint32_t port) { return readWide<std::uint32_t>(port); }
void DlPortWritePortUchar(std::uint32_t port, std::uint8_t value) { writeByte(port, value); }
void DlPortWritePortUshort(std::uint32_t port, std::uint16_t value) { writeWide(port, value); }
void DlPortWritePortUlong(std::uint32_t port, std::uint32_t value) { writeWide(port, value); }

void DlPortReadPortBufferUchar(std::uint32_t port, std::uint8_t* buffer, std::uint32_t count)
{
    readBuffer(port, buffer, count);
}
void DlPortReadPortBufferUshort(std::uint32_t port, std::uint16_t* buffer, std::uint32_t count)
{
    readBuffer(port, buffer, count);
}
void DlPortReadPortBufferUlong(std::uint32_t port, std::uint32_t* buffer, std::uint32_t count)
{
    readBuffer(port, buffer, count);
}
void DlPortWritePortBufferUchar(std::uint32_t port, const std::uint8_t* buffer, std::uint32_t count)
{
    writeBuffer(port, buffer, count);
}
void DlPortWritePortBufferUshort(std::uint32_t port, const std::uint16_t* buffer, std::uint32_t count)
{
    writeBuffer(port, buffer, count);
}
void DlPortWritePortBufferUlong(std::uint32_t port, const std::uint32_t* buffer, std::uint32_t count)
{
    writeBuffer(port, buffer, count);
}

const char* KestrelPortIoStatus(void)
{
    try {
        return backend().reason();
    } catch (...) {
        return "KESTREL_PORTIO: порт-драйвер не создан";
    }
}

const char* KestrelPortIoPortStatus(std::uint32_t port)
{
    if (port > kLastPort)
        return nullptr;
    try {
        return backend().portFailure(static_cast<std::uint16_t>(port));
    } catch (...) {
        return nullptr;
    }
}

} // extern "C"
