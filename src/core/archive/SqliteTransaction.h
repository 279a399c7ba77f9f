#pragma once

namespace kestrel {

class SqliteConnection;

// BEGIN IMMEDIATE on construction (so that two programs on one file queue up at the
// start instead of failing halfway), ROLLBACK unless commit() was reached.
class SqliteTransaction {
public:
    explicit SqliteTransaction(SqliteConnection& connection);
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;

    void commit();

private:
    SqliteConnection& connection_;
    bool open_ = true;
};

} // namespace kestrel
