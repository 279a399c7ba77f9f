#include "core/archive/ReadingDigest.h"
#include "core/archive/SqliteArchive.h"
#include "core/server/ServerArchive.h"
#include "core/sync/ArchiveSync.h"
#include "server/ServerTestImages.h"
#include "support/TempDir.h"
#include "support/TestServer.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <mutex>
#include <set>
#include <thread>

namespace kestrel {
namespace {

std::set<std::string> digests(ReadingArchive& archive)
{
    std::set<std::string> all;
    for (const auto& reading : archive.readings())
        all.insert(reading.sha256);
    return all;
}

std::set<std::string> digestsOf(const std::vector<ImageToStore>& images)
{
    std::set<std::string> all;
    for (const auto& item : images)
        all.insert(readingDigest(item.image));
    return all;
}

// One bit of a stored reading's bytes flipped behind the archive's back, as a failing disk would.
void flipStoredBit(const std::string& path, std::int64_t id, int at)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    sqlite3_stmt* read = nullptr;
    sqlite3_prepare_v2(db, "SELECT bytes FROM images WHERE reading_id = ?1", -1, &read, nullptr);
    sqlite3_bind_int64(read, 1, id);
    ASSERT_EQ(sqlite3_step(read), SQLITE_ROW);
    const auto* data = static_cast<const unsigned char*>(sqlite3_column_blob(read, 0));
    std::vector<unsigned char> bytes(data, data + sqlite3_column_bytes(read, 0));
    sqlite3_finalize(read);
    bytes.at(static_cast<std::size_t>(at)) ^= 1;
    sqlite3_stmt* write = nullptr;
    sqlite3_prepare_v2(db, "UPDATE images SET bytes = ?1 WHERE reading_id = ?2", -1, &write, nullptr);
    sqlite3_bind_blob(write, 1, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int64(write, 2, id);
    EXPECT_EQ(sqlite3_step(write), SQLITE_DONE);
    sqlite3_finalize(write);
    sqlite3_close(db);
}

TEST(ArchiveSyncTest, TwoLaptopsMeetOnTheServer)
{
    test::TempDir dir;
    const std::string server = test::freshServerDatabase();
    auto laptopA = openSqliteArchive(dir.file("a.sqlite"));
    auto laptopB = openSqliteArchive(dir.file("b.sqlite"));
    const auto cranesA = test::demoReadings(101, 2, 3);
    const auto cranesB = test::demoReadings(201, 2, 3);
    laptopA->storeAll(cranesA);
    laptopB->storeAll(cranesB);
    laptopB->store(cranesA[0].image, "copied.bbd"); // one reading both engineers have
    laptopA->setDesign({"Кран A", "1"}, {"A5", "", "M5", ""});

    SyncOptions all;
    all.allReadings = true;
    auto central = openServerArchive(server);
    const SyncReport a = synchroniseArchives(*laptopA, *central, all);
    EXPECT_EQ(a.sent, 6u);
    EXPECT_EQ(a.fetched, 0u);
    EXPECT_EQ(a.designsSent, 1u);
    const SyncReport b = synchroniseArchives(*laptopB, *central, all);
    EXPECT_EQ(b.sent, 6u); // its shared reading was there already
    EXPECT_EQ(b.fetched, 5u);
    EXPECT_EQ(b.designsFetched, 1u);
    const SyncReport a2 = synchroniseArchives(*laptopA, *central, all);
    EXPECT_EQ(a2.sent, 0u);
    EXPECT_EQ(a2.fetched, 6u);

    std::set<std::string> every = digestsOf(cranesA);
    every.merge(digestsOf(cranesB));
    EXPECT_EQ(digests(*central), every);
    EXPECT_EQ(central->readings().size(), every.size());
    EXPECT_EQ(digests(*laptopA), every);
    EXPECT_EQ(digests(*laptopB), every);
    EXPECT_EQ(laptopB->design({"Кран A", "1"}).craneGroup, "A5");

    // Fetched readings keep where they came from; a sync with nothing to do does nothing.
    const auto listB = laptopB->readings(summariseReading(cranesA[1].image).recorder);
    ASSERT_FALSE(listB.empty());
    EXPECT_EQ(listB.back().source.rfind("seed-", 0), 0u);
    const SyncReport idle = synchroniseArchives(*laptopB, *central, all);
    EXPECT_EQ(idle.sent + idle.fetched + idle.designsSent + idle.designsFetched, 0u);
}

TEST(ArchiveSyncTest, WithoutAllOnlyTheLaptopsOwnRecordersComeDown)
{
    test::TempDir dir;
    auto central = openServerArchive(test::freshServerDatabase());
    central->storeAll(test::demoReadings(301, 2, 2)); // recorders of seeds 301 and 302
    auto laptop = openSqliteArchive(dir.file("a.sqlite"));
    laptop->store(test::demoReadings(301, 1, 1)[0].image, "own.bbd");
    const SyncReport report = synchroniseArchives(*laptop, *central);
    EXPECT_EQ(report.fetched, 1u); // the other reading of its own recorder
    EXPECT_EQ(laptop->readings().size(), 2u);
}

TEST(ArchiveSyncTest, TheNewerDesignWinsOnBothSidesAndBothAreKept)
{
    test::TempDir dir;
    auto central = openServerArchive(test::freshServerDatabase());
    auto laptopA = openSqliteArchive(dir.file("a.sqlite"));
    auto laptopB = openSqliteArchive(dir.file("b.sqlite"));
    const CraneKey crane{"КПМ 32/16", "1062"};
    laptopA->offerDesign({crane, {"A5", "", "", ""}, "2025-01-01T08:00:00Z", "ivanov"});
    laptopB->offerDesign({crane, {"A6", "", "", ""}, "2025-02-01T08:00:00Z", "petrova"});
    synchroniseArchives(*laptopB, *central);
    const SyncReport a = synchroniseArchives(*laptopA, *central);
    EXPECT_EQ(a.designsSent, 0u);    // older: kept on the server, not current
    EXPECT_EQ(a.designsFetched, 1u); // the newer came down
    EXPECT_EQ(laptopA->design(crane).craneGroup, "A6");
    EXPECT_EQ(central->design(crane).craneGroup, "A6");
    const auto kept = central->designHistory(crane);
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].changedBy, "ivanov");
    EXPECT_EQ(kept[1].changedBy, "petrova");
}

