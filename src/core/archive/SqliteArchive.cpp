#include "core/archive/SqliteArchive.h"

#include "core/archive/CurrentUser.h"
#include "core/archive/ReadingDigest.h"
#include "core/archive/ReadingSummary.h"
#include "core/archive/SqliteConnection.h"
#include "core/archive/SqliteStatement.h"
#include "core/archive/SqliteTransaction.h"
#include "core/archive/UtcStamp.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <string_view>
#include <system_error>
#include <tuple>
#include <utility>

namespace kestrel {

namespace {

// "KSTR": tells a Kestrel archive from any other SQLite database.
constexpr std::int64_t kApplicationId = 0x4B535452;
constexpr std::int64_t kSchemaVersion = 2;

constexpr const char* kSchema = R"sql(
CREATE TABLE readings (
    id INTEGER PRIMARY KEY,
    sha256 TEXT NOT NULL,
    recorder TEXT NOT NULL,
    crane_type TEXT NOT NULL,
    crane_number TEXT NOT NULL,
    reading REAL NOT NULL,
    reading_text TEXT NOT NULL,
    checksum_ok INTEGER NOT NULL,
    cycles INTEGER NOT NULL,
    source TEXT NOT NULL,
    stored_at TEXT NOT NULL,
    motor_minutes INTEGER NOT NULL
);
-- The bytes apart from the listed fields: a list never reads past 32 KiB per row.
CREATE TABLE images (
    reading_id INTEGER PRIMARY KEY REFERENCES readings (id),
    bytes BLOB NOT NULL
);
CREATE UNIQUE INDEX readings_by_sha256 ON readings (sha256);
CREATE INDEX readings_by_recorder ON readings (recorder, reading, id);
CREATE TABLE designs (
    crane_type TEXT NOT NULL,
    crane_number TEXT NOT NULL,
    crane_group TEXT NOT NULL,
    crane_design TEXT NOT NULL,
    winch1_group TEXT NOT NULL,
    winch2_group TEXT NOT NULL,
    changed_at TEXT NOT NULL,
    changed_by TEXT NOT NULL,
    PRIMARY KEY (crane_type, crane_number)
);
)sql";

// Every design entry ever set here or offered from elsewhere; `designs` holds the current one.
constexpr const char* kDesignChangesSchema = R"sql(
CREATE TABLE design_changes (
    id INTEGER PRIMARY KEY,
    crane_type TEXT NOT NULL,
    crane_number TEXT NOT NULL,
    crane_group TEXT NOT NULL,
    crane_design TEXT NOT NULL,
    winch1_group TEXT NOT NULL,
    winch2_group TEXT NOT NULL,
    changed_at TEXT NOT NULL,
    changed_by TEXT NOT NULL,
    UNIQUE (crane_type, crane_number, changed_at, changed_by, crane_group, crane_design, winch1_group, winch2_group)
);
)sql";

// Version 1 told equal readings by a 64-bit hash and kept designs without who and when.
// The stamps of the designs it kept are empty, so that any real entry is newer.
constexpr const char* kUpgradeFrom1 = R"sql(
ALTER TABLE readings ADD COLUMN sha256 TEXT NOT NULL DEFAULT '';
ALTER TABLE readings ADD COLUMN motor_minutes INTEGER NOT NULL DEFAULT 0;
ALTER TABLE designs ADD COLUMN changed_at TEXT NOT NULL DEFAULT '';
ALTER TABLE designs ADD COLUMN changed_by TEXT NOT NULL DEFAULT '';
)sql";

constexpr const char* kUpgradeFrom1Finish = R"sql(
DROP INDEX readings_by_hash;
ALTER TABLE readings DROP COLUMN content_hash;
CREATE UNIQUE INDEX readings_by_sha256 ON readings (sha256);
INSERT INTO design_changes (crane_type, crane_number, crane_group, crane_design, winch1_group, winch2_group,
    changed_at, changed_by)
SELECT crane_type, crane_number, crane_group, crane_design, winch1_group, winch2_group, changed_at, changed_by
FROM designs;
)sql";

// The identity given to a version-1 reading whose stored bytes are not a whole reading:
// what was read is lost, so no digest can name it; the prefix keeps it apart from every
// real digest, and image() reports the reading as damaged.
constexpr std::string_view kUnknownDigestPrefix = "unknown-";

