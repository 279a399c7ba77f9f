#pragma once

namespace kestrel {

class SqliteConnection;

// BEGIN IMMEDIATE on construction (so that two programs on one file queue up at the
// start instead of failing halfway), ROLLBACK unless commit() was reached. A reading
// transaction (plain BEGIN) gives several reads one consistent view of the file.
class SqliteTransaction {
public:
    enum class Kind { Write, Read };
    explicit SqliteTransaction(SqliteConnection& connection, Kind kind = Kind::Write);
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;

    void commit();

private:
    SqliteConnection& connection_;
    bool open_ = true;
};

} // namespace kestrel
