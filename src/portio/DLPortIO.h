#pragma once

#include <cstdint>

// The exports of libDLPortIO.so: the twelve entry points of the Windows port-I/O
// driver library, by the same names, plus KestrelPortIoStatus. A port argument is a
// 16-bit port address zero-extended to 32 bits; anything above 0xFFFF reads as 0xFF.

#define KESTREL_PORTIO_EXPORT __attribute__((visibility("default")))

extern "C" {

KESTREL_PORTIO_EXPORT std::uint8_t DlPortReadPortUchar(std::uint32_t port);
KESTREL_PORTIO_EXPORT std::uint16_t DlPortReadPortUshort(std::uint32_t port);
KESTREL_PORTIO_EXPORT std::uint32_t DlPortReadPortUlong(std::uint32_t port);
KESTREL_PORTIO_EXPORT void DlPortWritePortUchar(std::uint32_t port, std::uint8_t value);
KESTREL_PORTIO_EXPORT void DlPortWritePortUshort(std::uint32_t port, std::uint16_t value);
KESTREL_PORTIO_EXPORT void DlPortWritePortUlong(std::uint32_t port, std::uint32_t value);

// String I/O: `count` transfers with the one port, the buffer walked element by element.
KESTREL_PORTIO_EXPORT void DlPortReadPortBufferUchar(std::uint32_t port, std::uint8_t* buffer, std::uint32_t count);
KESTREL_PORTIO_EXPORT void DlPortReadPortBufferUshort(std::uint32_t port, std::uint16_t* buffer, std::uint32_t count);
KESTREL_PORTIO_EXPORT void DlPortReadPortBufferUlong(std::uint32_t port, std::uint32_t* buffer, std::uint32_t count);
KESTREL_PORTIO_EXPORT void DlPortWritePortBufferUchar(std::uint32_t port, const std::uint8_t* buffer, std::uint32_t count);
KESTREL_PORTIO_EXPORT void DlPortWritePortBufferUshort(std::uint32_t port, const std::uint16_t* buffer, std::uint32_t count);
KESTREL_PORTIO_EXPORT void DlPortWritePortBufferUlong(std::uint32_t port, const std::uint32_t* buffer, std::uint32_t count);

// nullptr while the backend chosen by KESTREL_PORTIO works, else why it does not.
KESTREL_PORTIO_EXPORT const char* KestrelPortIoStatus(void);

} // extern "C"