constexpr const char* kListColumns = "SELECT id, recorder, crane_type, crane_number, reading, reading_text, "
                                   "checksum_ok, cycles, source, stored_at, sha256, motor_minutes FROM readings ";

constexpr const char* kDesignColumns
    = "crane_type, crane_number, crane_group, crane_design, winch1_group, winch2_group, changed_at, changed_by";

std::int64_t pragmaValue(SqliteConnection& db, const char* pragma)
{
    SqliteStatement statement = db.prepare(std::string("PRAGMA ") + pragma, "прочитать заголовок");
    return statement.step() ? statement.integer(0) : 0;
}

bool hasNoTables(SqliteConnection& db)
{
    SqliteStatement statement = db.prepare("SELECT count(*) FROM sqlite_master", "прочитать заголовок");
    return statement.step() && statement.integer(0) == 0;
}

StoredReading storedReadingFrom(const SqliteStatement& row)
{
    StoredReading reading;
    reading.id = row.integer(0);
    reading.recorder = row.text(1);
    reading.craneType = row.text(2);
    reading.craneNumber = row.text(3);
    reading.reading = row.real(4);
    reading.readingText = row.text(5);
    reading.checksumOk = row.integer(6) != 0;
    reading.cycles = row.integer(7);
    reading.source = row.text(8);
    reading.storedAt = row.text(9);
    reading.sha256 = row.text(10);
    reading.motorMinutes = row.integer(11);
    return reading;
}

DesignEntry designEntryFrom(const SqliteStatement& row)
{
    DesignEntry entry;
    entry.crane = {row.text(0), row.text(1)};
    entry.classes = {row.text(2), row.text(3), row.text(4), row.text(5)};
    entry.changedAt = row.text(6);
    entry.changedBy = row.text(7);
    return entry;
}

void bindDesignEntry(SqliteStatement& statement, const DesignEntry& entry)
{
    statement.bind(1, entry.crane.craneType)
        .bind(2, entry.crane.craneNumber)
        .bind(3, entry.classes.craneGroup)
        .bind(4, entry.classes.craneDesign)
        .bind(5, entry.classes.winch1Group)
        .bind(6, entry.classes.winch2Group)
        .bind(7, entry.changedAt)
        .bind(8, entry.changedBy);
}

// How the messages name a reading: its number in the archive, the recorder and the date.
std::string readingName(std::int64_t id, const std::string& recorder, const std::string& readingText)
{
    std::string name = "Считывание №" + std::to_string(id) + " (";
    name += recorder.empty() ? std::string("регистратор без номера") : "регистратор " + recorder;
    name += readingText.empty() ? std::string(", без даты считывания") : ", " + readingText;
    return name + ")";
}

class SqliteArchive final : public ReadingArchive {
public:
    explicit SqliteArchive(const std::string& path)
        : db_(path, prepareFile(path))
    {
        initialise(path);
    }

    StoreResult store(const MemoryImage& image, const std::string& source) override
    {
        return storeAll({ImageToStore{image, source}}).front();
    }

    std::vector<StoreResult> storeAll(const std::vector<ImageToStore>& images) override
    {
        std::vector<StoreResult> results;
        results.reserve(images.size());
        SqliteTransaction transaction(db_);
        SqliteStatement same = db_.prepare("SELECT readings.id, images.bytes FROM readings LEFT JOIN images "
                                           "ON images.reading_id = readings.id WHERE readings.sha256 = ?1",
            "найти считывание");
        SqliteStatement insertReading = db_.prepare(
            "INSERT INTO readings (sha256, recorder, crane_type, crane_number, reading, reading_text, "
            "checksum_ok, cycles, source, stored_at, motor_minutes) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, "
            "?11)",
            "сохранить считывание");
        SqliteStatement insertImage
            = db_.prepare("INSERT OR REPLACE INTO images (reading_id, bytes) VALUES (?1, ?2)", "сохранить считывание");
        const std::string storedAt = utcStampNow();
        for (const ImageToStore& item : images) {
            const std::string digest = readingDigest(item.image);
            same.bind(1, digest);
            if (same.step()) {
                const std::int64_t id = same.integer(0);
                // The digest names these very bytes: stored bytes that differ were damaged,
                // and the reading loaded again puts them right.
                const bool intact = std::ranges::equal(same.blob(1), item.image);
                same.reset();
                if (!intact) {
                    insertImage.bind(1, id).bindBlob(2, item.image);
                    insertImage.step();
                    insertImage.reset();
                }
                results.push_back({id, false});
                continue;
            }
            same.reset();
            const StoredReading summary = summariseReading(item.image);
            insertReading.bind(1, digest)
                .bind(2, summary.recorder)
                .bind(3, summary.craneType)
                .bind(4, summary.craneNumber)
                .bind(5, summary.reading)
                .bind(6, summary.readingText)
                .bind(7, std::int64_t{summary.checksumOk ? 1 : 0})
                .bind(8, summary.cycles)
                .bind(9, item.source)
                .bind(10, storedAt)
                .bind(11, summary.motorMinutes);
            insertReading.step();
            insertReading.reset();
            const std::int64_t id = db_.lastInsertId();
            insertImage.bind(1, id).bindBlob(2, item.image);
            insertImage.step();
            insertImage.reset();
            results.push_back({id, true});
        }
        transaction.commit();
        return results;
    }

