#include "core/reports/HtmlEscape.h"

#include <algorithm>

namespace kestrel {

std::string escapeHtml(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    appendEscapedHtml(out, text);
    return out;
}

void appendEscapedHtml(std::string& out, std::string_view text)
{
    // Most copied texts need no escaping at all.
    const auto special = [](char ch) { return ch == '&' || ch == '<' || ch == '>' || ch == '"' || ch == '\0'; };
    if (std::none_of(text.begin(), text.end(), special)) {
        out.append(text);
        return;
    }
    for (const char ch : text) {
        switch (ch) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\0': break;
        default: out += ch; break;
        }
    }
}

std::string escapeCaption(std::string_view caption)
{
    return escapeHtml(caption.substr(0, caption.find('\0')));
}

} // namespace kestrel
