#include "core/device/port/TPrinterPortIO.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace kestrel {

namespace {

constexpr std::uint32_t kKeyAccess = 9; // query value, enumerate subkeys
constexpr std::size_t kNameBufferSize = 260;
constexpr std::size_t kResourceReadSize = 128;

constexpr const char* kNtPortMapKey = "HARDWARE\\DEVICEMAP\\PARALLEL PORTS";
constexpr const char* kNtResourceKey = "HARDWARE\\RESOURCEMAP\\LOADED PARALLEL DRIVER RESOURCES\\Parport";
constexpr const char* k9xEnumKey = "Config Manager\\Enum";

// Offset of the port start in a resource list whose first partial descriptor is the port range.
constexpr std::size_t kResourcePortStartOffset = 24;
// In a 9x allocation, a resource of this type is followed by its base address.
constexpr std::uint16_t k9xPortResourceType = 12;
constexpr std::size_t k9xLastResourceWord = 62;

// A REG_SZ value as text (up to its terminating zero); anything else is the empty text.
std::string stringValue(const std::optional<Registry::Value>& value)
{
    if (!value || value->type != Registry::kRegSz)
        return {};
    std::string text(value->data.begin(), value->data.end());
    return text.substr(0, text.find('\0'));
}

// The decimal number that starts at text[pos] (0 when there are no digits); large ones are capped.
long long decimalAt(const std::string& text, std::size_t pos)
{
    long long number = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos)
        number = std::min(number * 10 + (text[pos] - '0'), 1000000LL);
    return number;
}

std::uint16_t littleEndian16(const std::vector<std::uint8_t>& data, std::size_t offset)
{
    return static_cast<std::uint16_t>(data[offset] | (data[offset + 1] << 8));
}

// Reads one value of a key that is opened for this read alone.
std::optional<Registry::Value> readValue(
    Registry& registry, Registry::Root root, const std::string& key, const std::string& name, std::size_t maxBytes)
{
    const auto handle = registry.open(root, key, kKeyAccess);
    if (handle == nullptr)
        return std::nullopt;
    auto value = registry.queryValue(handle, name, maxBytes);
    registry.close(handle);
    return value;
}

// The first number of a proc file such as base-addr ("888\t1912").
std::optional<unsigned long> firstNumberOfFile(const std::filesystem::path& file)
{
    std::ifstream in(file);
    std::string token;
    if (!(in >> token))
        return std::nullopt;
    unsigned long number = 0;
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), number);
    if (error != std::errc() || end != token.data() + token.size())
        return std::nullopt;
    return number;
}

} // namespace

TPrinterPortIO::TPrinterPortIO(PortIoSeams portSeams, PrinterPortSeams printerSeams)
    : TPortIO(portSeams),
      registry_(printerSeams.registry ? *printerSeams.registry : systemRegistry()),
      clock_(printerSeams.clock),
      procRoot_(std::move(printerSeams.procRoot))
{
    DetectPorts();
    SetLPTNumber(1);
}

void TPrinterPortIO::clearPortTable()
{
    lptNumPorts_ = 0;
    portTable_.fill(0);
}

void TPrinterPortIO::addPort(long long lptNumber, std::uint16_t baseAddress)
{
    if (lptNumber < 0 || lptNumber > kMaxLptNumber)
        return;
    portTable_[static_cast<std::size_t>(lptNumber)] = baseAddress;
    ++lptNumPorts_;
}

void TPrinterPortIO::DetectPorts()
{
    switch (platform().family()) {
    case PlatformFamily::WindowsNT:
        DetectPortsNT();
        break;
    case PlatformFamily::Windows9x:
        DetectPorts9x();
        break;
    case PlatformFamily::Linux:
        DetectPortsLinux();
        break;
    }
}

void TPrinterPortIO::DetectPortsNT()
{
    clearPortTable();
    const auto portMap = registry_.open(Registry::Root::LocalMachine, kNtPortMapKey, kKeyAccess);
    if (portMap == nullptr)
        return;
    const std::vector<std::string> names = registry_.valueNames(portMap, kNameBufferSize);
    registry_.close(portMap);

    static const std::string kDosDevice = "\\DosDevices\\LPT";
    static const std::string kDevice = "\\Device\\Parallel";
    for (const auto& name : names) {
        // "\Device\Parallel0" = "\DosDevices\LPT1"
        const std::string target =
            stringValue(readValue(registry_, Registry::Root::LocalMachine, kNtPortMapKey, name, kNameBufferSize));
        const auto lptAt = target.find(kDosDevice);
        const auto deviceAt = name.find(kDevice);
        if (lptAt == std::string::npos || deviceAt == std::string::npos)
            continue;
        const long long lptNumber = decimalAt(target, lptAt + kDosDevice.size());
        const std::string suffix = name.substr(deviceAt + kDevice.size());

        const auto resources = readValue(registry_, Registry::Root::LocalMachine, kNtResourceKey,
            "\\Device\\ParallelPort" + suffix + ".Raw", kResourceReadSize);
        // The port start must be in what was read; a shorter list names no port.
        if (resources && resources->type == Registry::kRegResourceList
            && resources->data.size() >= kResourcePortStartOffset + 2)
            addPort(lptNumber, littleEndian16(resources->data, kResourcePortStartOffset));
    }
}

