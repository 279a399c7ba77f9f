#pragma once

// What a failing disk or a stray program does to an archive file: changes the stored bytes
// of a reading behind the archive's back, through SQLite directly.

#include <sqlite3.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace kestrel::test {

// Replaces the stored bytes of reading `id` by what `change` makes of them.
template <typename Change>
void changeStoredBytes(const std::string& archivePath, std::int64_t id, Change change)
{
    sqlite3* db = nullptr;
    if (sqlite3_open(archivePath.c_str(), &db) != SQLITE_OK) {
        sqlite3_close(db);
        throw std::runtime_error("cannot open " + archivePath);
    }
    std::vector<std::uint8_t> bytes;
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(db, "SELECT bytes FROM images WHERE reading_id = ?1", -1, &select, nullptr);
    sqlite3_bind_int64(select, 1, id);
    if (sqlite3_step(select) == SQLITE_ROW) {
        const auto* data = static_cast<const std::uint8_t*>(sqlite3_column_blob(select, 0));
        bytes.assign(data, data + sqlite3_column_bytes(select, 0));
    }
    sqlite3_finalize(select);
    change(bytes);
    sqlite3_stmt* update = nullptr;
    sqlite3_prepare_v2(db, "UPDATE images SET bytes = ?1 WHERE reading_id = ?2", -1, &update, nullptr);
    sqlite3_bind_blob64(update, 1, bytes.data(), bytes.size(), SQLITE_TRANSIENT);
    sqlite3_bind_int64(update, 2, id);
    const int code = sqlite3_step(update);
    sqlite3_finalize(update);
    sqlite3_close(db);
    if (code != SQLITE_DONE)
        throw std::runtime_error("cannot change reading " + std::to_string(id));
}

// One bit of one stored byte flipped.
inline void flipStoredBit(const std::string& archivePath, std::int64_t id, std::size_t offset = 0x4000, int bit = 3)
{
    changeStoredBytes(archivePath, id, [&](std::vector<std::uint8_t>& bytes) {
        bytes.at(offset) = static_cast<std::uint8_t>(bytes.at(offset) ^ (1u << bit));
    });
}

} // namespace kestrel::test