TEST(ArchiveSyncTest, TwoSyncsAtOnceStoreEachReadingExactlyOnce)
{
    test::TempDir dir;
    const std::string server = test::freshServerDatabase();
    openServerArchive(server); // the schema, before the race
    const auto shared = test::demoReadings(401, 3, 4);
    auto laptopA = openSqliteArchive(dir.file("a.sqlite"));
    auto laptopB = openSqliteArchive(dir.file("b.sqlite"));
    laptopA->storeAll(shared);
    laptopB->storeAll(std::vector<ImageToStore>(shared.begin() + 4, shared.end()));
    laptopB->storeAll(test::demoReadings(501, 1, 3));

    SyncOptions small;
    small.batchSize = 2;
    std::string failures;
    std::mutex lock;
    auto syncOne = [&](ReadingArchive& laptop) {
        try {
            auto central = openServerArchive(server);
            synchroniseArchives(laptop, *central, small);
        } catch (const std::exception& e) {
            std::lock_guard guard(lock);
            failures += e.what();
        }
    };
    std::thread first(syncOne, std::ref(*laptopA));
    std::thread second(syncOne, std::ref(*laptopB));
    first.join();
    second.join();
    ASSERT_EQ(failures, "");
    auto central = openServerArchive(server);
    std::set<std::string> every = digestsOf(shared);
    every.merge(digestsOf(test::demoReadings(501, 1, 3)));
    EXPECT_EQ(central->readings().size(), every.size());
    EXPECT_EQ(digests(*central), every);
}

TEST(ArchiveSyncTest, AStoppedSyncLeavesNothingHalfDoneAndTheNextOneFinishes)
{
    test::TempDir dir;
    auto central = openServerArchive(test::freshServerDatabase());
    auto laptop = openSqliteArchive(dir.file("a.sqlite"));
    const auto images = test::demoReadings(601, 2, 4);
    laptop->storeAll(images);
    SyncOptions options;
    options.batchSize = 3;
    std::size_t batches = 0;
    options.progress = [&](const SyncProgress& p) { batches = p.sent / 3; };
    options.stopRequested = [&] { return batches >= 1; };
    try {
        synchroniseArchives(*laptop, *central, options);
        FAIL() << "the sync did not stop";
    } catch (const ArchiveError& e) {
        EXPECT_NE(std::string(e.what()).find("отправлено считываний: 3"), std::string::npos) << e.what();
    }
    EXPECT_EQ(central->readings().size(), 3u);
    const SyncReport rest = synchroniseArchives(*laptop, *central);
    EXPECT_EQ(rest.sent, images.size() - 3);
    EXPECT_EQ(digests(*central), digestsOf(images));
}

TEST(ArchiveSyncTest, ADamagedLocalReadingIsNamedAndNeverSent)
{
    test::TempDir dir;
    const std::string path = dir.file("a.sqlite");
    const auto images = test::demoReadings(701, 1, 3);
    std::int64_t damagedId = 0;
    {
        auto laptop = openSqliteArchive(path);
        damagedId = laptop->storeAll(images)[1].id;
    }
    flipStoredBit(path, damagedId, 100);

    auto laptop = openSqliteArchive(path);
    auto central = openServerArchive(test::freshServerDatabase());
    const SyncReport report = synchroniseArchives(*laptop, *central);
    EXPECT_EQ(report.sent, 2u);
    ASSERT_EQ(report.damaged.size(), 1u);
    EXPECT_NE(report.damaged[0].find("№" + std::to_string(damagedId)), std::string::npos) << report.damaged[0];
    EXPECT_FALSE(digests(*central).contains(readingDigest(images[1].image)));
    EXPECT_NE(syncReportText(report).find("поврежденные"), std::string::npos);
}

} // namespace
} // namespace kestrel