    std::vector<StoredReading> readings(const std::optional<std::string>& recorder) override
    {
        SqliteStatement select = recorder
            ? db_.prepare(std::string(kListColumns) + "WHERE recorder = ?1 ORDER BY reading, id", "прочитать список")
            : db_.prepare(std::string(kListColumns) + "ORDER BY reading, id", "прочитать список");
        if (recorder)
            select.bind(1, *recorder);
        std::vector<StoredReading> list;
        while (select.step())
            list.push_back(storedReadingFrom(select));
        return list;
    }

    std::optional<MemoryImage> image(std::int64_t id) override
    {
        SqliteStatement select = db_.prepare("SELECT readings.sha256, readings.recorder, readings.reading_text, "
                                             "images.reading_id, images.bytes FROM readings LEFT JOIN images "
                                             "ON images.reading_id = readings.id WHERE readings.id = ?1",
            "прочитать считывание");
        select.bind(1, id);
        if (!select.step())
            return std::nullopt;
        const std::string name = readingName(id, select.text(1), select.text(2));
        const auto bytes = select.blob(4);
        MemoryImage image{};
        if (select.text(3).empty())
            throw DamagedReadingError(id, name + " в архиве повреждено: его байты утеряны; оно не используется.");
        if (bytes.size() != image.size())
            throw DamagedReadingError(id,
                name + " в архиве повреждено: хранится " + std::to_string(bytes.size()) + " байт вместо "
                    + std::to_string(image.size()) + "; оно не используется.");
        std::ranges::copy(bytes, image.begin());
        if (readingDigest(image) != select.text(0))
            throw DamagedReadingError(id,
                name
                    + " в архиве повреждено: его байты не совпадают с сохраненной контрольной суммой SHA-256; "
                      "оно не используется.");
        return image;
    }

    DesignClasses design(const CraneKey& crane) override
    {
        SqliteStatement select = db_.prepare("SELECT crane_group, crane_design, winch1_group, winch2_group "
                                             "FROM designs WHERE crane_type = ?1 AND crane_number = ?2",
            "прочитать классификацию");
        select.bind(1, crane.craneType).bind(2, crane.craneNumber);
        if (!select.step())
            return {};
        return {select.text(0), select.text(1), select.text(2), select.text(3)};
    }

    void setDesign(const CraneKey& crane, const DesignClasses& design) override
    {
        SqliteTransaction transaction(db_);
        // Saving the design shown again is no new entry.
        if (const auto current = currentDesign(crane); current && current->classes == design)
            return;
        const DesignEntry entry{crane, design, utcStampNow(), currentUserName()};
        keepDesignChange(entry);
        makeCurrent(entry);
        transaction.commit();
    }

    std::vector<DesignEntry> designs() override
    {
        SqliteStatement select = db_.prepare(
            std::string("SELECT ") + kDesignColumns + " FROM designs ORDER BY crane_type, crane_number",
            "прочитать классификацию");
        std::vector<DesignEntry> list;
        while (select.step())
            list.push_back(designEntryFrom(select));
        return list;
    }

    bool offerDesign(const DesignEntry& entry) override
    {
        SqliteTransaction transaction(db_);
        keepDesignChange(entry);
        const auto current = currentDesign(entry.crane);
        const bool newer = !current
            || std::tie(entry.changedAt, entry.changedBy) > std::tie(current->changedAt, current->changedBy);
        if (newer)
            makeCurrent(entry);
        transaction.commit();
        return newer;
    }

