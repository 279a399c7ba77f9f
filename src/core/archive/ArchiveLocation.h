#pragma once

#include <string>

namespace kestrel {

// The per-user archive both programs use unless told another file:
// Linux $XDG_DATA_HOME/kestrel/archive.sqlite (or ~/.local/share/kestrel/archive.sqlite),
// Windows %LOCALAPPDATA%\Kestrel\archive.sqlite. Empty when neither is known.
std::string defaultArchivePath();

} // namespace kestrel
