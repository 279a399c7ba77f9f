#pragma once

#include "core/archive/ReadingArchive.h"

#include <memory>
#include <string>

namespace kestrel {

// Connects to the team's PostgreSQL server. `connection` is what libpq takes: a URI
// ("postgresql://user@host/kestrel?sslmode=verify-full"), "key=value" pairs or
// "service=NAME"; passwords come from ~/.pgpass or PG* variables, never from Kestrel.
// An empty database gets the schema; a database that is not Kestrel's, or a newer schema,
// is refused with ArchiveError and never written. Failures say, in Russian, what happened.
std::unique_ptr<ReadingArchive> openServerArchive(const std::string& connection);

} // namespace kestrel
