#pragma once

#include <string>

struct sqlite3;

namespace kestrel {

class SqliteStatement;

// One open SQLite database file. Every failure throws ArchiveError whose text says, in
// Russian, what was being done and what SQLite answered.
class SqliteConnection {
public:
    enum class Mode { OpenExisting, Create };

    SqliteConnection(const std::string& path, Mode mode);
    ~SqliteConnection();
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    // Runs statements that return nothing the caller needs.
    void execute(const std::string& sql, const char* doing);
    // The same for a statement whose failure changes nothing the caller relies on.
    bool tryExecute(const std::string& sql);
    SqliteStatement prepare(const std::string& sql, const char* doing);
    long long lastInsertId() const;

    // Throws the ArchiveError for SQLite result `code` while `doing`.
    [[noreturn]] void fail(int code, const char* doing) const;

    sqlite3* handle() const { return db_; }

private:
    sqlite3* db_ = nullptr;
    std::string path_;
};

} // namespace kestrel
