#include "core/archive/ReadingDigest.h"
#include "core/archive/UtcStamp.h"
#include "core/server/ServerArchive.h"
#include "server/ServerTestImages.h"
#include "support/TestServer.h"

#include <gtest/gtest.h>

#include <thread>

namespace kestrel {
namespace {

using test::adminConnection;
using test::asAdmin;
using test::connectionTo;
using test::freshServerDatabaseName;

std::string messageOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const ArchiveError& e) {
        return e.what();
    }
    return "";
}

TEST(ServerArchiveTest, StoresEachReadingOnceListsItAndGivesTheSameBytesBack)
{
    const std::string before = utcStampNow();
    auto archive = openServerArchive(test::freshServerDatabase());
    const auto images = test::demoReadings(7, 1, 3);
    const auto first = archive->storeAll(images);
    ASSERT_EQ(first.size(), 3u);
    for (const auto& result : first)
        EXPECT_TRUE(result.newlyStored);
    // The same bytes again, alone and amid a batch: nothing new, the first ids.
    const auto again = archive->store(images[1].image, "elsewhere");
    EXPECT_FALSE(again.newlyStored);
    EXPECT_EQ(again.id, first[1].id);

    const auto list = archive->readings();
    ASSERT_EQ(list.size(), 3u);
    const StoredReading expected = summariseReading(images[0].image);
    EXPECT_EQ(list[0].recorder, expected.recorder);
    EXPECT_EQ(list[0].readingText, expected.readingText);
    EXPECT_EQ(list[0].cycles, expected.cycles);
    EXPECT_EQ(list[0].motorMinutes, expected.motorMinutes);
    EXPECT_GT(expected.motorMinutes, 0);
    EXPECT_EQ(list[0].source, "seed-7");
    // The server's sha256() and ours agree: the key the whole team shares.
    EXPECT_EQ(list[0].sha256, readingDigest(images[0].image));
    // Stored a moment ago, in the local archive's form (UTC, to the second: such texts sort as times).
    const std::string after = utcStampNow();
    ASSERT_EQ(list[0].storedAt.size(), after.size()) << list[0].storedAt;
    EXPECT_LE(before, list[0].storedAt);
    EXPECT_LE(list[0].storedAt, after);
    EXPECT_EQ(archive->readings(expected.recorder).size(), 3u);
    EXPECT_TRUE(archive->readings(std::string("нет такого")).empty());

    EXPECT_EQ(archive->image(list[2].id), images[2].image);
    EXPECT_EQ(archive->image(999999), std::nullopt);
}

TEST(ServerArchiveTest, DamagedBytesOnTheServerAreNamedAndNeverGivenBack)
{
    const std::string database = freshServerDatabaseName();
    auto archive = openServerArchive(connectionTo(database));
    const auto stored = archive->store(test::demoReadings(3, 1, 1)[0].image, "f.bbd");
    // Bytes and their SHA-256 no longer agree, as after damage the server's own checks missed:
    // made by the superuser with the table's guards off.
    asAdmin(database, "ALTER TABLE kestrel.readings DISABLE TRIGGER USER; "
                      "ALTER TABLE kestrel.readings ALTER COLUMN sha256 DROP EXPRESSION; "
                      "UPDATE kestrel.readings SET bytes = set_byte(bytes, 100, get_byte(bytes, 100) # 1)");
    try {
        archive->image(stored.id);
        FAIL() << "damaged bytes were given back";
    } catch (const DamagedReadingError& e) {
        EXPECT_EQ(e.id(), stored.id);
        EXPECT_NE(std::string(e.what()).find("№" + std::to_string(stored.id)), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("SHA-256"), std::string::npos) << e.what();
    }
    // Cut short (the table's own check dropped): no memory at all, said the same way; the
    // others of a batch still come.
    const std::string other = freshServerDatabaseName();
    auto second = openServerArchive(connectionTo(other));
    const auto images = test::demoReadings(4, 1, 2);
    const auto both = second->storeAll(images);
    asAdmin(other, "ALTER TABLE kestrel.readings DISABLE TRIGGER USER; "
                   "ALTER TABLE kestrel.readings DROP CONSTRAINT whole_memory; "
                   "UPDATE kestrel.readings SET bytes = substring(bytes FROM 1 FOR 100) WHERE id = "
            + std::to_string(both[0].id));
    const auto fetched = second->images({both[0].id, both[1].id});
    ASSERT_EQ(fetched.size(), 2u);
    EXPECT_FALSE(fetched[0].image);
    ASSERT_TRUE(fetched[0].damaged);
    EXPECT_EQ(fetched[0].damaged->id(), both[0].id);
    EXPECT_EQ(fetched[1].image, images[1].image);
    EXPECT_FALSE(fetched[1].damaged);
}

