#include "core/reports/HtmlEscape.h"

namespace kestrel {

std::string escapeHtml(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
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
    return out;
}

std::string escapeCaption(std::string_view caption)
{
    return escapeHtml(caption.substr(0, caption.find('\0')));
}

} // namespace kestrel
