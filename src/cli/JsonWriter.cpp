#include "cli/JsonWriter.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace kestrel::cli {

std::string isoDay(DateTime value)
{
    const CalendarDate date = decodeDate(value);
    const auto digits = [](int number, std::size_t width) {
        char buffer[8] = {};
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, number).ptr;
        std::string text(buffer, end);
        return std::string(width > text.size() ? width - text.size() : 0, '0') + text;
    };
    return digits(date.year, 4) + "-" + digits(date.month, 2) + "-" + digits(date.day, 2);
}

namespace {

void appendUnicodeEscape(std::string& out, unsigned codePoint)
{
    static constexpr char kHex[] = "0123456789abcdef";
    out += "\\u00";
    out += kHex[(codePoint >> 4) & 0xF];
    out += kHex[codePoint & 0xF];
}

// The library escapes the C0 controls itself; DEL and C2 80..C2 9F (U+0080..U+009F) it
// passes through. Outside strings a dump holds ASCII only, and 0xC2 is never a
// continuation byte, so the bytes found here are exactly those characters.
std::string escapeRemainingControls(const std::string& dumped)
{
    std::string out;
    out.reserve(dumped.size());
    for (std::size_t i = 0; i < dumped.size(); ++i) {
        const auto c = static_cast<unsigned char>(dumped[i]);
        if (c == 0x7F) {
            appendUnicodeEscape(out, c);
        } else if (c == 0xC2 && i + 1 < dumped.size() && (static_cast<unsigned char>(dumped[i + 1]) & 0xE0) == 0x80) {
            appendUnicodeEscape(out, static_cast<unsigned char>(dumped[++i]));
        } else {
            out += dumped[i];
        }
    }
    return out;
}

} // namespace

std::string jsonText(const nlohmann::ordered_json& document)
{
    return escapeRemainingControls(document.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace));
}

nlohmann::ordered_json& JsonWriter::add(std::string_view key, nlohmann::ordered_json item)
{
    if (open_.empty()) {
        root_ = std::move(item);
        return root_;
    }
    nlohmann::ordered_json& container = *open_.back();
    if (container.is_array()) {
        container.push_back(std::move(item));
        return container.back();
    }
    nlohmann::ordered_json& slot = container[std::string(key)];
    slot = std::move(item);
    return slot;
}

void JsonWriter::close()
{
    open_.pop_back();
    if (open_.empty()) {
        out_ << jsonText(root_) << "\n";
        root_ = nullptr;
    }
}

void JsonWriter::beginObject(std::string_view key) { open_.push_back(&add(key, nlohmann::ordered_json::object())); }

void JsonWriter::endObject() { close(); }

void JsonWriter::beginArray(std::string_view key) { open_.push_back(&add(key, nlohmann::ordered_json::array())); }

void JsonWriter::endArray() { close(); }

void JsonWriter::value(std::string_view key, std::string_view text) { add(key, std::string(text)); }

void JsonWriter::value(std::string_view key, double number)
{
    if (!std::isfinite(number)) {
        add(key, nullptr);
        return;
    }
    // Whole numbers print as integers ("46000", not "46000.0"), as readers of the
    // window's figures expect.
    constexpr double kExactIntegerLimit = 9007199254740992.0; // 2^53
    if (std::trunc(number) == number && std::fabs(number) < kExactIntegerLimit) {
        add(key, static_cast<std::int64_t>(number));
        return;
    }
    add(key, number);
}

void JsonWriter::value(std::string_view key, int number) { add(key, number); }

void JsonWriter::value(std::string_view key, bool flag) { add(key, flag); }

} // namespace kestrel::cli
