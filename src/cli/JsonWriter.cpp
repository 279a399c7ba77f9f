#include "cli/JsonWriter.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace kestrel::cli {

std::string JsonWriter::quoted(std::string_view text)
{
    std::string q = "\"";
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        switch (ch) {
        case '"': q += "\\\""; break;
        case '\\': q += "\\\\"; break;
        case '\n': q += "\\n"; break;
        case '\r': q += "\\r"; break;
        case '\t': q += "\\t"; break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                q += buf;
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
    out_ << number;
}

void JsonWriter::value(std::string_view key, bool flag)
{
    separator(key);
    out_ << (flag ? "true" : "false");
}

} // namespace kestrel::cli
