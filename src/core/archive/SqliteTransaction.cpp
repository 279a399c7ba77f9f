#include "core/archive/SqliteTransaction.h"

#include "core/archive/SqliteConnection.h"

#include <sqlite3.h>

namespace kestrel {

SqliteTransaction::SqliteTransaction(SqliteConnection& connection, Kind kind)
    : connection_(connection)
{
    if (kind == Kind::Write)
        connection_.execute("BEGIN IMMEDIATE", "начать запись");
    else
        connection_.execute("BEGIN", "начать чтение");
}

SqliteTransaction::~SqliteTransaction()
{
    if (open_)
        sqlite3_exec(connection_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void SqliteTransaction::commit()
{
    connection_.execute("COMMIT", "завершить запись");
    open_ = false;
}

} // namespace kestrel
