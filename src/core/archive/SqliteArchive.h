#pragma once

#include "core/archive/ReadingArchive.h"

#include <memory>
#include <string>

namespace kestrel {

// Opens the archive file, creating it (and its folder) when it does not exist.
// A file that cannot be opened, or that is not a Kestrel archive, or that a newer
// Kestrel wrote, throws ArchiveError with the reason in Russian; such a file is
// never changed.
std::unique_ptr<ReadingArchive> openSqliteArchive(const std::string& path);

} // namespace kestrel
