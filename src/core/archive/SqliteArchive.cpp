#include "core/archive/SqliteArchive.h"

#include "core/archive/ReadingSummary.h"
#include "core/archive/SqliteConnection.h"
#include "core/archive/SqliteStatement.h"
#include "core/archive/SqliteTransaction.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>

namespace kestrel {

namespace {

// "KSTR": tells a Kestrel archive from any other SQLite database.
constexpr std::int64_t kApplicationId = 0x4B535452;
constexpr std::int64_t kSchemaVersion = 1;

constexpr const char* kSchema = R"sql(
CREATE TABLE readings (
    id INTEGER PRIMARY KEY,
    content_hash INTEGER NOT NULL,
    recorder TEXT NOT NULL,
    crane_type TEXT NOT NULL,
    crane_number TEXT NOT NULL,
    reading REAL NOT NULL,
    reading_text TEXT NOT NULL,
    checksum_ok INTEGER NOT NULL,
    cycles INTEGER NOT NULL,
    source TEXT NOT NULL,
    stored_at TEXT NOT NULL
);
-- The bytes apart from the listed fields: a list never reads past 32 KiB per row.
CREATE TABLE images (
    reading_id INTEGER PRIMARY KEY REFERENCES readings (id),
    bytes BLOB NOT NULL
);
CREATE INDEX readings_by_hash ON readings (content_hash);
CREATE INDEX readings_by_recorder ON readings (recorder, reading, id);
CREATE TABLE designs (
    crane_type TEXT NOT NULL,
    crane_number TEXT NOT NULL,
    crane_group TEXT NOT NULL,
    crane_design TEXT NOT NULL,
    winch1_group TEXT NOT NULL,
    winch2_group TEXT NOT NULL,
    PRIMARY KEY (crane_type, crane_number)
);
)sql";

constexpr const char* kListColumns =
    "SELECT id, recorder, crane_type, crane_number, reading, reading_text, checksum_ok, cycles, source, stored_at "
    "FROM readings ";

std::string twoDigits(unsigned value)
{
    return std::string{static_cast<char>('0' + value / 10 % 10), static_cast<char>('0' + value % 10)};
}

std::string utcNow()
{
    using namespace std::chrono;
    const auto now = floor<seconds>(system_clock::now());
    const auto day = floor<days>(now);
    const year_month_day date{day};
    const hh_mm_ss time{now - day};
    return std::to_string(static_cast<int>(date.year())) + "-" + twoDigits(static_cast<unsigned>(date.month())) + "-"
        + twoDigits(static_cast<unsigned>(date.day())) + "T" + twoDigits(static_cast<unsigned>(time.hours().count()))
        + ":" + twoDigits(static_cast<unsigned>(time.minutes().count())) + ":"
        + twoDigits(static_cast<unsigned>(time.seconds().count())) + "Z";
}

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
    return reading;
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
        SqliteStatement same = db_.prepare("SELECT readings.id, images.bytes FROM readings JOIN images "
                                           "ON images.reading_id = readings.id WHERE readings.content_hash = ?1 "
                                           "ORDER BY readings.id",
            "найти считывание");
        SqliteStatement insertReading = db_.prepare(
            "INSERT INTO readings (content_hash, recorder, crane_type, crane_number, reading, reading_text, "
            "checksum_ok, cycles, source, stored_at) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)",
            "сохранить считывание");
        SqliteStatement insertImage
            = db_.prepare("INSERT INTO images (reading_id, bytes) VALUES (?1, ?2)", "сохранить считывание");
        const std::string storedAt = utcNow();
        for (const ImageToStore& item : images) {
            const std::int64_t hash = contentHash(item.image);
            const auto earlier = storedId(same, hash, item.image);
            if (earlier) {
                results.push_back({*earlier, false});
                continue;
            }
            const StoredReading summary = summariseReading(item.image);
            insertReading.bind(1, hash)
                .bind(2, summary.recorder)
                .bind(3, summary.craneType)
                .bind(4, summary.craneNumber)
                .bind(5, summary.reading)
                .bind(6, summary.readingText)
                .bind(7, std::int64_t{summary.checksumOk ? 1 : 0})
                .bind(8, summary.cycles)
                .bind(9, item.source)
                .bind(10, storedAt);
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
        SqliteStatement select = db_.prepare("SELECT bytes FROM images WHERE reading_id = ?1", "прочитать считывание");
        select.bind(1, id);
        if (!select.step())
            return std::nullopt;
        const auto bytes = select.blob(0);
        MemoryImage image{};
        if (bytes.size() != image.size())
            throw ArchiveError("Архив поврежден: считывание " + std::to_string(id) + " хранит "
                + std::to_string(bytes.size()) + " байт вместо " + std::to_string(image.size()) + ".");
        std::ranges::copy(bytes, image.begin());
        return image;
    }

    // The id under which these very bytes are stored already (equal hashes are only candidates).
    static std::optional<std::int64_t> storedId(SqliteStatement& same, std::int64_t hash, const MemoryImage& image)
    {
        same.bind(1, hash);
        std::optional<std::int64_t> found;
        while (!found && same.step())
            if (std::ranges::equal(same.blob(1), image))
                found = same.integer(0);
        same.reset();
        return found;
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
        SqliteStatement upsert = db_.prepare(
            "INSERT INTO designs (crane_type, crane_number, crane_group, crane_design, winch1_group, winch2_group) "
            "VALUES (?1, ?2, ?3, ?4, ?5, ?6) ON CONFLICT (crane_type, crane_number) DO UPDATE SET "
            "crane_group = excluded.crane_group, crane_design = excluded.crane_design, "
            "winch1_group = excluded.winch1_group, winch2_group = excluded.winch2_group",
            "сохранить классификацию");
        upsert.bind(1, crane.craneType)
            .bind(2, crane.craneNumber)
            .bind(3, design.craneGroup)
            .bind(4, design.craneDesign)
            .bind(5, design.winch1Group)
            .bind(6, design.winch2Group);
        upsert.step();
        transaction.commit();
    }

private:
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
        useWriteAheadLog();
        // In WAL mode NORMAL keeps every committed reading across a program crash.
        db_.execute("PRAGMA synchronous = NORMAL", "настроить архив");
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
