#pragma once

#include <string>
#include <string_view>

namespace kestrel {

// Windows-1251 <-> UTF-8. The table lives here rather than in iconv because the
// core also builds for Windows with a toolchain that has no iconv.
std::string cp1251ToUtf8(std::string_view bytes);
// Characters that code page 1251 cannot hold become "?".
std::string utf8ToCp1251(std::string_view text);
// The same, appended to `out` (documents are encoded line by line into one buffer).
void appendCp1251(std::string& out, std::string_view text);

} // namespace kestrel
