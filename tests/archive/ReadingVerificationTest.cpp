// Every stored reading keeps its SHA-256: a reading whose bytes changed in the file is
// reported by name and never handed back as good; an archive of version 1 gains the
// digests when opened, keeping every reading.
#include "core/archive/ReadingDigest.h"
#include "core/archive/SqliteArchive.h"

#include "support/ArchiveDamage.h"
#include "support/ImageBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

using namespace kestrel;
using kestrel::test::ImageBuilder;
using kestrel::test::TempDir;

namespace {

MemoryImage reading(const std::string& recorder, int day, std::uint32_t cycles)
{
    return ImageBuilder{}
        .text(layout::kRecorderSerial, 16, recorder)
        .text(layout::kCraneType, 32, "КС-45717")
        .text(layout::kCraneSerial, 16, "305")
        .stamp(layout::kReadingStamp, 15, 10, day, 3, 24)
        .bucket(1, 49, cycles)
        .counter(layout::kMotorMinutes, cycles * 7)
        .fixChecksum()
        .image;
}

std::string messageOf(ReadingArchive& archive, std::int64_t id)
{
    try {
        archive.image(id);
    } catch (const DamagedReadingError& error) {
        EXPECT_EQ(error.id(), id);
        return error.what();
    }
    ADD_FAILURE() << "reading " << id << " was handed back as good";
    return {};
}

// The schema version 1 of Kestrel wrote, as it wrote it.
constexpr const char* kVersion1Schema = R"sql(
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
PRAGMA application_id = 1263752274;
PRAGMA user_version = 1;
)sql";

void insertVersion1Reading(sqlite3* db, std::int64_t id, const std::string& readingText, const void* bytes, int size)
{
    sqlite3_stmt* reading = nullptr;
    sqlite3_prepare_v2(db,
        "INSERT INTO readings VALUES (?1, 7, '0123', 'КС-45717', '305', ?1, ?2, 1, 10, 'ПСИ', '2024-03-05T10:20:00Z')",
        -1, &reading, nullptr);
    sqlite3_bind_int64(reading, 1, id);
    sqlite3_bind_text(reading, 2, readingText.c_str(), -1, SQLITE_TRANSIENT);
    ASSERT_EQ(sqlite3_step(reading), SQLITE_DONE);
    sqlite3_finalize(reading);
    sqlite3_stmt* image = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO images VALUES (?1, ?2)", -1, &image, nullptr);
    sqlite3_bind_int64(image, 1, id);
    sqlite3_bind_blob(image, 2, bytes, size, SQLITE_TRANSIENT);
    ASSERT_EQ(sqlite3_step(image), SQLITE_DONE);
    sqlite3_finalize(image);
}

std::int64_t userVersion(const std::string& path)
{
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_stmt* pragma = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &pragma, nullptr);
    sqlite3_step(pragma);
    const std::int64_t version = sqlite3_column_int64(pragma, 0);
    sqlite3_finalize(pragma);
    sqlite3_close(db);
    return version;
}

} // namespace

TEST(ReadingVerification, ListsTheDigestOfEveryReadingAndStoresEqualBytesOnce)
{
    TempDir dir;
    auto archive = openSqliteArchive(dir.file("a.sqlite"));
    const MemoryImage first = reading("0123", 5, 10);
    const MemoryImage second = reading("0123", 6, 11);
    const auto stored = archive->storeAll({{first, "a"}, {second, "b"}, {first, "c"}});
    EXPECT_EQ(stored[2].id, stored[0].id);
    EXPECT_FALSE(stored[2].newlyStored);
    const auto list = archive->readings();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].sha256, readingDigest(first));
    EXPECT_EQ(list[1].sha256, readingDigest(second));
    // The listed motor minutes too, which a version-1 list did not hold.
    EXPECT_EQ(list[1].motorMinutes, 77);
}

TEST(ReadingVerification, AFlippedBitMakesThatReadingDamagedAndNamesIt)
{
    TempDir dir;
    const std::string path = dir.file("a.sqlite");
    const MemoryImage good = reading("0123", 5, 10);
    const MemoryImage other = reading("0123", 6, 11);
    std::int64_t goodId = 0;
    std::int64_t otherId = 0;
    {
        auto archive = openSqliteArchive(path);
        goodId = archive->store(good, "ПСИ").id;
        otherId = archive->store(other, "ПСИ").id;
    }
    kestrel::test::flipStoredBit(path, otherId);

    auto archive = openSqliteArchive(path);
    EXPECT_EQ(archive->image(goodId), good);
    const std::string message = messageOf(*archive, otherId);
    EXPECT_NE(message.find("Считывание №" + std::to_string(otherId) + " (регистратор 0123, 06.03.2024 10:15)"),
        std::string::npos)
        << message;
    EXPECT_NE(message.find("SHA-256"), std::string::npos) << message;
    // Still listed: the history names it as damaged.
    EXPECT_EQ(archive->readings().size(), 2u);

    // A shortened blob is damaged as well, not a crash or a short reading.
    kestrel::test::changeStoredBytes(path, goodId, [](std::vector<std::uint8_t>& bytes) { bytes.resize(100); });
    EXPECT_NE(messageOf(*archive, goodId).find("100 байт"), std::string::npos);
}

