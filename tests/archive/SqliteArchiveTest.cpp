// The reading archive on a SQLite file: storing once, listing, the bytes back, refusing
// files that are not ours, two programs on one file.
#include "core/archive/SqliteArchive.h"

#include "support/ImageBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <fstream>
#include <thread>

using namespace kestrel;
using kestrel::test::ImageBuilder;
using kestrel::test::TempDir;

namespace {

MemoryImage reading(const std::string& recorder, int day, int month, int year, std::uint32_t cycles)
{
    return ImageBuilder{}
        .text(layout::kRecorderSerial, 16, recorder)
        .text(layout::kCraneType, 32, "КПМ-32")
        .text(layout::kCraneSerial, 16, "1187")
        .stamp(layout::kReadingStamp, 30, 14, day, month, year)
        .bucket(1, 49, cycles)
        .bucket(2, 99, 5)
        .fixChecksum()
        .image;
}

std::string fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

} // namespace

TEST(SqliteArchive, StoresEachImageOnceAndListsItsSummary)
{
    TempDir dir;
    const std::string path = dir.file("sub/folder/archive.sqlite");
    auto archive = openSqliteArchive(path);

    const MemoryImage first = reading("РП-0042", 12, 3, 24, 100);
    const StoreResult stored = archive->store(first, "ПСИ");
    EXPECT_TRUE(stored.newlyStored);
    const StoreResult again = archive->store(first, "/data/copy.bbd");
    EXPECT_FALSE(again.newlyStored);
    EXPECT_EQ(again.id, stored.id);

    MemoryImage broken = first;
    broken[0x6FE] ^= 1; // same fields, other bytes: a reading of its own
    EXPECT_TRUE(archive->store(broken, "/data/broken.bbd").newlyStored);

    const auto list = archive->readings();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].recorder, "РП-0042");
    EXPECT_EQ(list[0].craneType, "КПМ-32");
    EXPECT_EQ(list[0].craneNumber, "1187");
    EXPECT_EQ(list[0].readingText, "12.03.2024 14:30");
    EXPECT_TRUE(list[0].checksumOk);
    EXPECT_FALSE(list[1].checksumOk);
    EXPECT_EQ(list[0].cycles, 105);
    EXPECT_EQ(list[0].source, "ПСИ");
    EXPECT_EQ(list[0].storedAt.size(), 20u);
    EXPECT_EQ(list[0].storedAt.back(), 'Z');

    EXPECT_EQ(archive->image(stored.id), first);
    EXPECT_EQ(archive->image(9999), std::nullopt);
}

TEST(SqliteArchive, ListsOldestReadingFirstAndByRecorder)
{
    TempDir dir;
    auto archive = openSqliteArchive(dir.file("a.sqlite"));
    archive->store(reading("7", 1, 6, 25, 3), "b");
    archive->store(reading("7", 1, 6, 23, 1), "a");
    archive->store(reading("8", 1, 6, 24, 2), "c");
    const auto all = archive->readings();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].source, "a");
    EXPECT_EQ(all[1].source, "c");
    EXPECT_EQ(all[2].source, "b");
    const auto seven = archive->readings(std::string("7"));
    ASSERT_EQ(seven.size(), 2u);
    EXPECT_EQ(seven[0].source, "a");
    EXPECT_EQ(seven[1].source, "b");
    EXPECT_TRUE(archive->readings(std::string("9")).empty());
}

TEST(SqliteArchive, KeepsTheDesignOfEachCrane)
{
    TempDir dir;
    const std::string path = dir.file("a.sqlite");
    {
        auto archive = openSqliteArchive(path);
        EXPECT_EQ(archive->design({"КПМ-32", "1187"}).craneGroup, "");
        archive->setDesign({"КПМ-32", "1187"}, {"A5", "", "M5", ""});
        archive->setDesign({"КПМ-32", "1187"}, {"A6", "U6 Q3", "M5", "M4"});
        archive->setDesign({"КПМ-32", "2000"}, {"A3", "", "", ""});
    }
    auto reopened = openSqliteArchive(path);
    const DesignClasses design = reopened->design({"КПМ-32", "1187"});
    EXPECT_EQ(design.craneGroup, "A6");
    EXPECT_EQ(design.craneDesign, "U6 Q3");
    EXPECT_EQ(design.winch1Group, "M5");
    EXPECT_EQ(design.winch2Group, "M4");
    EXPECT_EQ(reopened->design({"КПМ-32", "2000"}).craneGroup, "A3");
}

TEST(SqliteArchive, RefusesFilesThatAreNotItsOwnAndLeavesThemUnchanged)
{
    TempDir dir;
    // A text file, a foreign SQLite database, and one of a newer Kestrel.
    const std::string text = dir.file("notes.txt");
    std::ofstream(text) << "не база данных, а заметки инженера";
    const std::string foreign = dir.file("foreign.sqlite");
    const std::string newer = dir.file("newer.sqlite");
    for (const auto& [path, sql] : {std::pair{foreign, "CREATE TABLE t(x); INSERT INTO t VALUES (1);"},
             std::pair{newer, "PRAGMA application_id = 1263752274; PRAGMA user_version = 99;"}}) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }
    for (const std::string& path : {text, foreign, newer}) {
        const std::string before = fileBytes(path);
        try {
            openSqliteArchive(path);
            ADD_FAILURE() << path << " was opened";
        } catch (const ArchiveError& error) {
            const std::string message = error.what();
            EXPECT_NE(message.find(path), std::string::npos) << message;
            EXPECT_NE(message.find("не изменен"), std::string::npos) << message;
        }
        EXPECT_EQ(fileBytes(path), before) << path;
    }
    EXPECT_THROW(openSqliteArchive(dir.path().string()), ArchiveError); // a folder
}

TEST(SqliteArchive, TwoProgramsStoreIntoOneFile)
{
    TempDir dir;
    const std::string path = dir.file("shared.sqlite");
    // Each thread opens its own connection, as the window and the command line do.
    auto storeMany = [&](const std::string& recorder) {
        auto archive = openSqliteArchive(path);
        for (int day = 1; day <= 25; ++day)
            archive->store(reading(recorder, day, 1, 24, static_cast<std::uint32_t>(day)), recorder);
    };
    std::thread window(storeMany, "1");
    std::thread commandLine(storeMany, "2");
    window.join();
    commandLine.join();
    auto archive = openSqliteArchive(path);
    EXPECT_EQ(archive->readings(std::string("1")).size(), 25u);
    EXPECT_EQ(archive->readings(std::string("2")).size(), 25u);
}
