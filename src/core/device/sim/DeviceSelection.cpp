#include "core/device/sim/DeviceSelection.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <set>
#include <vector>

namespace kestrel {

namespace {

constexpr const char* kSyntax =
    "ожидается sim[:ФАЙЛ.bbd][,port=0x378][,nack=0.01][,stuck_sda=N][,stretch=N][,disconnect=N][,flip=N][,seed=N], "
    "ppdev[:/dev/parportN] или direct";

std::string quoted(std::string_view s) { return "\"" + std::string(s) + "\""; }

[[noreturn]] void fail(std::string_view text, const std::string& what)
{
    throw DeviceSelectionError("Неверное описание устройства " + quoted(text) + ": " + what);
}

std::vector<std::string_view> splitCommas(std::string_view s)
{
    std::vector<std::string_view> items;
    for (;;) {
        const auto comma = s.find(',');
        items.push_back(s.substr(0, comma));
        if (comma == std::string_view::npos)
            return items;
        s.remove_prefix(comma + 1);
    }
}

// Decimal, or hexadecimal after "0x".
template <typename Int>
std::optional<Int> parseInteger(std::string_view s, Int low, Int high)
{
    int base = 10;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    if (s.empty() || s[0] == '+' || s[0] == '-')
        return std::nullopt;
    Int value{};
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, base);
    if (ec != std::errc{} || end != s.data() + s.size() || value < low || value > high)
        return std::nullopt;
    return value;
}

std::optional<double> parseProbability(std::string_view s)
{
    if (s.empty() || s[0] == '+' || s[0] == '-')
        return std::nullopt;
    double value = 0.0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::general);
    if (ec != std::errc{} || end != s.data() + s.size() || !std::isfinite(value) || value < 0.0 || value > 1.0)
        return std::nullopt;
    return value;
}

class OptionParser {
public:
    OptionParser(std::string_view text, DeviceSelection& selection) : text_(text), spec_(selection) {}

    void apply(std::string_view item)
    {
        const auto eq = item.find('=');
        if (eq == std::string_view::npos || eq == 0)
            fail(text_, "ожидается параметр=значение вместо " + quoted(item) + "; " + kSyntax);
        const std::string_view key = item.substr(0, eq);
        const std::string_view value = item.substr(eq + 1);
        if (!seen_.insert(std::string(key)).second)
            fail(text_, "параметр " + quoted(key) + " задан дважды");
        const bool sim = spec_.kind == PortBackendKind::Simulated;
        if (key == "port") {
            // The three registers must fit below 0x10000.
            spec_.port = require(key, value, parseInteger<std::uint16_t>(value, 1, 0xFFFD),
                "адрес порта от 0x1 до 0xFFFD");
        } else if (sim && key == "nack") {
            spec_.faults.nackProbability = require(key, value, parseProbability(value), "вероятность от 0 до 1");
        } else if (sim && key == "stuck_sda") {
            spec_.faults.stuckSdaClocks = require(key, value, parseInteger<int>(value, 0, kMaxCount), "число тактов");
        } else if (sim && key == "stretch") {
            spec_.faults.clockStretchPolls = require(key, value, parseInteger<int>(value, 0, kMaxCount), "число опросов");
        } else if (sim && key == "disconnect") {
            spec_.faults.disconnectAfterBytes = require(key, value,
                parseInteger<long>(value, 0, std::numeric_limits<long>::max()), "число байтов");
        } else if (sim && key == "flip") {
            spec_.faults.flipBitAtByte = require(key, value,
                parseInteger<long>(value, 0, std::numeric_limits<long>::max()), "номер байта");
        } else if (sim && key == "seed") {
            spec_.faults.seed = require(key, value,
                parseInteger<std::uint32_t>(value, 0, std::numeric_limits<std::uint32_t>::max()), "целое число");
        } else {
            fail(text_, "неизвестный параметр " + quoted(key) + "; " + kSyntax);
        }
    }

private:
    static constexpr int kMaxCount = 1'000'000;

    template <typename T>
    T require(std::string_view key, std::string_view value, std::optional<T> parsed, const char* expected)
    {
        if (!parsed)
            fail(text_, "параметр " + quoted(key) + " = " + quoted(value) + ": ожидается " + expected);
        return *parsed;
    }

    std::string_view text_;
    DeviceSelection& spec_;
    std::set<std::string> seen_;
};

} // namespace

DeviceSelection parseDeviceSelection(std::string_view text)
{
    if (text.empty())
        throw DeviceSelectionError(std::string("Пустое описание устройства: ") + kSyntax);

    std::vector<std::string_view> items = splitCommas(text);
    std::string_view head = items.front();
    std::optional<std::string_view> pathItem;
    if (const auto colon = head.find(':'); colon != std::string_view::npos) {
        pathItem = head.substr(colon + 1);
        head = head.substr(0, colon);
    }

    DeviceSelection selection;
    if (head == "sim") {
        selection.kind = PortBackendKind::Simulated;
    } else if (head == "ppdev") {
        selection.kind = PortBackendKind::Ppdev;
    } else if (head == "direct") {
        selection.kind = PortBackendKind::Direct;
        if (pathItem || items.size() > 1)
            fail(text, "direct не принимает параметров");
        return selection;
    } else {
        fail(text, "неизвестный вид устройства " + quoted(head) + "; " + kSyntax);
    }

    OptionParser options(text, selection);
    if (pathItem) {
        // What follows the colon is the file or device, unless it is already an option.
        if (pathItem->find('=') != std::string_view::npos)
            options.apply(*pathItem);
        else if (pathItem->empty())
            fail(text, selection.kind == PortBackendKind::Simulated ? "после \"sim:\" не указан файл"
                                                               : "после \"ppdev:\" не указано устройство");
        else
            selection.path = std::string(*pathItem);
    }
    for (std::size_t i = 1; i < items.size(); ++i)
        options.apply(items[i]);
    return selection;
}

bool selectsSimulator(std::string_view text)
{
    if (text.empty())
        return false;
    if (text.starts_with("i2c-sim"))
        return true; // the simulated USB adapter
    try {
        return parseDeviceSelection(text).kind == PortBackendKind::Simulated;
    } catch (const DeviceSelectionError&) {
        return false;
    }
}

} // namespace kestrel
