#pragma once

#include "cli/CommandOptions.h"
#include "core/archive/ReadingArchive.h"

#include <memory>

namespace kestrel::cli {

inline constexpr const char* kNoArchiveSupportMessage = "Архив недоступен: программа собрана без SQLite";

// Which archive a command works on: the file named by --archive, otherwise the per-user
// archive. With `onlyIfItExists` a per-user archive that was never created is not
// created (nullptr is returned then). Throws ArchiveError when the file cannot be used,
// and UsageError when no archive can be named at all or the program has no archive.
std::unique_ptr<ReadingArchive> openArchiveOption(const ParsedArgs& args, bool onlyIfItExists = false);

} // namespace kestrel::cli