TEST(ServerArchiveTest, RefusesForeignAndNewerDatabasesWithoutWritingToThem)
{
    const std::string foreign = freshServerDatabaseName();
    asAdmin(foreign, "CREATE TABLE invoices (id int)");
    const std::string refusal = messageOf([&] { openServerArchive(connectionTo(foreign)); });
    EXPECT_NE(refusal.find("не является архивом Kestrel"), std::string::npos) << refusal;
    pqxx::connection check(connectionTo(foreign));
    pqxx::nontransaction tx(check);
    EXPECT_FALSE(tx.exec("SELECT to_regnamespace('kestrel') IS NOT NULL")[0][0].as<bool>());

    const std::string newer = freshServerDatabaseName();
    openServerArchive(connectionTo(newer));
    asAdmin(newer, "UPDATE kestrel.meta SET value = '2' WHERE key = 'schema_version'");
    const std::string tooNew = messageOf([&] { openServerArchive(connectionTo(newer)); });
    EXPECT_NE(tooNew.find("более новой версией Kestrel"), std::string::npos) << tooNew;
}

TEST(ServerArchiveTest, SaysWhyAConnectionIsRefused)
{
    const std::string database = freshServerDatabaseName();
    test::ensureLoginRole("kestrel_test_pw", "right");
    const std::string wrong = messageOf([&] { openServerArchive(connectionTo(database, "kestrel_test_pw", "wrong")); });
    EXPECT_NE(wrong.find("отказал во входе"), std::string::npos) << wrong;
    EXPECT_NE(wrong.find("pgpass"), std::string::npos) << wrong;

    std::string nobodyThere = adminConnection();
    nobodyThere.replace(nobodyThere.find("host="), 5, "host=/nonexistent-kestrel-socket ");
    const std::string unreachable = messageOf([&] { openServerArchive(nobodyThere); });
    EXPECT_NE(unreachable.find("Не удается подключиться к серверу команды"), std::string::npos) << unreachable;
}

TEST(ServerArchiveTest, TheNewestDesignEntryIsCurrentAndEveryEntryIsKept)
{
    auto archive = openServerArchive(test::freshServerDatabase());
    const CraneKey crane{"КПМ 32/16", "1062"};
    const DesignEntry older{crane, {"A5", "U5 Q3", "M5", "M4"}, "2025-01-01T10:00:00Z", "ivanov"};
    const DesignEntry newer{crane, {"A6", "U6 Q3", "M6", "M4"}, "2025-06-01T10:00:00Z", "petrova"};
    EXPECT_TRUE(archive->offerDesign(newer));
    EXPECT_FALSE(archive->offerDesign(older)); // kept, not current
    EXPECT_FALSE(archive->offerDesign(newer)); // the same entry once
    EXPECT_EQ(archive->design(crane), newer.classes);
    const auto history = archive->designHistory(crane);
    ASSERT_EQ(history.size(), 2u);
    EXPECT_EQ(history[0].changedBy, "ivanov");
    EXPECT_EQ(history[1].changedBy, "petrova");
    ASSERT_EQ(archive->designs().size(), 1u);
    EXPECT_EQ(archive->designs()[0].classes, newer.classes);

    archive->setDesign(crane, {"A7", "", "", ""});
    EXPECT_EQ(archive->design(crane).craneGroup, "A7");
    EXPECT_EQ(archive->designHistory(crane).size(), 3u);
}

TEST(ServerArchiveTest, ProgramsOpeningAnEmptyDatabaseTogetherCreateItOnce)
{
    const std::string connection = test::freshServerDatabase();
    std::vector<std::thread> openers;
    std::atomic<int> failures{0};
    for (int i = 0; i < 4; ++i)
        openers.emplace_back([&] {
            try {
                openServerArchive(connection)->store(makeDemoImage(11), "same");
            } catch (const std::exception& e) {
                ADD_FAILURE() << e.what();
                ++failures;
            }
        });
    for (auto& t : openers)
        t.join();
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(openServerArchive(connection)->readings().size(), 1u);
}

} // namespace
} // namespace kestrel