TEST(ReadingVerification, TheSameReadingLoadedAgainPutsDamagedBytesRight)
{
    TempDir dir;
    const std::string path = dir.file("a.sqlite");
    const MemoryImage image = reading("0123", 5, 10);
    const std::int64_t id = openSqliteArchive(path)->store(image, "ПСИ").id;
    kestrel::test::flipStoredBit(path, id, 0x7000, 0);

    auto archive = openSqliteArchive(path);
    EXPECT_THROW(archive->image(id), DamagedReadingError);
    const StoreResult again = archive->store(image, "/data/copy.bbd");
    EXPECT_EQ(again.id, id);
    EXPECT_FALSE(again.newlyStored);
    EXPECT_EQ(archive->image(id), image);
    EXPECT_EQ(archive->readings().size(), 1u);
}

TEST(ReadingVerification, AVersion1ArchiveIsUpgradedKeepingEveryReading)
{
    TempDir dir;
    const std::string path = dir.file("old.sqlite");
    const MemoryImage first = reading("0123", 5, 10);
    const MemoryImage second = reading("0123", 6, 11);
    const std::vector<std::uint8_t> cut(first.begin(), first.begin() + 500);
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db, kVersion1Schema, nullptr, nullptr, nullptr), SQLITE_OK);
        insertVersion1Reading(db, 1, "05.03.2024 10:15", first.data(), static_cast<int>(first.size()));
        insertVersion1Reading(db, 2, "06.03.2024 10:15", second.data(), static_cast<int>(second.size()));
        insertVersion1Reading(db, 3, "07.03.2024 10:15", cut.data(), static_cast<int>(cut.size()));
        ASSERT_EQ(sqlite3_exec(db,
                      "INSERT INTO designs VALUES ('КС-45717', '305', 'A5', 'U5 Q3', 'M5', 'M4');"
                      "INSERT INTO designs VALUES ('КС-45717', '306', 'A3', '', '', '');",
                      nullptr, nullptr, nullptr),
            SQLITE_OK);
        sqlite3_close(db);
    }

    auto archive = openSqliteArchive(path);
    EXPECT_EQ(userVersion(path), 2);
    const auto list = archive->readings();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].sha256, readingDigest(first));
    EXPECT_EQ(list[1].sha256, readingDigest(second));
    // The listed motor minutes too, which a version-1 list did not hold.
    EXPECT_EQ(list[1].motorMinutes, 77);
    EXPECT_EQ(archive->image(1), first);
    EXPECT_EQ(archive->image(2), second);
    // The reading whose bytes were cut short is kept, and never used as good.
    EXPECT_NE(messageOf(*archive, 3).find("Считывание №3 (регистратор 0123, 07.03.2024 10:15)"), std::string::npos);

    // Storing works on the upgraded tables, and still finds the readings kept before.
    EXPECT_FALSE(archive->store(first, "again").newlyStored);
    EXPECT_TRUE(archive->store(reading("0123", 8, 12), "new").newlyStored);
    // Nor does a damaged reading stop a whole reading of other bytes from being stored.
    EXPECT_EQ(archive->readings().size(), 4u);

    // The designs kept before are the oldest entries: anything entered later is newer.
    const auto designs = archive->designs();
    ASSERT_EQ(designs.size(), 2u);
    EXPECT_EQ(designs[0].classes, (DesignClasses{"A5", "U5 Q3", "M5", "M4"}));
    EXPECT_EQ(designs[0].changedAt, "");
    EXPECT_EQ(designs[0].changedBy, "");
    EXPECT_EQ(archive->designHistory({"КС-45717", "305"}).size(), 1u);
    EXPECT_TRUE(archive->offerDesign({{"КС-45717", "305"}, {"A6", "", "", ""}, "2020-01-01T00:00:00Z", "ivanov"}));
    EXPECT_EQ(archive->design({"КС-45717", "305"}).craneGroup, "A6");

    // Opened again: nothing left to upgrade, nothing lost.
    archive.reset();
    auto reopened = openSqliteArchive(path);
    EXPECT_EQ(reopened->readings().size(), 4u);
    EXPECT_EQ(reopened->designHistory({"КС-45717", "305"}).size(), 2u);
}
