#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

struct sqlite3_stmt;

namespace kestrel {

class SqliteConnection;

// A prepared statement; binds count from 1, columns from 0, as SQLite does.
class SqliteStatement {
public:
    SqliteStatement(const SqliteConnection& connection, sqlite3_stmt* statement, const char* doing);
    ~SqliteStatement();
    SqliteStatement(SqliteStatement&& other) noexcept;
    SqliteStatement& operator=(SqliteStatement&&) = delete;
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    SqliteStatement& bind(int index, std::int64_t value);
    SqliteStatement& bind(int index, double value);
    SqliteStatement& bind(int index, std::string_view text);
    SqliteStatement& bindBlob(int index, std::span<const std::uint8_t> bytes);

    // True while a row is ready; false when the statement has finished.
    bool step();
    void reset();

    std::int64_t integer(int column) const;
    double real(int column) const;
    std::string text(int column) const;
    std::span<const std::uint8_t> blob(int column) const;

private:
    const SqliteConnection* connection_;
    sqlite3_stmt* statement_;
    const char* doing_;
};

} // namespace kestrel
