#include "core/archive/ReadingDigest.h"
#include "core/archive/SqliteArchive.h"
#include "core/server/ServerArchive.h"
#include "core/sync/ArchiveSync.h"
#include "server/ServerTestImages.h"
#include "support/TempDir.h"
#include "support/TestServer.h"

#include <gtest/gtest.h>

#include <set>

namespace kestrel {
namespace {

// The server dies (pg_ctl stop -m immediate) in the middle of a sync, comes back, and
// the next sync finishes: nothing lost, nothing twice, on either side.
TEST(ServerCrashTest, ASyncCutByAServerCrashIsFinishedByTheNextOne)
{
    test::TempDir dir;
    const std::string server = test::freshServerDatabase();
    auto laptop = openSqliteArchive(dir.file("a.sqlite"));
    const auto images = test::demoReadings(801, 3, 4);
    laptop->storeAll(images);
    {
        // Readings only the server has, so that the fetch half is cut too.
        openServerArchive(server)->storeAll(test::demoReadings(801, 1, 6));
    }
    const std::size_t localBefore = laptop->readings().size();

    SyncOptions options;
    options.batchSize = 4;
    bool crashed = false;
    options.progress = [&](const SyncProgress& p) {
        if (!crashed && p.sent >= 4) {
            crashed = true;
            test::crashServer();
        }
    };
    {
        auto central = openServerArchive(server);
        try {
            synchroniseArchives(*laptop, *central, options);
            FAIL() << "the sync went on without its server";
        } catch (const ArchiveError& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find("Связь с сервером команды потеряна"), std::string::npos) << message;
            EXPECT_NE(message.find("отправлено считываний: 4"), std::string::npos) << message;
        }
    }
    test::restartServer();
    EXPECT_EQ(laptop->readings().size(), localBefore); // nothing half-stored on the laptop

    auto central = openServerArchive(server);
    const std::size_t onServer = central->readings().size();
    const SyncReport rest = synchroniseArchives(*laptop, *central);
    std::set<std::string> every;
    for (const auto& item : images)
        every.insert(readingDigest(item.image));
    for (const auto& item : test::demoReadings(801, 1, 6))
        every.insert(readingDigest(item.image));
    EXPECT_EQ(rest.sent + onServer, every.size());
    std::set<std::string> serverDigests;
    for (const auto& reading : central->readings())
        serverDigests.insert(reading.sha256);
    EXPECT_EQ(central->readings().size(), every.size());
    EXPECT_EQ(serverDigests, every);
    std::set<std::string> localDigests;
    for (const auto& reading : laptop->readings())
        localDigests.insert(reading.sha256);
    EXPECT_EQ(laptop->readings().size(), every.size());
    EXPECT_EQ(localDigests, every);
}

// The bytes of readings come over a connection of their own, kept open: while the server
// is away a read says so, afterwards it reads again without the archive being opened anew.
TEST(ServerCrashTest, AnOpenArchiveReadsAgainAfterItsServerCameBack)
{
    auto central = openServerArchive(test::freshServerDatabase());
    const auto images = test::demoReadings(805, 1, 2);
    const auto stored = central->storeAll(images);
    ASSERT_EQ(central->image(stored[0].id), images[0].image);

    test::crashServer();
    try {
        central->image(stored[1].id);
        FAIL() << "read without a server";
    } catch (const ArchiveError& e) {
        EXPECT_NE(std::string(e.what()).find("Связь с сервером команды потеряна"), std::string::npos) << e.what();
    }
    test::restartServer();
    EXPECT_EQ(central->image(stored[1].id), images[1].image);
}

} // namespace
} // namespace kestrel
