#pragma once

#include <string>
#include <string_view>

namespace kestrel {

// Writes `bytes` into a new file beside `path` and renames it into place, so that whoever
// looks at `path` sees the old file or the whole new one: a full disk, a vanished folder or
// a killed program leaves no empty or partial file there. Throws FileError with the file's
// name and the system's reason in the user's language; the file beside is removed again.
// A name that exists but is no regular file (a folder, a pipe, a device) is refused.
void writeFileAtomically(const std::string& path, std::string_view bytes);

} // namespace kestrel
