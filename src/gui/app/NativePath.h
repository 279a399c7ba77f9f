#pragma once

#include <QString>

#include <string>

namespace kestrel::gui {

// A file name as the core's narrow-string file functions and the port library loader
// expect it on this platform (the ANSI code page on Windows, the locale's encoding elsewhere).
std::string nativePath(const QString& path);

} // namespace kestrel::gui
