#include "core/archive/SqliteConnection.h"

#include "core/archive/ReadingArchive.h"
#include "core/archive/SqliteStatement.h"

#include <sqlite3.h>

namespace kestrel {

namespace {

// Long enough for the other program's store or listing to finish.
constexpr int kBusyTimeoutMilliseconds = 10000;

std::string reasonOf(sqlite3* db, int code)
{
    switch (code & 0xFF) {
    case SQLITE_NOTADB:
        return "файл не является базой данных";
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return "база данных занята другой программой";
    case SQLITE_READONLY:
        return "файл доступен только для чтения";
    case SQLITE_CANTOPEN:
        return "файл не удается открыть";
    case SQLITE_FULL:
        return "диск заполнен";
    case SQLITE_CORRUPT:
        return "база данных повреждена";
    case SQLITE_IOERR:
        return "ошибка чтения или записи файла";
    case SQLITE_PERM:
        return "нет прав доступа к файлу";
    default:
        break;
    }
    const char* message = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(code);
    return message != nullptr ? message : "неизвестная ошибка";
}

} // namespace

SqliteConnection::SqliteConnection(const std::string& path, Mode mode)
    : path_(path)
{
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX;
    if (mode == Mode::Create)
        flags |= SQLITE_OPEN_CREATE;
    const int code = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
    if (code != SQLITE_OK) {
        const std::string reason = reasonOf(db_, code);
        sqlite3_close(db_);
        db_ = nullptr;
        throw ArchiveError("Архив " + path_ + " не открыт: " + reason + ".");
    }
    sqlite3_busy_timeout(db_, kBusyTimeoutMilliseconds);
    sqlite3_extended_result_codes(db_, 1);
}

SqliteConnection::~SqliteConnection() { sqlite3_close(db_); }

void SqliteConnection::execute(const std::string& sql, const char* doing)
{
    const int code = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr);
    if (code != SQLITE_OK)
        fail(code, doing);
}

bool SqliteConnection::tryExecute(const std::string& sql)
{
    return sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

SqliteStatement SqliteConnection::prepare(const std::string& sql, const char* doing)
{
    sqlite3_stmt* statement = nullptr;
    const int code = sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &statement, nullptr);
    if (code != SQLITE_OK)
        fail(code, doing);
    return SqliteStatement(*this, statement, doing);
}

long long SqliteConnection::lastInsertId() const { return sqlite3_last_insert_rowid(db_); }

void SqliteConnection::fail(int code, const char* doing) const
{
    throw ArchiveError(std::string("Архив ") + path_ + ": " + doing + " не удалось: " + reasonOf(db_, code) + ".");
}

} // namespace kestrel
