#include "core/archive/SqliteStatement.h"

#include "core/archive/SqliteConnection.h"

#include <sqlite3.h>

#include <utility>

namespace kestrel {

SqliteStatement::SqliteStatement(const SqliteConnection& connection, sqlite3_stmt* statement, const char* doing)
    : connection_(&connection)
    , statement_(statement)
    , doing_(doing)
{
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(statement_); }

SqliteStatement::SqliteStatement(SqliteStatement&& other) noexcept
    : connection_(other.connection_)
    , statement_(std::exchange(other.statement_, nullptr))
    , doing_(other.doing_)
{
}

SqliteStatement& SqliteStatement::bind(int index, std::int64_t value)
{
    if (const int code = sqlite3_bind_int64(statement_, index, value); code != SQLITE_OK)
        connection_->fail(code, doing_);
    return *this;
}

SqliteStatement& SqliteStatement::bind(int index, double value)
{
    if (const int code = sqlite3_bind_double(statement_, index, value); code != SQLITE_OK)
        connection_->fail(code, doing_);
    return *this;
}

SqliteStatement& SqliteStatement::bind(int index, std::string_view text)
{
    const int code = sqlite3_bind_text64(statement_, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    if (code != SQLITE_OK)
        connection_->fail(code, doing_);
    return *this;
}

SqliteStatement& SqliteStatement::bindBlob(int index, std::span<const std::uint8_t> bytes)
{
    const int code = sqlite3_bind_blob64(statement_, index, bytes.data(), bytes.size(), SQLITE_TRANSIENT);
    if (code != SQLITE_OK)
        connection_->fail(code, doing_);
    return *this;
}

bool SqliteStatement::step()
{
    const int code = sqlite3_step(statement_);
    if (code == SQLITE_ROW)
        return true;
    if (code == SQLITE_DONE)
        return false;
    connection_->fail(code, doing_);
}

void SqliteStatement::reset()
{
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
}

std::int64_t SqliteStatement::integer(int column) const { return sqlite3_column_int64(statement_, column); }

double SqliteStatement::real(int column) const { return sqlite3_column_double(statement_, column); }

std::string SqliteStatement::text(int column) const
{
    const auto* text = sqlite3_column_text(statement_, column);
    const int size = sqlite3_column_bytes(statement_, column);
    return text != nullptr ? std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(size)) : std::string();
}

std::span<const std::uint8_t> SqliteStatement::blob(int column) const
{
    const auto* bytes = static_cast<const std::uint8_t*>(sqlite3_column_blob(statement_, column));
    const int size = sqlite3_column_bytes(statement_, column);
    if (bytes == nullptr)
        return {};
    return {bytes, static_cast<std::size_t>(size)};
}

} // namespace kestrel
