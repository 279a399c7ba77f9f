#pragma once

#include <string>
#include <string_view>

namespace kestrel {

// A text copied from the window into a document: &, <, > and " become entities,
// so that a name like `ООО "Кран & Ко"` neither breaks the markup nor injects any.
// NUL bytes are dropped: viewers stop reading a file at them.
std::string escapeHtml(std::string_view text);
// The same, appended to `out`.
void appendEscapedHtml(std::string& out, std::string_view text);

// A caption that ends at its first NUL (as a label shows it), escaped.
std::string escapeCaption(std::string_view caption);

} // namespace kestrel
