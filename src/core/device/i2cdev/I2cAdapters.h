#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

// One I2C adapter the kernel offers through i2c-dev.
struct I2cAdapter {
    int bus = 0;            // N of /dev/i2c-N
    std::string devicePath; // the device node
    std::string name;       // the adapter's own name, as the kernel gives it
    bool usb = false;       // the adapter hangs on a USB port
};

// The adapters in the class folder of i2c-dev, sorted by bus number; a missing class
// folder (i2c-dev not loaded) gives an empty list.
std::vector<I2cAdapter> listI2cAdapters(const std::filesystem::path& classFolder = "/sys/class/i2c-dev",
    const std::filesystem::path& devFolder = "/dev");

// The USB-to-I2C bridges whose limits are known.
enum class AdapterKind { Mcp2221, Ft260, Cp2112, Ch341, TinyUsb, Generic };

// The kind, from a case-insensitive substring of the adapter's name.
AdapterKind adapterKindOf(std::string_view name);

// The first read chunk to try on an adapter of this kind: what its driver takes in
// one message, and never more than the 128 bytes the kernel's EEPROM driver reads.
std::size_t firstReadChunk(AdapterKind kind);
// The data bytes of a page write to try first (the two address bytes come on top).
std::size_t firstWriteChunk(AdapterKind kind);

// A short Latin name of the kind for status texts and benchmarks ("MCP2221").
const char* adapterKindName(AdapterKind kind);

} // namespace kestrel
