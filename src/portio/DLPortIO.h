#pragma once

#include <cstdint>

// The exports of libDLPortIO.so: the twelve entry points of the Windows port-I/O
// driver library, by the same names, plus KestrelPortIoStatus and
// KestrelPortIoPortStatus. A port argument is a
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

// nullptr while the port at this address works (or was never there), else why it was
// lost during use (a parallel-port card removed, its driver unloaded). A lost port
// reads 0xFF, so a caller needs to ask only after reading that.
KESTREL_PORTIO_EXPORT const char* KestrelPortIoPortStatus(std::uint32_t port);

} // extern "C"
