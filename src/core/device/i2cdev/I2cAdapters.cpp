#include "core/device/i2cdev/I2cAdapters.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iterator>
#include <system_error>

namespace kestrel {

namespace {

// The first line of a sysfs attribute, without its line end; empty when unreadable.
std::string firstLine(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return {};
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    text = text.substr(0, text.find('\n'));
    while (!text.empty() && (text.back() == '\r' || text.back() == ' ' || text.back() == '\t'))
        text.pop_back();
    return text;
}

// Whether a sysfs path runs through a USB device: one of its folders is a USB bus
// ("usb1") on the way to the adapter.
bool throughUsb(const std::filesystem::path& path)
{
    for (const auto& part : path) {
        const std::string s = part.string();
        if (s.rfind("usb", 0) == 0)
            return true;
    }
    return false;
}

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool containsIgnoringCase(std::string_view text, std::string_view part)
{
    const auto it = std::search(text.begin(), text.end(), part.begin(), part.end(),
        [](char a, char b) { return lower(a) == lower(b); });
    return it != text.end();
}

} // namespace

std::vector<I2cAdapter> listI2cAdapters(const std::filesystem::path& classFolder, const std::filesystem::path& devFolder)
{
    std::vector<I2cAdapter> adapters;
    std::error_code ec;
    std::filesystem::directory_iterator it(classFolder, ec);
    if (ec)
        return adapters;
    for (; it != std::filesystem::directory_iterator(); it.increment(ec)) {
        if (ec)
            break;
        const std::string entry = it->path().filename().string();
        constexpr std::string_view prefix = "i2c-";
        if (entry.size() <= prefix.size() || entry.compare(0, prefix.size(), prefix) != 0)
            continue;
        int bus = 0;
        const char* first = entry.data() + prefix.size();
        const char* last = entry.data() + entry.size();
        const auto [end, err] = std::from_chars(first, last, bus);
        if (err != std::errc{} || end != last || bus < 0)
            continue;

        I2cAdapter adapter;
        adapter.bus = bus;
        adapter.devicePath = (devFolder / entry).string();
        adapter.name = firstLine(it->path() / "name");
        if (adapter.name.empty())
            adapter.name = firstLine(it->path() / "device" / "name");
        std::error_code canonicalError;
        const auto device = std::filesystem::canonical(it->path() / "device", canonicalError);
        adapter.usb = !canonicalError && throughUsb(device);
        adapters.push_back(std::move(adapter));
    }
    std::sort(adapters.begin(), adapters.end(), [](const I2cAdapter& a, const I2cAdapter& b) { return a.bus < b.bus; });
    return adapters;
}

AdapterKind adapterKindOf(std::string_view name)
{
    if (containsIgnoringCase(name, "mcp2221"))
        return AdapterKind::Mcp2221;
    if (containsIgnoringCase(name, "ft260"))
        return AdapterKind::Ft260;
    if (containsIgnoringCase(name, "cp2112"))
        return AdapterKind::Cp2112;
    if (containsIgnoringCase(name, "ch341"))
        return AdapterKind::Ch341;
    if (containsIgnoringCase(name, "tiny-usb") || containsIgnoringCase(name, "tiny_usb"))
        return AdapterKind::TinyUsb;
    return AdapterKind::Generic;
}

std::size_t firstReadChunk(AdapterKind kind)
{
    switch (kind) {
    case AdapterKind::Mcp2221:
        return 60; // one USB report of data
    case AdapterKind::Ch341:
        return 26; // its bulk packet less the command bytes
    case AdapterKind::Ft260:   // the address write stays within its 2-byte first message
    case AdapterKind::Cp2112:  // reads up to 512 bytes; the EEPROM driver's 128 are enough
    case AdapterKind::TinyUsb:
    case AdapterKind::Generic:
        break;
    }
    return 128;
}

std::size_t firstWriteChunk(AdapterKind kind)
{
    // A whole 32-byte page plus the two address bytes fits every message but CH341's 26.
    return kind == AdapterKind::Ch341 ? 24 : 32;
}

const char* adapterKindName(AdapterKind kind)
{
    switch (kind) {
    case AdapterKind::Mcp2221:
        return "MCP2221";
    case AdapterKind::Ft260:
        return "FT260";
    case AdapterKind::Cp2112:
        return "CP2112";
    case AdapterKind::Ch341:
        return "CH341";
    case AdapterKind::TinyUsb:
        return "i2c-tiny-usb";
    case AdapterKind::Generic:
        break;
    }
    return "I2C";
}

} // namespace kestrel