    std::vector<DesignEntry> designHistory(const CraneKey& crane) override
    {
        SqliteStatement select = db_.prepare(std::string("SELECT ") + kDesignColumns
                + " FROM design_changes WHERE crane_type = ?1 AND crane_number = ?2 "
                  "ORDER BY changed_at, changed_by, id",
            "прочитать классификацию");
        select.bind(1, crane.craneType).bind(2, crane.craneNumber);
        std::vector<DesignEntry> list;
        while (select.step())
            list.push_back(designEntryFrom(select));
        return list;
    }

private:
    std::optional<DesignEntry> currentDesign(const CraneKey& crane)
    {
        SqliteStatement select = db_.prepare(std::string("SELECT ") + kDesignColumns
                + " FROM designs WHERE crane_type = ?1 AND crane_number = ?2",
            "прочитать классификацию");
        select.bind(1, crane.craneType).bind(2, crane.craneNumber);
        if (!select.step())
            return std::nullopt;
        return designEntryFrom(select);
    }

    // The same entry offered again (a second sync) is kept once.
    void keepDesignChange(const DesignEntry& entry)
    {
        SqliteStatement insert = db_.prepare(std::string("INSERT OR IGNORE INTO design_changes (") + kDesignColumns
                + ") VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)",
            "сохранить классификацию");
        bindDesignEntry(insert, entry);
        insert.step();
    }

    void makeCurrent(const DesignEntry& entry)
    {
        SqliteStatement upsert = db_.prepare(std::string("INSERT INTO designs (") + kDesignColumns
                + ") VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8) ON CONFLICT (crane_type, crane_number) DO UPDATE SET "
                  "crane_group = excluded.crane_group, crane_design = excluded.crane_design, "
                  "winch1_group = excluded.winch1_group, winch2_group = excluded.winch2_group, "
                  "changed_at = excluded.changed_at, changed_by = excluded.changed_by",
            "сохранить классификацию");
        bindDesignEntry(upsert, entry);
        upsert.step();
    }

    // Refuses what is not a file; creates the folder of a new archive.
    static SqliteConnection::Mode prepareFile(const std::string& path)
    {
        std::error_code error;
        const bool exists = std::filesystem::exists(path, error);
        if (exists && !std::filesystem::is_regular_file(path, error))
            throw ArchiveError("Архив " + path + " не открыт: это не файл.");
        if (!exists) {
            const auto folder = std::filesystem::path(path).parent_path();
            if (!folder.empty())
                std::filesystem::create_directories(folder, error);
            if (error)
                throw ArchiveError("Архив " + path + " не создан: не удается создать папку " + folder.string() + ".");
        }
        return exists ? SqliteConnection::Mode::OpenExisting : SqliteConnection::Mode::Create;
    }

    enum class FileKind { Empty, Ours, Foreign, Newer };

    // What the file is, seen in one consistent view (another program may be creating it).
    static FileKind currentKindOf(SqliteConnection& db)
    {
        SqliteTransaction snapshot(db, SqliteTransaction::Kind::Read);
        const FileKind kind = kindOf(db);
        snapshot.commit();
        return kind;
    }

    static FileKind kindOf(SqliteConnection& db)
    {
        const std::int64_t applicationId = pragmaValue(db, "application_id");
        const std::int64_t version = pragmaValue(db, "user_version");
        if (applicationId == 0 && version == 0 && hasNoTables(db))
            return FileKind::Empty;
        if (applicationId != kApplicationId)
            return FileKind::Foreign;
        return version > kSchemaVersion ? FileKind::Newer : FileKind::Ours;
    }

    // The write-ahead log lets a listing run beside a store. The mode stays in the file;
    // switching needs the file to itself and SQLite does not wait for that, so while another
    // program has it open the switch is left to a later opening: the archive works the same,
    // only with writers and readers taking turns.
    void useWriteAheadLog()
    {
        std::string current;
        {
            // Finished before the switch: an unfinished statement would hold a read transaction.
            SqliteStatement mode = db_.prepare("PRAGMA journal_mode", "прочитать журнал");
            if (mode.step())
                current = mode.text(0);
        }
        if (current != "wal")
            db_.tryExecute("PRAGMA journal_mode = WAL");
    }