void TPrinterPortIO::DetectPorts9x()
{
    clearPortTable();
    const auto enumKey = registry_.open(Registry::Root::DynData, k9xEnumKey, kKeyAccess);
    if (enumKey == nullptr)
        return;
    const std::vector<std::string> devices = registry_.subKeyNames(enumKey, kNameBufferSize);
    registry_.close(enumKey);

    for (const auto& device : devices) {
        const std::string deviceKey = std::string(k9xEnumKey) + "\\" + device;
        const auto key = registry_.open(Registry::Root::DynData, deviceKey, kKeyAccess);
        if (key == nullptr)
            continue;
        const auto problem = registry_.queryValue(key, "Problem", kNameBufferSize);
        if (problem && problem->type != Registry::kRegBinary) {
            registry_.close(key);
            continue;
        }
        bool hasProblem = !problem;
        if (problem) {
            for (const auto byte : problem->data)
                hasProblem = hasProblem || byte != 0;
        }
        const auto hardware = registry_.queryValue(key, "HardwareKey", kNameBufferSize);
        if (hardware && hardware->type != Registry::kRegSz)
            hasProblem = true;
        const std::string hardwareKey = stringValue(hardware);
        registry_.close(key);
        if (hasProblem || hardwareKey.empty())
            continue;

        const auto hardwareHandle = registry_.open(Registry::Root::LocalMachine, "Enum\\" + hardwareKey, kKeyAccess);
        if (hardwareHandle == nullptr)
            continue;
        const std::string portName = stringValue(registry_.queryValue(hardwareHandle, "PortName", kNameBufferSize));
        registry_.close(hardwareHandle);
        const auto lptAt = portName.find("LPT");
        if (lptAt == std::string::npos)
            continue;
        const long long lptNumber = decimalAt(portName, lptAt + 3);

        const auto allocation =
            readValue(registry_, Registry::Root::DynData, deviceKey, "Allocation", kResourceReadSize);
        if (!allocation || allocation->type != Registry::kRegBinary)
            continue;
        const std::size_t words = allocation->data.size() / 2;
        for (std::size_t i = 0; i <= k9xLastResourceWord && i + 1 < words; ++i) {
            const std::uint16_t type = littleEndian16(allocation->data, 2 * i);
            const std::uint16_t base = littleEndian16(allocation->data, 2 * i + 2);
            if (type == k9xPortResourceType && base != 0) {
                addPort(lptNumber, base);
                break;
            }
        }
    }
}

void TPrinterPortIO::DetectPortsLinux()
{
    clearPortTable();
    // parportN is the kernel's Nth parallel port, LPT(N+1) here.
    const std::string prefix = "parport";
    std::error_code error;
    std::filesystem::directory_iterator entries(procRoot_ / "proc/sys/dev/parport", error);
    if (error)
        return;
    for (const auto& entry : entries) {
        const std::string name = entry.path().filename().string();
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        unsigned kernelNumber = 0;
        const char* digits = name.data() + prefix.size();
        const auto [end, parseError] = std::from_chars(digits, name.data() + name.size(), kernelNumber);
        if (parseError != std::errc() || end != name.data() + name.size())
            continue;
        const auto base = firstNumberOfFile(entry.path() / "base-addr");
        // Ports without an I/O address (USB adapters report 0) cannot be reached by port access.
        if (!base || *base == 0 || *base > 0xFFFF || kernelNumber >= kMaxLptNumber)
            continue;
        addPort(static_cast<long long>(kernelNumber) + 1, static_cast<std::uint16_t>(*base));
    }
}

void TPrinterPortIO::SetLPTNumber(std::uint8_t number)
{
    if (number < 1 || number > kMaxLptNumber)
        return;
    lptNumber_ = number;
    lptBasePort_ = portTable_[number];
}

std::uint16_t TPrinterPortIO::selectedBase() const
{
    // Base 0 would put the pins on the system's own ports 0 to 2.
    if (lptBasePort_ == 0) {
        throw PortError("Порт LPT" + std::to_string(unsigned{lptNumber_}) + " не обнаружен: выводы порта недоступны.");
    }
    return lptBasePort_;
}

bool TPrinterPortIO::GetPin(std::uint8_t pin)
{
    const auto line = pinLine(pin);
    if (!line)
        return false;
    const auto port = static_cast<std::uint16_t>(selectedBase() + line->reg);
    const bool bit = (GetPortByte(port) & line->mask) != 0;
    return bit != line->inverted;
}

void TPrinterPortIO::SetPin(std::uint8_t pin, bool level)
{
    const auto line = pinLine(pin);
    if (!line || !line->output)
        return;
    const auto port = static_cast<std::uint16_t>(selectedBase() + line->reg);
    std::uint8_t value = GetPortByte(port);
    if (level != line->inverted)
        value = static_cast<std::uint8_t>(value | line->mask);
    else
        value = static_cast<std::uint8_t>(value & ~line->mask);
    WritePortByte(port, value);
}

bool TPrinterPortIO::LPTPrintChar(char c)
{
    const std::uint16_t base = selectedBase();
    const auto control = static_cast<std::uint16_t>(base + kControlRegister);
    WritePortByte(base, static_cast<std::uint8_t>(c));
    WritePortByte(control, 0x0D); // strobe active
    if (clock_ != nullptr) {
        clock_->sleepMs(1);
    } else {
        static SystemClock systemClock;
        systemClock.sleepMs(1);
    }
    WritePortByte(control, 0x0C);
    return (GetPortByte(static_cast<std::uint16_t>(base + kStatusRegister)) & BIT7) != 0;
}

} // namespace kestrel
