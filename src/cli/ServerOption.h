#pragma once

#include "cli/CommandOptions.h"
#include "core/archive/ReadingArchive.h"

#include <memory>
#include <string>

namespace kestrel::cli {

inline constexpr const char* kNoServerSupportMessage
    = "Сервер команды недоступен: программа собрана без библиотеки PostgreSQL (libpqxx)";

// The team server named by --server (libpq's connection string). Throws ArchiveError
// when it cannot be used, UsageError when --server is missing or this build has no server.
std::unique_ptr<ReadingArchive> openServerOption(const ParsedArgs& args);

} // namespace kestrel::cli