    // Nothing is written before the file is known to be ours or empty.
    void initialise(const std::string& path)
    {
        if (!startsLikeSqlite(path))
            throw ArchiveError(notOurs(path));
        FileKind kind = currentKindOf(db_);
        if (kind == FileKind::Empty) {
            // Another program may be creating the same archive right now: decide inside the write lock.
            // A reading's bytes take three pages instead of a chain of nine small ones.
            db_.execute("PRAGMA page_size = 16384", "создать архив");
            SqliteTransaction transaction(db_);
            if (kindOf(db_) == FileKind::Empty) {
                db_.execute(kSchema, "создать архив");
                db_.execute(kDesignChangesSchema, "создать архив");
                db_.execute("PRAGMA application_id = " + std::to_string(kApplicationId), "создать архив");
                db_.execute("PRAGMA user_version = " + std::to_string(kSchemaVersion), "создать архив");
            }
            transaction.commit();
            kind = currentKindOf(db_);
        }
        if (kind == FileKind::Foreign)
            throw ArchiveError(notOurs(path));
        if (kind == FileKind::Newer)
            throw ArchiveError("Архив " + path + " записан более новой версией Kestrel; он не изменен.");
        upgrade(path);
        useWriteAheadLog();
        // In WAL mode NORMAL keeps every committed reading across a program crash.
        db_.execute("PRAGMA synchronous = NORMAL", "настроить архив");
    }

    // An archive of an earlier version gains what this one keeps, in one transaction,
    // every reading kept. Another program may be upgrading it too: decided inside the lock.
    void upgrade(const std::string& path)
    {
        if (currentVersion() == kSchemaVersion)
            return;
        SqliteTransaction transaction(db_);
        const std::int64_t version = currentVersion();
        if (version == 1) {
            db_.execute(kUpgradeFrom1, "обновить архив");
            db_.execute(kDesignChangesSchema, "обновить архив");
            fillDigests();
            db_.execute(kUpgradeFrom1Finish, "обновить архив");
        } else if (version != kSchemaVersion) {
            throw ArchiveError("Архив " + path + " записан неизвестной версией Kestrel (" + std::to_string(version)
                + "); он не изменен.");
        }
        db_.execute("PRAGMA user_version = " + std::to_string(kSchemaVersion), "обновить архив");
        transaction.commit();
    }

    std::int64_t currentVersion() { return pragmaValue(db_, "user_version"); }

    // The digest (and the motor minutes) of every stored reading, from its bytes. Bytes that are no whole reading
    // (or none at all), or that storage turned into another reading's, get an identity of
    // their own: the reading is kept, and reported as damaged whenever it is read back.
    void fillDigests()
    {
        struct Filled {
            std::int64_t id;
            std::string digest;
            std::int64_t motorMinutes;
        };
        std::vector<Filled> digests;
        std::set<std::string> seen;
        {
            SqliteStatement select = db_.prepare(
                "SELECT readings.id, images.bytes FROM readings LEFT JOIN images ON images.reading_id = readings.id",
                "обновить архив");
            MemoryImage image{};
            while (select.step()) {
                const std::int64_t id = select.integer(0);
                const auto bytes = select.blob(1);
                std::string digest;
                std::int64_t motorMinutes = 0;
                if (bytes.size() == image.size()) {
                    std::ranges::copy(bytes, image.begin());
                    digest = readingDigest(image);
                    motorMinutes = summariseReading(image).motorMinutes;
                }
                if (digest.empty() || !seen.insert(digest).second)
                    digest = std::string(kUnknownDigestPrefix) + std::to_string(id);
                digests.push_back({id, std::move(digest), motorMinutes});
            }
        }
        SqliteStatement update
            = db_.prepare("UPDATE readings SET sha256 = ?1, motor_minutes = ?3 WHERE id = ?2", "обновить архив");
        for (const auto& [id, digest, motorMinutes] : digests) {
            update.bind(1, digest).bind(2, id).bind(3, motorMinutes);
            update.step();
            update.reset();
        }
    }

    static std::string notOurs(const std::string& path)
    {
        return "Файл " + path + " не является архивом Kestrel; он не изменен.";
    }

    // An empty file or a SQLite database; anything else is left alone before SQLite touches it.
    static bool startsLikeSqlite(const std::string& path)
    {
        std::ifstream file(path, std::ios::binary);
        char header[16]{};
        file.read(header, sizeof header);
        const auto got = file.gcount();
        return got == 0 || (got == 16 && std::string_view(header, 16) == std::string_view("SQLite format 3\0", 16));
    }

    SqliteConnection db_;
};

} // namespace

std::unique_ptr<ReadingArchive> openSqliteArchive(const std::string& path)
{
    return std::make_unique<SqliteArchive>(path);
}

} // namespace kestrel
