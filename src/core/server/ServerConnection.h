#pragma once

#include <pqxx/connection>

#include <memory>
#include <string>

namespace kestrel {

// One connection to the team's server, opened as libpq understands `connection` (URI,
// key=value pairs, service=NAME; passwords from ~/.pgpass or PG* variables). Kestrel
// adds only time limits the string does not set itself, so that a lost network ends in
// a message instead of a wait without end. A refused connection throws ArchiveError
// saying why in Russian.
class ServerConnection {
public:
    explicit ServerConnection(const std::string& connection);
    ~ServerConnection();
    ServerConnection(const ServerConnection&) = delete;
    ServerConnection& operator=(const ServerConnection&) = delete;

    pqxx::connection_base& connection();
    // The database's name, for messages.
    const std::string& database() const { return database_; }

private:
    std::unique_ptr<pqxx::connection> connection_;
    std::string database_;
};

// `connection` with connect_timeout and keep-alive limits added where it sets none.
std::string withTimeLimits(const std::string& connection);

} // namespace kestrel
