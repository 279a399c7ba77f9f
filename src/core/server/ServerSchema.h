#pragma once

#include <string>

namespace pqxx {
class connection_base;
}

namespace kestrel {

inline constexpr int kServerSchemaVersion = 1;

// Makes sure the connected database holds Kestrel's tables: an empty database gets them;
// a database that is not Kestrel's, or a newer schema, throws ArchiveError and is left
// exactly as it was. `database` names it in the messages.
void prepareServerSchema(pqxx::connection_base& connection, const std::string& database);

// The administrator's one-time set-up: the schema (as above) and the roles
// kestrel_engineer (read, add readings, enter design groups) and kestrel_auditor (read).
// Repeating it changes nothing. Returns what it did, in words.
std::string initialiseServer(pqxx::connection_base& connection, const std::string& database);

} // namespace kestrel
