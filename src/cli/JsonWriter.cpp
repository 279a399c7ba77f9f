#include "cli/JsonWriter.h"

#include <charconv>
#include <cmath>

namespace kestrel::cli {

namespace {

void appendUnicodeEscape(std::string& out, unsigned codePoint)
{
    static constexpr char kHex[] = "0123456789abcdef";
    out += "\\u00";
    out += kHex[(codePoint >> 4) & 0xF];
    out += kHex[codePoint & 0xF];
}

} // namespace

std::string JsonWriter::quoted(std::string_view text)
{
    std::string q = "\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        const auto c = static_cast<unsigned char>(ch);
        switch (ch) {
        case '"': q += "\\\""; break;
        case '\\': q += "\\\\"; break;
        case '\n': q += "\\n"; break;
        case '\r': q += "\\r"; break;
        case '\t': q += "\\t"; break;
        default:
            if (c < 0x20 || c == 0x7F) {
                appendUnicodeEscape(q, c);
            } else if (c == 0xC2 && i + 1 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xE0) == 0x80) {
                // U+0080..U+009F (C2 80..C2 9F) are legal in JSON, but a terminal obeys them;
                // escaped, the value stays the same for every JSON reader.
                appendUnicodeEscape(q, static_cast<unsigned char>(text[++i]));
            } else {
                q += ch;
            }
        }
    }
    return q + "\"";
}

void JsonWriter::newline()
{
    out_ << "\n";
    for (int i = 0; i < depth_; ++i)
        out_ << "  ";
}

void JsonWriter::separator(std::string_view key)
{
    if (depth_ > 0) {
        if (!first_)
            out_ << ",";
        newline();
    }
    first_ = false;
    if (!key.empty())
        out_ << quoted(key) << ": ";
}

void JsonWriter::beginObject(std::string_view key)
{
    separator(key);
    out_ << "{";
    ++depth_;
    first_ = true;
}

void JsonWriter::endObject()
{
    --depth_;
    if (!first_)
        newline();
    out_ << "}";
    first_ = false;
    if (depth_ == 0)
        out_ << "\n";
}

void JsonWriter::beginArray(std::string_view key)
{
    separator(key);
    out_ << "[";
    ++depth_;
    first_ = true;
}

void JsonWriter::endArray()
{
    --depth_;
    if (!first_)
        newline();
    out_ << "]";
    first_ = false;
}

void JsonWriter::value(std::string_view key, std::string_view text)
{
    separator(key);
    out_ << quoted(text);
}

void JsonWriter::value(std::string_view key, double number)
{
    separator(key);
    if (!std::isfinite(number)) {
        out_ << "null";
        return;
    }
    char buf[64];
    const auto result = std::to_chars(buf, buf + sizeof buf, number);
    out_ << std::string_view(buf, static_cast<std::size_t>(result.ptr - buf));
}

void JsonWriter::value(std::string_view key, int number)
{
    separator(key);
    char buf[16];
    const auto result = std::to_chars(buf, buf + sizeof buf, number);
    out_ << std::string_view(buf, static_cast<std::size_t>(result.ptr - buf));
}

void JsonWriter::value(std::string_view key, bool flag)
{
    separator(key);
    out_ << (flag ? "true" : "false");
}

} // namespace kestrel::cli
