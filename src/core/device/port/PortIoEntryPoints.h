#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The port-I/O library's exports: the twelve entry points every implementation has
// (the Windows driver library, and ours on Linux), resolved by name.
#if defined(_WIN32)
#define KESTREL_PORTIO_CALL __stdcall
#else
#define KESTREL_PORTIO_CALL
#endif

namespace kestrel {

// A port argument is the 16-bit port address zero-extended to 32 bits.
using PortReadUcharFn = std::uint8_t(KESTREL_PORTIO_CALL*)(std::uint32_t port);
using PortReadUshortFn = std::uint16_t(KESTREL_PORTIO_CALL*)(std::uint32_t port);
using PortReadUlongFn = std::uint32_t(KESTREL_PORTIO_CALL*)(std::uint32_t port);
using PortWriteUcharFn = void(KESTREL_PORTIO_CALL*)(std::uint32_t port, std::uint8_t value);
using PortWriteUshortFn = void(KESTREL_PORTIO_CALL*)(std::uint32_t port, std::uint16_t value);
using PortWriteUlongFn = void(KESTREL_PORTIO_CALL*)(std::uint32_t port, std::uint32_t value);
// Our Linux library's extra export: nullptr when its backend works, else the reason it does not.
using PortIoStatusFn = const char* (*)();
// And: nullptr while the port at this address works, else why it was lost during use.
using PortIoPortStatusFn = const char* (*)(std::uint32_t port);

// Indexes into kPortIoEntryPoints, in resolution order.
enum PortIoEntryPoint : std::size_t {
    kReadPortUchar,
    kReadPortUshort,
    kReadPortUlong,
    kWritePortUchar,
    kWritePortUshort,
    kWritePortUlong,
    kReadPortBufferUchar,
    kReadPortBufferUshort,
    kReadPortBufferUlong,
    kWritePortBufferUchar,
    kWritePortBufferUshort,
    kWritePortBufferUlong,
    kPortIoEntryPointCount
};

inline constexpr std::array<const char*, kPortIoEntryPointCount> kPortIoEntryPoints = {
    "DlPortReadPortUchar",
    "DlPortReadPortUshort",
    "DlPortReadPortUlong",
    "DlPortWritePortUchar",
    "DlPortWritePortUshort",
    "DlPortWritePortUlong",
    "DlPortReadPortBufferUchar",
    "DlPortReadPortBufferUshort",
    "DlPortReadPortBufferUlong",
    "DlPortWritePortBufferUchar",
    "DlPortWritePortBufferUshort",
    "DlPortWritePortBufferUlong",
};

inline constexpr const char* kPortIoStatusEntryPoint = "KestrelPortIoStatus";
inline constexpr const char* kPortIoPortStatusEntryPoint = "KestrelPortIoPortStatus";

#if defined(_WIN32)
inline constexpr const char* kPortIoLibraryFileName = "DLPortIO.dll";
inline constexpr const char* kPathSeparator = "\\";
#else
inline constexpr const char* kPortIoLibraryFileName = "libDLPortIO.so";
inline constexpr const char* kPathSeparator = "/";
#endif

} // namespace kestrel
